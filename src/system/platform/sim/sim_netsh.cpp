#include "system/platform/sim/sim_netsh.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "system/adapter_enum.h"
#include "system/adapter_registry.h"
#include "system/platform/registry.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

constexpr int kExitFailed = 1;
// Large enough for any value of an interface key.
constexpr uint32_t kReadSize = 1 << 16;

bool Is(std::string_view a, std::string_view b) { return Cp932EqualsNoCase(a, b); }

std::string Joined(const std::vector<std::string>& args) {
  std::string out;
  for (const auto& a : args) out += (out.empty() ? "" : " ") + a;
  return out;
}

// A dotted quad of four decimal numbers 0-255, each without a sign, blanks
// or leading zeros (which some parsers would read as octal).
bool ParseQuad(std::string_view text, uint32_t& value) {
  uint32_t v = 0;
  size_t pos = 0;
  for (int field = 0; field < 4; ++field) {
    if (field > 0) {
      if (pos >= text.size() || text[pos] != '.') return false;
      ++pos;
    }
    const size_t start = pos;
    uint32_t f = 0;
    while (pos < text.size() && pos - start < 4 && text[pos] >= '0' && text[pos] <= '9')
      f = f * 10 + static_cast<uint32_t>(text[pos++] - '0');
    const size_t digits = pos - start;
    if (digits == 0 || digits > 3 || (digits > 1 && text[start] == '0') || f > 255)
      return false;
    v = (v << 8) | f;
  }
  if (pos != text.size()) return false;
  value = v;
  return true;
}

// Addresses of interfaces, gateways and servers: unicast, first number 1-223.
bool ValidAddress(std::string_view text) {
  uint32_t v = 0;
  if (!ParseQuad(text, v)) return false;
  const uint32_t first = v >> 24;
  return first >= 1 && first <= 223;
}

// Ones from the top, then zeros; at least one bit.
bool ValidMask(std::string_view text) {
  uint32_t v = 0;
  if (!ParseQuad(text, v) || v == 0) return false;
  const uint32_t inverted = ~v;
  return (inverted & (inverted + 1)) == 0;
}

// Decimal digits only, at most `maxValue`.
bool ParseNumber(std::string_view text, uint32_t maxValue, uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > maxValue) return false;
  value = static_cast<uint32_t>(v);
  return true;
}

// One registry value as a command leaves it.
struct ValueWrite {
  std::string key;  // under HKEY_LOCAL_MACHINE
  std::string name;
  uint32_t type;
  std::string data;
};

ValueWrite Dword(const std::string& key, const char* name, uint32_t v) {
  std::string data;
  for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return {key, name, kRegDword, data};
}
ValueWrite Text(const std::string& key, const char* name, const std::string& text) {
  return {key, name, kRegSz, text + '\0'};
}
ValueWrite MultiText(const std::string& key, const char* name,
                     const std::vector<std::string>& items) {
  return {key, name, kRegMultiSz, EncodeMultiString(items)};
}

enum class Verb { Set, Add, Delete };
enum class Object { Address, Dns, Wins };

// One command of the `interface ip` context and the tags it takes, in the
// order in which untagged values fill them.
struct CommandSpec {
  const char* verb;
  const char* object;
  Verb v;
  Object o;
  std::vector<const char*> tags;
};

const std::vector<CommandSpec>& Commands() {
  static const std::vector<CommandSpec> commands = {
      {"set", "address", Verb::Set, Object::Address,
       {"name", "source", "addr", "mask", "gateway", "gwmetric"}},
      {"add", "address", Verb::Add, Object::Address,
       {"name", "addr", "mask", "gateway", "gwmetric"}},
      {"delete", "address", Verb::Delete, Object::Address, {"name", "addr", "gateway"}},
      {"set", "dns", Verb::Set, Object::Dns, {"name", "source", "addr", "register"}},
      {"add", "dns", Verb::Add, Object::Dns, {"name", "addr", "index"}},
      {"delete", "dns", Verb::Delete, Object::Dns, {"name", "addr"}},
      {"set", "wins", Verb::Set, Object::Wins, {"name", "source", "addr"}},
      {"add", "wins", Verb::Add, Object::Wins, {"name", "addr", "index"}},
      {"delete", "wins", Verb::Delete, Object::Wins, {"name", "addr"}},
  };
  return commands;
}

