#include "config/adapter_settings.h"

#include <optional>

#include "system/adapter_registry.h"
#include "system/context.h"

namespace velandra::config {

namespace {

constexpr uint32_t kBoolSize = 10;
constexpr uint32_t kListSize = 256;
// Reads enough to tell whether a value is longer than kMaxListText even when
// the read cuts before a two-byte character.
constexpr uint32_t kProbeSize = kListSize + 2;

// The strict booleans: only "TRUE" or "FALSE"; nullopt ends the read as absent.
std::optional<bool> ReadStrict(const ConfigFile& config, const std::string& section,
                               const char* key) {
  std::string v = config.ReadString(section, key, kNoDataPlace, kBoolSize);
  if (v == "TRUE") return true;
  if (v == "FALSE") return false;
  return std::nullopt;
}

// A list key: false when it is missing or longer than the limit.
bool ReadList(const ConfigFile& config, const std::string& section, const char* key,
              std::vector<std::string>& list) {
  list.clear();
  std::string v = config.ReadString(section, key, kNoDataPlace, kListSize);
  if (v == kNoDataPlace) return false;
  if (v.size() >= kMaxListText &&
      config.ReadString(section, key, kNoDataPlace, kProbeSize).size() > kMaxListText)
    return false;
  SplitCommaList(v, list);
  return true;
}

bool SameList(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  return a == b;  // same length, each element byte for byte, in order
}

}  // namespace

std::string AdapterSectionName(uint32_t place, uint32_t adapter) {
  return "P" + std::to_string(place) + "A" + std::to_string(adapter);
}

std::unique_ptr<AdapterSettings> AdapterSettings::Build(Context& context,
                                                        const velandra::config::Place& place,
                                                        const AdapterInfo& adapter,
                                                        bool fromPc) {
  auto record = std::make_unique<AdapterSettings>();
  record->Place = &place;
  record->Adapter = &adapter;
  if (fromPc || !record->ReadFromFile(context.Config())) {
    record->Clear();
    record->ReadFromPc(context);
  }
  return record;
}

std::unique_ptr<AdapterSettings> AdapterSettings::BuildFromPc(Context& context,
                                                              const AdapterInfo& adapter) {
  auto record = std::make_unique<AdapterSettings>();
  record->Adapter = &adapter;
  record->ReadFromPc(context);
  return record;
}

std::string AdapterSettings::SectionName() const {
  return AdapterSectionName(Place ? Place->Number : 0, Adapter ? Adapter->Number : 0);
}

bool AdapterSettings::ReadFromFile(const ConfigFile& config) {
  const std::string section = SectionName();

  std::optional<bool> b = ReadStrict(config, section, "EnableDHCP");
  if (!b) return false;
  EnableDHCP = *b;

  if (!ReadList(config, section, "IPAddress", IPAddress)) return false;
  if (!ReadList(config, section, "SubnetMask", SubnetMask)) return false;
  if (!ReadList(config, section, "Gateway", Gateway)) return false;
  if (!ReadList(config, section, "Metric", Metric)) return false;

  InterfaceMetric = static_cast<uint32_t>(config.ReadInt(section, "InterfaceMetric", 1));

  b = ReadStrict(config, section, "EnableDNS");
  if (!b) return false;
  EnableDNS = *b;

  if (!ReadList(config, section, "DNS_Server", DNS_Server)) return false;

  std::string suffix = config.ReadString(section, "DOMAIN_Suffix", kNoDataPlace, kListSize);
  if (suffix == kNoDataPlace) return false;
  DOMAIN_Suffix = suffix;

  DOMAIN_Update = config.ReadString(section, "DOMAIN_Update", kNoDataPlace, kBoolSize) == "TRUE";

  b = ReadStrict(config, section, "DOMAIN_Registration");
  if (!b) return false;
  DOMAIN_Registration = *b;

  if (!ReadList(config, section, "WINS", WINS)) return false;

  NetBIOS = static_cast<uint32_t>(config.ReadInt(section, "NetBIOS", 1));
  return true;
}

bool AdapterSettings::WriteToFile(const ConfigFile& config) const {
  if (!ListsFit()) return false;
  const std::string section = SectionName();
  // Every write is made, whatever the one before gave: a failure of one key
  // must not keep the others at stale values.
  bool ok = true;
  ok &= config.WriteBool(section, "EnableDHCP", EnableDHCP);
  ok &= config.WriteString(section, "IPAddress", JoinCommaList(IPAddress));
  ok &= config.WriteString(section, "SubnetMask", JoinCommaList(SubnetMask));
  ok &= config.WriteString(section, "Gateway", JoinCommaList(Gateway));
  ok &= config.WriteString(section, "Metric", JoinCommaList(Metric));
  ok &= config.WriteInt(section, "InterfaceMetric", static_cast<int>(InterfaceMetric));
  ok &= config.WriteBool(section, "EnableDNS", EnableDNS);
  ok &= config.WriteString(section, "DNS_Server", JoinCommaList(DNS_Server));
  ok &= config.WriteString(section, "DOMAIN_Suffix", DOMAIN_Suffix);
  ok &= config.WriteBool(section, "DOMAIN_Update", DOMAIN_Update);
  ok &= config.WriteBool(section, "DOMAIN_Registration", DOMAIN_Registration);
  ok &= config.WriteString(section, "WINS", JoinCommaList(WINS));
  ok &= config.WriteInt(section, "NetBIOS", static_cast<int>(NetBIOS));
  return ok;
}

void AdapterSettings::Clear() {
  IPAddress.clear();
  SubnetMask.clear();
  Gateway.clear();
  Metric.clear();
  DNS_Server.clear();
  WINS.clear();
}

uint32_t AdapterSettings::CompareWithPc(Context& context) {
  if (!Adapter) {
    Same.fill(false);
    ChangeKind = 2;
    return ChangeKind;
  }
  std::unique_ptr<AdapterSettings> pc = BuildFromPc(context, *Adapter);
  AdapterComparison result = CompareAdapterSettings(*this, *pc, context.Os().IsWindows2000());
  Same = result.Same;
  ChangeKind = result.ChangeKind;
  return ChangeKind;
}

void AdapterSettings::ReadFromPc(Context& context) { ReadAdapterSettingsFromPc(context, *this); }

bool AdapterSettings::WriteToPc(Context& context) const {
  return WriteAdapterSettingsToPc(context, *this);
}

bool AdapterSettings::ListsFit() const {
  return ListTextFits(IPAddress) && ListTextFits(SubnetMask) && ListTextFits(Gateway) &&
         ListTextFits(Metric) && ListTextFits(DNS_Server) && ListTextFits(WINS);
}

AdapterComparison CompareAdapterSettings(const AdapterSettings& stored,
                                         const AdapterSettings& pc, bool windows2000) {
  AdapterComparison r;
  AdapterGroupFlags& same = r.Same;
  same[kGroupIp] = stored.EnableDHCP == pc.EnableDHCP &&
                   (stored.EnableDHCP || (SameList(stored.IPAddress, pc.IPAddress) &&
                                          SameList(stored.SubnetMask, pc.SubnetMask)));
  same[kGroupGateway] = SameList(stored.Gateway, pc.Gateway) && SameList(stored.Metric, pc.Metric);
  same[kGroupInterfaceMetric] = stored.InterfaceMetric == pc.InterfaceMetric;
  same[kGroupDns] = stored.EnableDNS == pc.EnableDNS &&
                    (stored.EnableDNS || SameList(stored.DNS_Server, pc.DNS_Server));
  same[kGroupSuffix] = stored.DOMAIN_Suffix == pc.DOMAIN_Suffix;
  same[kGroupUpdate] = stored.DOMAIN_Update == pc.DOMAIN_Update;
  same[kGroupRegistration] = stored.DOMAIN_Registration == pc.DOMAIN_Registration;
  same[kGroupWins] = SameList(stored.WINS, pc.WINS);
  same[kGroupNetBios] = stored.NetBIOS == pc.NetBIOS;

  bool all = true;
  for (bool s : same) all = all && s;
  if (all)
    r.ChangeKind = 0;
  else if (windows2000 && !same[kGroupUpdate])
    r.ChangeKind = 2;
  else
    r.ChangeKind = same[kGroupNetBios] ? 1 : 2;
  return r;
}

size_t ListTextLength(const std::vector<std::string>& list) {
  size_t n = list.empty() ? 0 : list.size() - 1;  // the commas
  for (const auto& item : list) n += item.size();
  return n;
}

bool ListTextFits(const std::vector<std::string>& list) {
  return ListTextLength(list) <= kMaxListText;
}

bool ListFitsWithAdded(const std::vector<std::string>& list, std::string_view item) {
  size_t n = ListTextLength(list) + item.size() + (list.empty() ? 0 : 1);
  return n <= kMaxListText;
}

bool ListFitsWithReplaced(const std::vector<std::string>& list, size_t index,
                          std::string_view item) {
  if (index >= list.size()) return ListFitsWithAdded(list, item);
  size_t n = ListTextLength(list) - list[index].size() + item.size();
  return n <= kMaxListText;
}

}  // namespace velandra::config
