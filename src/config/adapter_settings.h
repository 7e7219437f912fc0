// The TCP/IP settings of one adapter in one place.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/places.h"
#include "system/adapter_info.h"

namespace velandra::config {

// The nine groups compared with the PC, in the order of `Same`.
enum AdapterGroup : size_t {
  kGroupIp,
  kGroupGateway,
  kGroupInterfaceMetric,
  kGroupDns,
  kGroupSuffix,
  kGroupUpdate,
  kGroupRegistration,
  kGroupWins,
  kGroupNetBios,
  kAdapterGroupCount
};

struct AdapterSettings {
  virtual ~AdapterSettings() = default;
  const velandra::config::Place* Place = nullptr;  // not owned
  const AdapterInfo* Adapter = nullptr;  // not owned
  bool EnableDHCP = true;
  std::vector<std::string> IPAddress;
  std::vector<std::string> SubnetMask;
  std::vector<std::string> Gateway;
  std::vector<std::string> Metric;
  uint32_t InterfaceMetric = 0;
  bool EnableDNS = true;
  std::vector<std::string> DNS_Server;
  std::string DOMAIN_Suffix;
  bool DOMAIN_Update = true;
  bool DOMAIN_Registration = false;
  std::vector<std::string> WINS;
  uint32_t NetBIOS = 0;
  uint32_t ChangeKind = 2;
  std::array<bool, kAdapterGroupCount> Same{};
};

// A list's comma-joined text may hold at most this many characters: its
// registry form needs two bytes more and is built in 256 bytes.
inline constexpr size_t kMaxListText = 254;

}  // namespace velandra::config