class Netsh {
 public:
  Netsh(SimulatedPc& pc, std::string& output)
      : registry_(pc.registry()), output_(output) {
    const uint32_t major = pc.WindowsNumber("major", 0);
    const uint32_t minor = pc.WindowsNumber("minor", 0);
    // Windows 2000's netsh has no register parameter; XP brought it.
    registerKnown_ = major > 5 || (major == 5 && minor >= 1);
  }

  int Run(const std::vector<std::string>& args) {
    const CommandSpec* spec = nullptr;
    if (args.size() >= 4 && Is(args[0], "interface") && Is(args[1], "ip")) {
      for (const auto& c : Commands())
        if (Is(args[2], c.verb) && Is(args[3], c.object)) spec = &c;
    }
    if (!spec) {
      Fail("次のコマンドが見つかりませんでした: " + Joined(args));
      return kExitFailed;
    }
    std::vector<std::string> params(args.begin() + 4, args.end());
    std::vector<ValueWrite> writes;
    if (!Bind(*spec, params) || !Plan(*spec, writes) || !Apply(writes)) return kExitFailed;
    output_ += "Ok.\r\n";
    return 0;
  }

 private:
  bool Fail(const std::string& text) {
    output_ += text + "\r\n";
    return false;
  }

  // Tagged values go to their tag; untagged ones fill the first tag not yet
  // given, in the command's order.
  bool Bind(const CommandSpec& spec, const std::vector<std::string>& params) {
    std::vector<const char*> tags = spec.tags;
    if (!registerKnown_) std::erase_if(tags, [](const char* t) { return Is(t, "register"); });
    for (const auto& p : params) {
      const size_t eq = p.find('=');  // 0x3D is never a trail byte
      const char* tag = nullptr;
      std::string value;
      if (eq != std::string::npos) {
        const std::string_view given = std::string_view(p).substr(0, eq);
        for (const char* t : tags)
          if (Is(given, t)) tag = t;
        if (!tag)
          return Fail("タグ \"" + std::string(given) + "\" はこのコマンドには使えません。");
        if (values_.count(tag))
          return Fail("タグ \"" + std::string(tag) + "\" が重ねて指定されました。");
        value = p.substr(eq + 1);
      } else {
        for (const char* t : tags) {
          if (!values_.count(t)) {
            tag = t;
            break;
          }
        }
        if (!tag) return Fail("余分なパラメータがあります: " + p);
        value = p;
      }
      if (value.empty()) return Fail("パラメータ " + std::string(tag) + " に値がありません。");
      values_[tag] = value;
    }
    return true;
  }

  const std::string* Get(const char* tag) const {
    auto it = values_.find(tag);
    return it == values_.end() ? nullptr : &it->second;
  }
  bool Has(const char* tag) const { return values_.count(tag) != 0; }

  bool Missing(const char* tag) {
    return Fail("必要なパラメータ " + std::string(tag) + " が指定されていません。");
  }
  bool NotHere(const char* tag) {
    return Fail("このコマンドではパラメータ " + std::string(tag) + " は指定できません。");
  }
  bool BadValue(const char* tag) {
    return Fail("パラメータ " + std::string(tag) + " の値 \"" + *Get(tag) + "\" は無効です。");
  }
  bool NotSimulated(const char* tag) {
    return Fail("この形式は模擬 PC の netsh では実行できません: " + std::string(tag) + "=" +
                *Get(tag));
  }
  bool Exists(const std::string& what) { return Fail("オブジェクトは既に存在します: " + what); }

  bool Address(const char* tag) {
    if (!Has(tag)) return Missing(tag);
    if (!ValidAddress(*Get(tag)))
      return Fail("無効なアドレスです: " + std::string(tag) + "=" + *Get(tag));
    return true;
  }
  bool Mask(const char* tag) {
    if (!Has(tag)) return Missing(tag);
    if (!ValidMask(*Get(tag)))
      return Fail("無効なサブネット マスクです: " + std::string(tag) + "=" + *Get(tag));
    return true;
  }
  // The metric as Windows stores it: the decimal text of the number.
  bool Metric(std::string& metric) {
    if (!Has("gwmetric")) return Missing("gwmetric");
    uint32_t v = 0;
    if (!ParseNumber(*Get("gwmetric"), 9999, v))
      return Fail("無効なメトリックです (0 から 9999): gwmetric=" + *Get("gwmetric"));
    metric = std::to_string(v);
    return true;
  }
  // A gateway with its metric, both or neither.
  bool GatewayPair(bool& given, std::string& metric) {
    given = Has("gateway");
    if (!given) return !Has("gwmetric") || Missing("gateway");
    return Address("gateway") && Metric(metric);
  }
  // The server of `addr` put in at `index` (from 1; none, or past the end,
  // appends); a server the list holds already is refused.
  bool InsertServer(std::vector<std::string>& servers) {
    if (!Address("addr")) return false;
    size_t index = servers.size();
    if (Has("index")) {
      uint32_t v = 0;
      if (!ParseNumber(*Get("index"), UINT32_MAX, v) || v == 0) return BadValue("index");
      index = std::min<size_t>(v - 1, servers.size());
    }
    for (const auto& s : servers)
      if (s == *Get("addr")) return Exists(s);
    servers.insert(servers.begin() + static_cast<std::ptrdiff_t>(index), *Get("addr"));
    return true;
  }
  // `addr=all`; deleting one server is not acted out.
  bool AllServers() {
    if (!Has("addr")) return Missing("addr");
    if (Is(*Get("addr"), "all")) return true;
    if (!ValidAddress(*Get("addr"))) return BadValue("addr");
    return NotSimulated("addr");
  }

