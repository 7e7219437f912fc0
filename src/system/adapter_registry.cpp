#include "system/adapter_registry.h"

#include <vector>

#include "config/config_file.h"
#include "system/platform/registry.h"

namespace velandra {

namespace {

using config::AdapterSettings;
using platform::Hive;
using platform::RegKey;

constexpr uint32_t kListReadSize = 256;
constexpr uint32_t kDomainReadSize = 128;
// The value names that differ between the versions.
struct UpdateNames {
  const char* update;
  const char* registration;
};
UpdateNames NamesFor(const OsInfo& os) {
  if (os.IsWindowsXp()) return {"RegistrationEnabled", "RegisterAdapterName"};
  return {"DisableDynamicUpdate", "EnableAdapterDomainNameRegistration"};
}

// Reads of one key; a key that did not open answers every read as missing.
class KeyReader {
 public:
  KeyReader(Context& context, std::string path) : context_(context), path_(std::move(path)) {
    long rc = key_.Open(context.Platform().registry, Hive::LocalMachine, path_,
                        platform::kKeyQueryValue);
    if (rc != platform::kErrorSuccess) {
      Warn(context, RegistryOpenFailedMessage(path_));
      context.PostQuit(1);
    }
  }

  // False when missing (failed, size 0 or not 4 bytes).
  bool Dword(const char* name, uint32_t& value) {
    if (!key_.IsOpen()) return false;
    return key_.QueryDword(name, value) == platform::kErrorSuccess;
  }
  // Missing reads as "".
  std::string Text(const char* name, uint32_t size) {
    std::string value;
    if (!key_.IsOpen() || key_.QueryString(name, size, value) != platform::kErrorSuccess)
      return {};
    return value;
  }
  // A REG_MULTI_SZ list; missing reads as empty. Too long for the record:
  // reported, and missing.
  std::vector<std::string> MultiList(const char* name) {
    std::vector<std::string> items;
    if (!key_.IsOpen()) return items;
    long rc = key_.QueryMultiString(name, kListReadSize, items);
    if (rc == platform::kErrorMoreData ||
        (rc == platform::kErrorSuccess && !config::ListTextFits(items))) {
      TooLong(name);
      return {};
    }
    if (rc != platform::kErrorSuccess) return {};
    return items;
  }
  // A REG_SZ list joined by commas, split at commas only.
  std::vector<std::string> CommaList(const char* name) {
    std::vector<std::string> items;
    if (!key_.IsOpen()) return items;
    std::string text;
    long rc = key_.QueryString(name, kListReadSize, text);
    if (rc == platform::kErrorMoreData ||
        (rc == platform::kErrorSuccess && text.size() > config::kMaxListText)) {
      TooLong(name);
      return {};
    }
    if (rc != platform::kErrorSuccess) return {};
    config::SplitCommaList(text, items);
    return items;
  }

 private:
  void TooLong(const char* name) { Warn(context_, RegistryQueryFailedMessage(path_, name)); }

  Context& context_;
  std::string path_;
  RegKey key_;
};

// Writes into one key, each failure reported with its own ending.
class KeyWriter {
 public:
  KeyWriter(Context& context, std::string path) : context_(context), path_(std::move(path)) {}

  bool Open() {
    long rc = key_.Open(context_.Platform().registry, Hive::LocalMachine, path_,
                        platform::kKeyAllAccess);
    if (rc == platform::kErrorSuccess) return true;
    Warn(context_, RegistryOpenFailedMessage(path_));
    return false;
  }
  bool Dword(const char* name, uint32_t value, bool toValue) {
    return Check(key_.SetDword(name, value), name, toValue);
  }
  bool Text(const char* name, std::string_view value, bool toValue) {
    return Check(key_.SetString(name, value), name, toValue);
  }
  bool MultiList(const char* name, const std::vector<std::string>& items, bool toValue) {
    return Check(key_.SetMultiString(name, items), name, toValue);
  }
  void Delete(const char* name) { key_.DeleteValue(name); }
  void Close() { key_.Close(); }
  void Refuse(const char* name, bool toValue) {
    Warn(context_, RegistryWriteFailedMessage(path_, name, toValue));
  }

