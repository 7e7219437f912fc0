// Network drive records for tests: one built in a line, and a list shown as
// "[local|remote|user|password]..." for comparisons.
#pragma once
#include <string>
#include <utility>

#include "config/network_drives.h"

namespace velandra::testing {

inline config::NetworkDrive Drive(std::string local, std::string remote, std::string user = "",
                                  std::string password = "") {
  config::NetworkDrive d;
  d.LocalName = std::move(local);
  d.RemoteName = std::move(remote);
  d.UserName = std::move(user);
  d.Password = std::move(password);
  return d;
}

inline std::string Dump(const config::NetworkDriveList& list) {
  std::string out;
  for (const auto& d : list.Drives)
    out += "[" + d.LocalName + "|" + d.RemoteName + "|" + d.UserName + "|" + d.Password + "]";
  return out;
}

}  // namespace velandra::testing