  // The interface GUID of the connection named `name`, found as Velandra's
  // adapter walk finds adapters: network-class devices with an interface,
  // bound to TCP/IP, with a connection, present.
  bool FindConnection(const std::string& name, std::string& guid) {
    RegKey root;
    if (root.Open(registry_, Hive::LocalMachine, kClassRootPath, kKeyEnumerateSubKeys) ==
        kErrorSuccess) {
      std::string classKey;
      for (uint32_t c = 0; root.EnumKey(c, 256, classKey) == kErrorSuccess; ++c) {
        const std::string classPath = std::string(kClassRootPath) + "\\" + classKey;
        RegKey cls;
        std::string className;
        if (cls.Open(registry_, Hive::LocalMachine, classPath, kKeyRead) != kErrorSuccess ||
            cls.QueryString("Class", 64, className) != kErrorSuccess || className != "Net")
          continue;
        std::string device;
        for (uint32_t d = 0; cls.EnumKey(d, 256, device) == kErrorSuccess; ++d)
          if (DeviceHasConnection(classKey, classPath + "\\" + device, name, guid)) return true;
      }
    }
    return Fail("インターフェイス \"" + name + "\" が見つかりません。");
  }
  bool DeviceHasConnection(const std::string& classKey, const std::string& devicePath,
                           const std::string& name, std::string& guid) {
    RegKey device, binding, connection, presence;
    std::string id, connectionName, pnp;
    if (device.Open(registry_, Hive::LocalMachine, devicePath, kKeyQueryValue) != kErrorSuccess ||
        device.QueryString("NetCfgInstanceId", 256, id) != kErrorSuccess || id.empty())
      return false;
    const std::string connectionPath = kNetworkPath + classKey + "\\" + id + "\\Connection";
    if (binding.Open(registry_, Hive::LocalMachine, kTcpipAdaptersPath + id,
                     kKeyEnumerateSubKeys) != kErrorSuccess ||
        connection.Open(registry_, Hive::LocalMachine, connectionPath, kKeyQueryValue) !=
            kErrorSuccess ||
        connection.QueryString("Name", 256, connectionName) != kErrorSuccess ||
        !Is(connectionName, name) ||
        connection.QueryString("PnpInstanceID", 256, pnp) != kErrorSuccess ||
        presence.Open(registry_, Hive::LocalMachine, kEnumPath + pnp + "\\Control",
                      kKeyQueryValue) != kErrorSuccess)
      return false;
    guid = id;
    return true;
  }

  // Reads of the interface's present values; a missing value reads empty.
  std::optional<std::string> Raw(const std::string& key, const char* name) {
    RegKey k;
    uint32_t type = 0;
    std::string data;
    if (k.Open(registry_, Hive::LocalMachine, key, kKeyQueryValue) != kErrorSuccess ||
        k.QueryValue(name, kReadSize, type, data) != kErrorSuccess)
      return std::nullopt;
    return data;
  }
  std::vector<std::string> List(const std::string& key, const char* name) {
    auto data = Raw(key, name);
    return data ? DecodeMultiString(*data) : std::vector<std::string>{};
  }
  // NameServer as Windows takes it: servers parted by commas or blanks.
  std::vector<std::string> Servers(const std::string& key) {
    std::vector<std::string> servers;
    auto data = Raw(key, "NameServer");
    if (!data) return servers;
    std::string text = data->substr(0, data->find('\0'));
    for (char& c : text)
      if (c == ' ') c = ',';
    config::SplitCommaList(text, servers);
    std::erase(servers, std::string());
    return servers;
  }
  bool DhcpEnabled(const std::string& key) {
    auto data = Raw(key, "EnableDHCP");
    if (!data || data->size() != 4) return true;  // as Velandra reads a missing value
    return *data != std::string(4, '\0');
  }

