#include "system/platform/sim/sim_network_drives.h"

#include "system/platform/sim/simulated_pc.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {

namespace {

constexpr char kDrivesHeader[] =
    "# Network drive connections of the simulated PC's user, in the order\n"
    "# Windows lists them: [connections] drive letter (or - for none) = UNC path;\n"
    "# [users] drive letter = the user it was connected as. Optional [network]:\n"
    "# the shares that can be reached (UNC path = anything); without it, any.\n"
    "# Passwords are never written here.\n";
constexpr char kConnections[] = "connections";
constexpr char kUsers[] = "users";
constexpr char kNetwork[] = "network";
constexpr char kNoLetter[] = "-";

bool Load(SimulatedPc& pc, StateFile& state) {
  std::string error;
  if (state.Load(pc.directory() / kDrivesFile, false, error)) return true;
  pc.LogEvent("drive connections refused: " + error);
  return false;
}

bool Save(SimulatedPc& pc, const StateFile& state) {
  std::string error;
  if (state.Save(pc.directory() / kDrivesFile, kDrivesHeader, &error)) return true;
  pc.LogEvent("drive connections not saved: " + error);
  return false;
}

// The server part of "\\server\share..." (UTF-8), without the leading \\.
std::string Server(const std::string& unc) {
  size_t start = unc.rfind("\\\\", 0) == 0 ? 2 : 0;
  size_t end = unc.find('\\', start);
  return unc.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// Whether [network] lets `remote` be reached: 0, or the error Windows gives.
long Reach(const StateFile& state, const std::string& remote) {
  const StateFile::Section* network = state.Find(kNetwork);
  if (!network) return kErrorSuccess;
  bool serverKnown = false;
  for (const auto& e : network->Entries) {
    if (Cp932EqualsNoCase(e.Key, remote)) return kErrorSuccess;
    if (Cp932EqualsNoCase(Server(e.Key), Server(remote))) serverKnown = true;
  }
  return serverKnown ? kErrorBadNetName : kErrorBadNetPath;
}

}  // namespace

long SimNetworkDrives::EnumConnected(std::vector<DriveConnection>& connections) {
  StateFile state;
  if (!Load(pc_, state)) return kErrorNoNetwork;
  if (const StateFile::Section* s = state.Find(kConnections))
    for (const auto& e : s->Entries)
      connections.push_back({e.Key == kNoLetter ? "" : Utf8ToCp932(e.Key), Utf8ToCp932(e.Value)});
  return kErrorSuccess;
}

long SimNetworkDrives::CancelConnection(const std::string& localName) {
  StateFile state;
  if (!Load(pc_, state)) return kErrorNoNetwork;
  std::string key = Cp932ToUtf8(localName);
  if (key.empty() || !state.Find(kConnections, key)) return kErrorNotConnected;
  state.Remove(kConnections, key);
  state.Remove(kUsers, key);
  if (!Save(pc_, state)) return kErrorWriteFault;
  pc_.LogEvent("disconnected " + key);
  return kErrorSuccess;
}

long SimNetworkDrives::AddConnection(const std::string& localName, const std::string& remoteName,
                                     const std::string& user, const std::string& password) {
  StateFile state;
  if (!Load(pc_, state)) return kErrorNoNetwork;
  std::string key = localName.empty() ? kNoLetter : Cp932ToUtf8(localName);
  std::string remote = Cp932ToUtf8(remoteName);
  if (key != kNoLetter && state.Find(kConnections, key)) return kErrorAlreadyAssigned;
  if (long reach = Reach(state, remote)) {
    pc_.LogEvent("connection of " + key + " to " + remote + " failed: error " +
                 std::to_string(reach));
    return reach;
  }
  state.Add(kConnections, key, remote);
  if (!user.empty() && key != kNoLetter) state.Set(kUsers, key, Cp932ToUtf8(user));
  if (!Save(pc_, state)) return kErrorWriteFault;
  std::string as = user.empty() ? " as the logged-on user"
                                : " as " + Cp932ToUtf8(user) +
                                      (password.empty() ? " without a password"
                                                        : " with a password");
  pc_.LogEvent("connected " + key + " to " + remote + as + " (remembered)");
  return kErrorSuccess;
}

}  // namespace velandra::platform::sim