 private:
  bool Check(long rc, const char* name, bool toValue) {
    if (rc == platform::kErrorSuccess) return true;
    Refuse(name, toValue);
    return false;
  }

  Context& context_;
  std::string path_;
  RegKey key_;
};

// Whether a list can be stored as REG_MULTI_SZ and read back the same.
bool StorableMultiList(const std::vector<std::string>& items) {
  if (!config::ListTextFits(items)) return false;
  for (const auto& item : items)
    if (item.empty()) return false;
  return true;
}

}  // namespace

std::string TcpipInterfaceKey(std::string_view guid) {
  return std::string(kTcpipInterfacesKey) + std::string(guid);
}

std::string NetBtInterfaceKey(std::string_view guid) {
  return std::string(kNetBtInterfacesKey) + std::string(guid);
}

std::string RegistryOpenFailedMessage(std::string_view key) {
  return "レジストリ " + std::string(key) + " のopenでエラーが発生しました";
}

std::string RegistryQueryFailedMessage(std::string_view key, std::string_view value) {
  return "レジストリ " + std::string(key) + "\\" + std::string(value) +
         " のデータ取得でエラーが発生しました";
}

std::string RegistryWriteFailedMessage(std::string_view key, std::string_view value,
                                       bool toValue) {
  return "レジストリ " + std::string(key) + "\\" + std::string(value) +
         (toValue ? " にデータを書き出せませんでした" : " のデータを書き出せませんでした");
}

void ReadAdapterSettingsFromPc(Context& context, AdapterSettings& record) {
  const std::string guid = record.Adapter ? record.Adapter->NetCfgInstanceId : std::string();
  const UpdateNames names = NamesFor(context.Os());
  uint32_t v = 0;
  {
    KeyReader tcpip(context, TcpipInterfaceKey(guid));
    record.EnableDHCP = !tcpip.Dword("EnableDHCP", v) || v != 0;
    record.IPAddress.clear();
    record.SubnetMask.clear();
    if (!record.EnableDHCP) {
      record.IPAddress = tcpip.MultiList("IPAddress");
      record.SubnetMask = tcpip.MultiList("SubnetMask");
    }
    record.Gateway = tcpip.MultiList("DefaultGateway");
    record.Metric = tcpip.MultiList("DefaultGatewayMetric");
    record.InterfaceMetric = tcpip.Dword("InterfaceMetric", v) ? v : 0;
    record.DNS_Server = tcpip.CommaList("NameServer");
    record.EnableDNS = record.DNS_Server.empty() && record.EnableDHCP;
    record.DOMAIN_Suffix = tcpip.Text("Domain", kDomainReadSize);
    if (context.Os().IsWindowsXp())
      record.DOMAIN_Update = (tcpip.Dword(names.update, v) ? v : 1) == 1;
    else
      record.DOMAIN_Update = (tcpip.Dword(names.update, v) ? v : 0) == 0;
    record.DOMAIN_Registration = (tcpip.Dword(names.registration, v) ? v : 0) == 1;
  }
  KeyReader netbt(context, NetBtInterfaceKey(guid));
  record.WINS = netbt.MultiList("NameServerList");
  record.NetBIOS = netbt.Dword("NetbiosOptions", v) ? v : 1;
}

bool WriteAdapterSettingsToPc(Context& context, const AdapterSettings& record) {
  const std::string guid = record.Adapter ? record.Adapter->NetCfgInstanceId : std::string();
  const bool xp = context.Os().IsWindowsXp();
  const UpdateNames names = NamesFor(context.Os());
  const bool diff = context.DiffCheck;
  auto write = [&](config::AdapterGroup g) { return !diff || !record.Same[g]; };

  bool tcpipWanted = false;
  for (size_t g = config::kGroupIp; g <= config::kGroupRegistration; ++g)
    tcpipWanted = tcpipWanted || write(static_cast<config::AdapterGroup>(g));
  const bool netbtWanted = write(config::kGroupWins) || write(config::kGroupNetBios);

  KeyWriter tcpip(context, TcpipInterfaceKey(guid));
  KeyWriter netbt(context, NetBtInterfaceKey(guid));

  // Lists that could not be read back as they are refuse the write before
  // anything is changed, with the message a failed write of that value gives.
  struct ListCheck {
    bool wanted;
    KeyWriter& key;
    const char* name;
    bool toValue;
    bool ok;
  } checks[] = {
      {tcpipWanted && write(config::kGroupIp) && !record.EnableDHCP, tcpip, "IPAddress", true,
       StorableMultiList(record.IPAddress)},
      {tcpipWanted && write(config::kGroupIp) && !record.EnableDHCP, tcpip, "SubnetMask", true,
       StorableMultiList(record.SubnetMask)},
      {tcpipWanted && write(config::kGroupGateway), tcpip, "DefaultGateway", true,
       StorableMultiList(record.Gateway)},
      {tcpipWanted && write(config::kGroupGateway), tcpip, "DefaultGatewayMetric", true,
       StorableMultiList(record.Metric)},
      {tcpipWanted && write(config::kGroupDns) && !record.EnableDNS, tcpip, "NameServer", false,
       config::ListTextFits(record.DNS_Server)},
      {netbtWanted && write(config::kGroupWins), netbt, "NameServerList", false,
       StorableMultiList(record.WINS)},
  };
  for (auto& c : checks) {
    if (c.wanted && !c.ok) {
      c.key.Refuse(c.name, c.toValue);
      return false;
    }
  }

  if (tcpipWanted) {
    if (!tcpip.Open()) return false;
    if (write(config::kGroupIp)) {
      if (record.EnableDHCP) {
        const std::vector<std::string> none{"0.0.0.0"};
        if (!tcpip.Dword("EnableDHCP", 1, true) || !tcpip.MultiList("IPAddress", none, true) ||
            !tcpip.MultiList("SubnetMask", none, true))
          return false;
      } else if (!tcpip.Dword("EnableDHCP", 0, true) ||
                 !tcpip.MultiList("IPAddress", record.IPAddress, true) ||
                 !tcpip.MultiList("SubnetMask", record.SubnetMask, true)) {
        return false;
      }
    }
    if (write(config::kGroupGateway) &&
        (!tcpip.MultiList("DefaultGateway", record.Gateway, true) ||
         !tcpip.MultiList("DefaultGatewayMetric", record.Metric, true)))
      return false;
    if (write(config::kGroupInterfaceMetric)) {
      if (record.InterfaceMetric != 0) {
        if (!tcpip.Dword("InterfaceMetric", record.InterfaceMetric, true)) return false;
      } else {
        tcpip.Delete("InterfaceMetric");  // automatic; a missing value is fine
      }
    }
    if (write(config::kGroupDns)) {
      if (record.EnableDNS) {
        if (!tcpip.Text("NameServer", "", true)) return false;
      } else if (!tcpip.Text("NameServer", config::JoinCommaList(record.DNS_Server), false)) {
        return false;
      }
    }
    if (write(config::kGroupSuffix) && !tcpip.Text("Domain", record.DOMAIN_Suffix, false))
      return false;
    if (write(config::kGroupUpdate)) {
      uint32_t value = xp ? (record.DOMAIN_Update ? 1 : 0) : (record.DOMAIN_Update ? 0 : 1);
      if (!tcpip.Dword(names.update, value, false)) return false;
    }
    if (write(config::kGroupRegistration) &&
        !tcpip.Dword(names.registration, record.DOMAIN_Registration ? 1 : 0, false))
      return false;
    tcpip.Close();
  }

  if (!netbtWanted) return true;
  if (!netbt.Open()) return false;
  if (write(config::kGroupWins) && !netbt.MultiList("NameServerList", record.WINS, false))
    return false;
  if (write(config::kGroupNetBios) && !netbt.Dword("NetbiosOptions", record.NetBIOS, false))
    return false;
  return true;
}

}  // namespace velandra