  // What the command will write; nothing is written yet.
  bool Plan(const CommandSpec& spec, std::vector<ValueWrite>& writes) {
    if (!Has("name")) return Missing("name");
    std::string guid;
    if (!FindConnection(*Get("name"), guid)) return false;
    const std::string tcpip = TcpipInterfaceKey(guid);
    const std::string netbt = NetBtInterfaceKey(guid);
    switch (spec.o) {
      case Object::Address:
        return PlanAddress(spec.v, tcpip, writes);
      case Object::Dns:
        return PlanDns(spec.v, tcpip, writes);
      case Object::Wins:
        return PlanWins(spec.v, netbt, writes);
    }
    return false;
  }

  bool PlanAddress(Verb verb, const std::string& key, std::vector<ValueWrite>& w) {
    bool gateway = false;
    std::string metric;
    switch (verb) {
      case Verb::Set:
        if (!Has("source")) {
          // Only the gateways.
          if (Has("addr")) return Missing("source");
          if (Has("mask")) return NotHere("mask");
          if (!Has("gateway")) return Missing(Has("gwmetric") ? "gateway" : "source");
        } else if (Is(*Get("source"), "dhcp")) {
          for (const char* t : {"addr", "mask", "gateway", "gwmetric"})
            if (Has(t)) return NotHere(t);
          w.push_back(Dword(key, "EnableDHCP", 1));
          w.push_back(MultiText(key, "IPAddress", {"0.0.0.0"}));
          w.push_back(MultiText(key, "SubnetMask", {"0.0.0.0"}));
          return true;
        } else if (Is(*Get("source"), "static")) {
          if (!Address("addr") || !Mask("mask")) return false;
          w.push_back(Dword(key, "EnableDHCP", 0));
          w.push_back(MultiText(key, "IPAddress", {*Get("addr")}));
          w.push_back(MultiText(key, "SubnetMask", {*Get("mask")}));
        } else {
          return BadValue("source");
        }
        // Without a gateway the gateways stay as they are.
        if (!GatewayPair(gateway, metric)) return false;
        if (gateway) {
          w.push_back(MultiText(key, "DefaultGateway", {*Get("gateway")}));
          w.push_back(MultiText(key, "DefaultGatewayMetric", {metric}));
        }
        return true;
      case Verb::Add: {
        if (!Has("addr") && !Has("gateway")) return Missing(Has("gwmetric") ? "gateway" : "addr");
        if (Has("addr") || Has("mask")) {
          if (!Address("addr") || !Mask("mask")) return false;
          if (DhcpEnabled(key))
            return Fail("このインターフェイスでは DHCP が有効なため、アドレスを追加できません。");
          auto addresses = List(key, "IPAddress");
          auto masks = List(key, "SubnetMask");
          for (const auto& a : addresses)
            if (a == *Get("addr")) return Exists(a);
          addresses.push_back(*Get("addr"));
          masks.push_back(*Get("mask"));
          w.push_back(MultiText(key, "IPAddress", addresses));
          w.push_back(MultiText(key, "SubnetMask", masks));
        }
        if (!GatewayPair(gateway, metric)) return false;
        if (gateway) {
          auto gateways = List(key, "DefaultGateway");
          auto metrics = List(key, "DefaultGatewayMetric");
          for (const auto& g : gateways)
            if (g == *Get("gateway")) return Exists(g);
          gateways.push_back(*Get("gateway"));
          metrics.push_back(metric);
          w.push_back(MultiText(key, "DefaultGateway", gateways));
          w.push_back(MultiText(key, "DefaultGatewayMetric", metrics));
        }
        return true;
      }
      case Verb::Delete:
        if (Has("addr")) return NotSimulated("addr");
        if (!Has("gateway")) return Missing("gateway");
        if (!Is(*Get("gateway"), "all")) {
          if (!ValidAddress(*Get("gateway"))) return BadValue("gateway");
          return NotSimulated("gateway");
        }
        w.push_back(MultiText(key, "DefaultGateway", {}));
        w.push_back(MultiText(key, "DefaultGatewayMetric", {}));
        return true;
    }
    return false;
  }

