// The TCP/IP settings of one adapter in one place: the record, its section
// P<n>A<m> in Velandra.ini, and its comparison with the PC.
//
// The list limit. Every list's comma-joined text stays within kMaxListText
// (254) characters, because its registry form needs two bytes more and is
// built in 256 bytes. The editors ask ListFitsWithAdded/ListFitsWithReplaced
// before they change a list and refuse with kMsgListTooLong. Nothing else
// ever writes a longer list:
// - Read from file: a list value longer than 254 characters (a 255-byte
//   read means the stored value was longer, or was cut) makes the section
//   count as absent, like any other unreadable key: the record then shows
//   the PC. A cut list is never taken, so a cut last item cannot slip in.
// - Write to file: a record holding a longer list writes nothing at all and
//   reports false, so the section in the file stays as it was.
// - Read from the PC: a list value that does not fit its buffer, or whose
//   items join to more than 254 characters, is reported as a failed read of
//   that value and taken as missing (see system/adapter_registry.h).
// - Write to the PC: such a list (or an empty item in a REG_MULTI_SZ list,
//   which would end the list there) is refused before anything is written,
//   with that value's write-failure message.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "config/places.h"
#include "system/adapter_info.h"

namespace velandra {
class Context;
}

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

using AdapterGroupFlags = std::array<bool, kAdapterGroupCount>;

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
  AdapterGroupFlags Same{};

  // The record of `place` and `adapter`: from the PC when `fromPc`, else
  // from the file, falling back to the PC when the section counts as absent.
  static std::unique_ptr<AdapterSettings> Build(Context& context,
                                                const velandra::config::Place& place,
                                                const AdapterInfo& adapter, bool fromPc);
  // A record without a place, read from the PC; for the comparison.
  static std::unique_ptr<AdapterSettings> BuildFromPc(Context& context,
                                                      const AdapterInfo& adapter);

  // "P<n>A<m>" of the record's place and adapter.
  std::string SectionName() const;
  // True when the section is present. Fields read before an absent end keep
  // what they were given.
  bool ReadFromFile(const ConfigFile& config);
  // The thirteen keys in their order, whatever EnableDHCP and EnableDNS say.
  // False when a write failed, or when a list is over the limit (then nothing
  // is written).
  bool WriteToFile(const ConfigFile& config) const;
  // Empties the six lists.
  void Clear();
  // Compares with a record built from the PC; sets Same and ChangeKind and
  // returns ChangeKind.
  uint32_t CompareWithPc(Context& context);
  // The PC's registry values (system/adapter_registry.h); every list replaced.
  void ReadFromPc(Context& context);
  bool WriteToPc(Context& context) const;

  // Whether all six lists are within the limit.
  bool ListsFit() const;
};

// "P%uA%u".
std::string AdapterSectionName(uint32_t place, uint32_t adapter);

struct AdapterComparison {
  AdapterGroupFlags Same{};
  uint32_t ChangeKind = 2;
};
// The comparison of a stored record with the PC's, without the PC: strings
// byte for byte, lists in order, both lists of a pair counted. On Windows
// 2000 a different update group needs a restart.
AdapterComparison CompareAdapterSettings(const AdapterSettings& stored,
                                         const AdapterSettings& pc, bool windows2000);

// A list's comma-joined text may hold at most this many characters: its
// registry form needs two bytes more and is built in 256 bytes.
inline constexpr size_t kMaxListText = 254;

// The length of the list's comma-joined text.
size_t ListTextLength(const std::vector<std::string>& list);
bool ListTextFits(const std::vector<std::string>& list);
// Whether the list still fits with one more item (anywhere in it), or with
// item `index` replaced by `item` (an index past the end counts as adding).
bool ListFitsWithAdded(const std::vector<std::string>& list, std::string_view item);
bool ListFitsWithReplaced(const std::vector<std::string>& list, size_t index,
                          std::string_view item);

// Shown (warning icon) when an edit would take a list past the limit.
inline constexpr char kMsgListTooLong[] =
    "一覧をカンマでつないだ長さが254文字を超えるので、追加または変更できません";

}  // namespace velandra::config
