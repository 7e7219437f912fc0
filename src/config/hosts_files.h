// A place's hosts and lmhosts variants as its section P<n> stores them:
// keys HOSTS and LMHOSTS, full paths; an empty value means no variant.
#pragma once
#include <cstdint>
#include <string>

#include "config/config_file.h"

namespace velandra::config {

// The longest path the keys hold (a 260-byte read).
inline constexpr size_t kMaxHostsPath = 259;

struct HostsFiles {
  std::string HOSTS;
  std::string LMHOSTS;
  bool operator==(const HostsFiles&) const = default;
};

// Reads HOSTS and LMHOSTS of P<n>, each cut to kMaxHostsPath bytes. False
// when either key is missing: the place's files are then to be snapshotted
// (the keys read are kept in `files` all the same).
bool ReadHostsFiles(const ConfigFile& config, uint32_t placeNumber, HostsFiles& files);

// Writes HOSTS, then LMHOSTS. A path longer than kMaxHostsPath would read
// back cut, naming another file: it is not written and the key keeps its
// stored value. False when a key was refused or a write failed.
bool WriteHostsFiles(const ConfigFile& config, uint32_t placeNumber,
                     const HostsFiles& files);

}  // namespace velandra::config