  bool PlanDns(Verb verb, const std::string& key, std::vector<ValueWrite>& w) {
    switch (verb) {
      case Verb::Set: {
        if (!Has("source")) return Missing("source");
        if (Is(*Get("source"), "dhcp")) {
          if (Has("addr")) return NotHere("addr");
          w.push_back(Text(key, "NameServer", ""));
        } else if (Is(*Get("source"), "static")) {
          if (Has("addr") && Is(*Get("addr"), "none")) return NotSimulated("addr");
          if (!Address("addr")) return false;
          w.push_back(Text(key, "NameServer", *Get("addr")));
        } else {
          return BadValue("source");
        }
        if (!Has("register")) return true;  // the flags stay as they are
        const std::string& r = *Get("register");
        uint32_t enabled = 0, adapterName = 0;
        if (Is(r, "none")) {
        } else if (Is(r, "primary")) {
          enabled = 1;
        } else if (Is(r, "both")) {
          enabled = adapterName = 1;
        } else {
          return BadValue("register");
        }
        w.push_back(Dword(key, "RegistrationEnabled", enabled));
        w.push_back(Dword(key, "RegisterAdapterName", adapterName));
        return true;
      }
      case Verb::Add: {
        auto servers = Servers(key);
        if (!InsertServer(servers)) return false;
        w.push_back(Text(key, "NameServer", config::JoinCommaList(servers)));
        return true;
      }
      case Verb::Delete:
        if (!AllServers()) return false;
        w.push_back(Text(key, "NameServer", ""));
        return true;
    }
    return false;
  }

  bool PlanWins(Verb verb, const std::string& key, std::vector<ValueWrite>& w) {
    switch (verb) {
      case Verb::Set:
        if (!Has("source")) return Missing("source");
        if (Is(*Get("source"), "dhcp")) return NotSimulated("source");
        if (!Is(*Get("source"), "static")) return BadValue("source");
        if (Has("addr") && Is(*Get("addr"), "none")) return NotSimulated("addr");
        if (!Address("addr")) return false;
        w.push_back(MultiText(key, "NameServerList", {*Get("addr")}));
        return true;
      case Verb::Add: {
        auto servers = List(key, "NameServerList");
        if (!InsertServer(servers)) return false;
        w.push_back(MultiText(key, "NameServerList", servers));
        return true;
      }
      case Verb::Delete:
        if (!AllServers()) return false;
        w.push_back(MultiText(key, "NameServerList", {}));
        return true;
    }
    return false;
  }

  // Writes all or nothing: the keys are opened and the old values read
  // before the first write, and a failed write puts back what was written.
  bool Apply(const std::vector<ValueWrite>& writes) {
    std::map<std::string, RegKey> keys;
    struct Old {
      bool existed;
      uint32_t type;
      std::string data;
    };
    std::vector<Old> olds;
    for (const auto& w : writes) {
      RegKey& k = keys[w.key];
      if (!k.IsOpen() &&
          k.Open(registry_, Hive::LocalMachine, w.key, kKeyAllAccess) != kErrorSuccess)
        return Fail("レジストリ キー HKEY_LOCAL_MACHINE\\" + w.key + " を開けませんでした。");
      Old old{false, 0, {}};
      const long rc = k.QueryValue(w.name, kReadSize, old.type, old.data);
      if (rc == kErrorSuccess)
        old.existed = true;
      else if (rc != kErrorFileNotFound)
        return Fail("レジストリ値 HKEY_LOCAL_MACHINE\\" + w.key + "\\" + w.name +
                    " を読み取れませんでした (エラー " + std::to_string(rc) + ")。");
      olds.push_back(std::move(old));
    }
    for (size_t i = 0; i < writes.size(); ++i) {
      const ValueWrite& w = writes[i];
      const long rc = keys[w.key].SetValue(w.name, w.type, w.data);
      if (rc == kErrorSuccess) continue;
      for (size_t j = i; j-- > 0;) {
        RegKey& k = keys[writes[j].key];
        if (olds[j].existed)
          k.SetValue(writes[j].name, olds[j].type, olds[j].data);
        else
          k.DeleteValue(writes[j].name);
      }
      return Fail("レジストリ値 HKEY_LOCAL_MACHINE\\" + w.key + "\\" + w.name +
                  " に書き込めませんでした (エラー " + std::to_string(rc) + ")。");
    }
    return true;
  }

  SimRegistry& registry_;
  std::string& output_;
  bool registerKnown_ = false;
  std::map<std::string, std::string> values_;  // by the spec's tag spelling
};

}  // namespace

int RunNetsh(SimulatedPc& pc, const std::vector<std::string>& args, std::string& output) {
  return Netsh(pc, output).Run(args);
}

}  // namespace velandra::platform::sim
