#include "apply/netsh_batch.h"

#include <optional>
#include <string_view>
#include <utility>

#include "config/proxy_choice.h"
#include "system/platform/text.h"

namespace velandra::apply {

namespace {

constexpr char kAutoMetric[] = "自動";
constexpr char kNotChanged[] = "設定は変更していません。";

// What a value's position in its line lets it hold (see netsh_batch.h).
enum class Slot {
  Quoted,      // inside the template's quotes, read by a program
  QuotedPath,  // inside quotes on a copy or del line
  CallQuoted,  // inside quotes on the call line
  Comment,     // the rem line
  Address,
  Number,
  Device,      // net use local name
  Argument,    // as it is when plain, else quoted
  ShareName,
};

enum class Problem { None, Characters, Empty, Option };

bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Splits `value` into its CP932 characters. False when a byte is no
// character (a lone or badly followed lead byte, 0x80, 0xA0, 0xFD-0xFF) or
// a control character.
bool SplitCharacters(std::string_view value, std::vector<std::string_view>& chars) {
  for (size_t pos = 0; pos < value.size();) {
    const unsigned char c = static_cast<unsigned char>(value[pos]);
    if (platform::IsCp932LeadByte(c)) {
      if (pos + 1 >= value.size() || !IsTrailByte(static_cast<unsigned char>(value[pos + 1])))
        return false;
      chars.push_back(value.substr(pos, 2));
      pos += 2;
      continue;
    }
    if (c < 0x20 || c == 0x7F || c == 0x80 || c == 0xA0 || c >= 0xFD) return false;
    chars.push_back(value.substr(pos, 1));
    ++pos;
  }
  return true;
}

// A two-byte or half-width katakana character.
bool IsWide(std::string_view ch) {
  const unsigned char c = static_cast<unsigned char>(ch[0]);
  return ch.size() == 2 || (c >= 0xA1 && c <= 0xDF);
}
bool IsAsciiAlnum(std::string_view ch) {
  const char c = ch[0];
  return ch.size() == 1 &&
         ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}
bool IsOneOf(std::string_view ch, std::string_view set) {
  return ch.size() == 1 && set.find(ch[0]) != std::string_view::npos;
}
bool IsPlain(std::string_view ch) {
  return IsWide(ch) || IsAsciiAlnum(ch) || IsOneOf(ch, "\\.:_-$#@~+");
}

Problem EncodeQuoted(Slot slot, const std::vector<std::string_view>& chars, std::string& out) {
  // copy and del take a leading '/' for a switch, quotes or not.
  if (slot == Slot::QuotedPath && !chars.empty() && chars.front() == "/") return Problem::Option;
  for (std::string_view ch : chars) {
    if (ch == "\"") return Problem::Characters;
    if (slot == Slot::QuotedPath && IsOneOf(ch, "*?")) return Problem::Characters;
    if (slot == Slot::CallQuoted && ch == "^") return Problem::Characters;
    if (ch == "%")
      out += slot == Slot::CallQuoted ? "%%%%" : "%%";
    else
      out += ch;
  }
  if (!chars.empty() && chars.back() == "\\") return Problem::Characters;
  return Problem::None;
}

// `value` as `slot` writes it, appended to `out`.
Problem Encode(Slot slot, std::string_view value, std::string& out) {
  std::vector<std::string_view> chars;
  if (!SplitCharacters(value, chars)) return Problem::Characters;
  auto only = [&](bool (*allowed)(std::string_view)) {
    if (chars.empty()) return Problem::Empty;
    for (std::string_view ch : chars)
      if (!allowed(ch)) return Problem::Characters;
    out += value;
    return Problem::None;
  };
  switch (slot) {
    case Slot::Quoted:
    case Slot::QuotedPath:
    case Slot::CallQuoted:
      return EncodeQuoted(slot, chars, out);
    case Slot::Comment:
      for (std::string_view ch : chars) {
        if (ch == "%") out += '%';
        else if (IsOneOf(ch, "&|<>^")) out += '^';
        out += ch;
      }
      return Problem::None;
    case Slot::Address:
      return only([](std::string_view ch) { return IsAsciiAlnum(ch) || IsOneOf(ch, ".:"); });
    case Slot::Number:
      return only([](std::string_view ch) { return ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9'; });
    case Slot::Device:
      return only([](std::string_view ch) { return IsAsciiAlnum(ch) || IsOneOf(ch, ":*"); });
    case Slot::ShareName:
      return only(IsPlain);
    case Slot::Argument: {
      if (chars.empty()) return Problem::Empty;
      if (chars.front() == "/") return Problem::Option;
      bool plain = true;
      for (std::string_view ch : chars) plain = plain && IsPlain(ch);
      if (plain) {
        out += value;
        return Problem::None;
      }
      out += '"';
      const Problem p = EncodeQuoted(Slot::Quoted, chars, out);
      out += '"';
      return p;
    }
  }
  return Problem::Characters;
}

// How a refusal names a value: "接続「...」のIPアドレス". A secret value
// (a password) is named without being shown.
struct Field {
  std::string subject;
  bool secret = false;
};

std::string Named(const Field& field, std::string_view value) {
  if (field.secret) return field.subject;
  return field.subject + "「" + std::string(value) + "」";
}

std::string Refusal(const Field& field, std::string_view value, Problem problem) {
  switch (problem) {
    case Problem::Empty:
      return field.subject + "が空です。" + kNotChanged;
    case Problem::Option:
      return Named(field, value) + "は「/」で始まるため、コマンドのオプションと区別できません。" +
             kNotChanged;
    default:
      return Named(field, value) +
             "に、バッチファイルのコマンドに書けない文字(\"、改行などの制御文字、"
             "正しくない文字など)が含まれています。" +
             kNotChanged;
  }
}

// One batch line, built from literal text and checked values.
class Line {
 public:
  explicit Line(std::string_view text) : text_(text) {}
  Line& Text(std::string_view text) {
    text_ += text;
    return *this;
  }
  Line& Value(Slot slot, std::string_view value, const Field& field) {
    if (refusal_) return *this;
    const Problem p = Encode(slot, value, text_);
    if (p != Problem::None) {
      refusal_ = Refusal(field, value, p);
    } else if (!longest_ || value.size() > longest_->second.size()) {
      longest_.emplace(field, std::string(value));
    }
    return *this;
  }
  void Refuse(std::string message) {
    if (!refusal_) refusal_ = std::move(message);
  }

 private:
  friend class BatchText;
  std::string text_;
  std::optional<std::string> refusal_;
  std::optional<std::pair<Field, std::string>> longest_;
};

// The batch being written; the first refusal ends it.
class BatchText {
 public:
  void Add(const Line& line) {
    if (!refusal_.empty()) return;
    if (line.refusal_) {
      refusal_ = *line.refusal_;
    } else if (line.text_.size() > kMaxBatchLine) {
      // Only values make a line long, so a long line has one.
      const auto& [field, value] = *line.longest_;
      refusal_ = Named(field, value) + "が長すぎて、バッチファイルの1行(" +
                 std::to_string(kMaxBatchLine) + "バイトまで)に収まりません。" + kNotChanged;
    } else {
      text_ += line.text_;
      text_ += "\r\n";
    }
  }
  std::string& text() { return text_; }
  const std::string& refusal() const { return refusal_; }

 private:
  std::string text_;
  std::string refusal_;
};

struct Writer {
  const NetshBatchInput& in;
  BatchText out;

  // True when the group is to be written: not left out as equal.
  bool UnlessEqual(bool same) const { return !(in.DiffCheck && same); }

  void Adapter(const BatchAdapter& adapter) {
    using config::AdapterGroup;
    const config::AdapterSettings& s = *adapter.Settings;
    const std::string& name = adapter.Adapter->ConnectionName;
    const Field nameField{"アダプタ「" + adapter.Adapter->DriverDesc + "」の接続名"};
    auto field = [&](const char* what) { return Field{"接続「" + name + "」の" + what}; };
    // Every line names the connection in quotes after its command.
    auto line = [&](const char* command) {
      Line l(command);
      l.Text(" name=\"").Value(Slot::Quoted, name, nameField).Text("\"");
      return l;
    };

    if (UnlessEqual(s.Same[config::kGroupIp])) {
      if (s.EnableDHCP) {
        out.Add(line("netsh interface ip set address").Text(" source=dhcp"));
      } else {
        for (size_t i = 0; i < s.IPAddress.size(); ++i) {
          Line l = i == 0 ? line("netsh interface ip set address").Text(" source=static")
                          : line("netsh interface ip add address");
          l.Text(" addr=").Value(Slot::Address, s.IPAddress[i], field("IPアドレス"));
          if (i < s.SubnetMask.size()) {
            l.Text(" mask=").Value(Slot::Address, s.SubnetMask[i], field("サブネットマスク"));
          } else {
            l.Refuse(Named(field("IPアドレス"), s.IPAddress[i]) +
                     "に対応するサブネットマスクがありません。" + kNotChanged);
          }
          out.Add(l);
        }
      }
    }

    if (UnlessEqual(s.Same[config::kGroupGateway])) {
      if (s.Gateway.empty())
        out.Add(line("netsh interface ip delete address").Text(" gateway=all"));
      for (size_t i = 0; i < s.Gateway.size(); ++i) {
        std::string metric = i < s.Metric.size() ? s.Metric[i] : "0";
        if (metric == kAutoMetric) metric = "0";
        Line l = line(i == 0 ? "netsh interface ip set address" : "netsh interface ip add address");
        l.Text(" gateway=").Value(Slot::Address, s.Gateway[i], field("デフォルトゲートウェイ"));
        l.Text(" gwmetric=").Value(Slot::Number, metric, field("ゲートウェイのメトリック"));
        out.Add(l);
      }
    }

    const bool xp = in.Os.IsWindowsXp();
    // On XP the register= part carries both registration flags.
    const bool registrationDiffers =
        xp && !(s.Same[config::kGroupUpdate] && s.Same[config::kGroupRegistration]);
    if (UnlessEqual(s.Same[config::kGroupDns]) || registrationDiffers) {
      std::string r;
      if (xp) {
        r = s.DOMAIN_Update && s.DOMAIN_Registration ? " register=BOTH"
            : s.DOMAIN_Update                        ? " register=PRIMARY"
                                                     : " register=NONE";
      }
      const std::vector<std::string>& dns = s.DNS_Server;
      const Field server = field("DNSサーバー");
      auto set = [&](const std::string& addr) {
        Line l = line("netsh interface ip set dns");
        l.Text(" source=static addr=").Value(Slot::Address, addr, server).Text(r);
        return l;
      };
      auto add = [&](const std::string& addr) {
        Line l = line("netsh interface ip add dns");
        l.Text(" addr=").Value(Slot::Address, addr, server);
        return l;
      };
      if (s.EnableDNS) {
        out.Add(line("netsh interface ip set dns").Text(" source=dhcp").Text(r));
      } else if (dns.size() == 1) {
        out.Add(set(dns[0]));
      } else if (dns.empty()) {
        out.Add(line("netsh interface ip delete dns").Text(" all"));
      } else if (xp && in.Os.ServicePack == "Service Pack 1") {
        // Service Pack 1's netsh puts the first server by index last.
        Line first = add(dns[0]);
        first.Text(" index=1");
        out.Add(set(dns[1]));
        for (size_t i = 2; i < dns.size(); ++i) out.Add(add(dns[i]));
        out.Add(first);
      } else {
        out.Add(set(dns[0]));
        for (size_t i = 1; i < dns.size(); ++i) out.Add(add(dns[i]));
      }
    }

    if (UnlessEqual(s.Same[config::kGroupWins])) {
      const Field server = field("WINSサーバー");
      if (s.WINS.empty())
        out.Add(line("netsh interface ip delete wins").Text(" all"));
      for (size_t i = 0; i < s.WINS.size(); ++i) {
        Line l = i == 0 ? line("netsh interface ip set wins").Text(" source=static")
                        : line("netsh interface ip add wins");
        l.Text(" addr=").Value(Slot::Address, s.WINS[i], server);
        out.Add(l);
      }
    }
    // The interface metric and NetBIOS have no command; only the registry
    // write of a change with restart sets them.
  }

  bool PlaceWide(const BatchPlaceWide& p) {
    const std::string place = "接続場所「" + in.Place->Name + "」の";
    auto field = [&](const std::string& what) { return Field{place + what}; };

    if (UnlessEqual(p.Same.Proxy) && p.Proxy.Installed && !p.Proxy.DisableProxy) {
      Line l("call \"");
      l.Value(Slot::CallQuoted, p.Proxy.InstallDir + "BRISCO.EXE",
              field("プロキシ切り替えソフトのプログラム"));
      l.Text("\" \"/S:");
      l.Value(Slot::CallQuoted, p.Proxy.ProxyName == config::kNoProxyEntry ? config::kNoProxyArgument
                                                                  : p.Proxy.ProxyName,
              field("プロキシの設定名"));
      out.Add(l.Text("\""));
    }

    if (UnlessEqual(p.Same.NetworkDrives)) {
      out.Add(Line("net use * /delete /yes"));
      for (size_t i = 0; i < p.NetworkDrives.size(); ++i) {
        const BatchNetworkDrive& d = p.NetworkDrives[i];
        const std::string which = "ネットワークドライブ" + std::to_string(i + 1) + "番目の";
        Line l("net use ");
        l.Value(Slot::Device, d.LocalName, field(which + "ドライブ名"));
        l.Text(" ").Value(Slot::Argument, d.RemoteName, field(which + "接続先"));
        if (!d.Password.empty())
          l.Text(" ").Value(Slot::Argument, d.Password, Field{place + which + "パスワード", true});
        // A password "*", quoted or not, makes net ask for one at the console,
        // where nobody answers a hidden batch.
        if (d.Password == "*")
          l.Refuse(place + which + "パスワードに「*」だけは指定できません(net useがパスワードの入力を"
                   "待ち、バッチファイルが止まるため)。" + kNotChanged);
        if (!d.UserName.empty())
          l.Text(" /USER:").Value(Slot::Argument, d.UserName, field(which + "ユーザー名"));
        out.Add(l);
      }
    }

    if (UnlessEqual(p.Same.DefaultPrinter) && !p.DefaultPrinter.empty()) {
      Line l("rundll32 printui.dll,PrintUIEntry /y /n \"");
      l.Value(Slot::Quoted, p.DefaultPrinter, field("通常使うプリンタ"));
      out.Add(l.Text("\""));
    }

    bool createsShares = false;
    if (UnlessEqual(p.Same.Shares)) {
      size_t entries = 0;
      for (const BatchNetShare& share : p.NetShares) entries += share.AccessCount;
      // Shares with permission entries are all made through the network
      // functions after the batch, which can set the permissions.
      if (entries == 0) {
        for (size_t i = 0; i < p.NetShares.size(); ++i) {
          const BatchNetShare& share = p.NetShares[i];
          const std::string which = "共有" + std::to_string(i + 1) + "番目の";
          Line l("net share ");
          l.Value(Slot::ShareName, share.ShareName, field(which + "共有名"));
          l.Text("=").Value(Slot::Argument, share.SharePath, field(which + "フォルダ"));
          l.Text(share.MaxUses == -1 ? " /UNLIMITED"
                                     : " /USER:" + std::to_string(share.MaxUses));
          if (!share.Remark.empty()) {
            l.Text(" /REMARK:\"").Value(Slot::Quoted, share.Remark, field(which + "コメント"));
            l.Text("\"");
          }
          out.Add(l);
        }
        createsShares = true;
      }
    }

    // GetSystemDirectoryA into 260 characters: a longer one counts as failed.
    if (!in.SystemDirectory.empty() && in.SystemDirectory.size() <= 260) {
      struct {
        const std::string& source;
        const char* target;
        bool same;
        const char* what;
      } files[] = {
          {p.HOSTS, "\\drivers\\etc\\hosts", p.Same.HostsFile, "hostsファイル"},
          {p.LMHOSTS, "\\drivers\\etc\\lmhosts", p.Same.LmhostsFile, "lmhostsファイル"},
      };
      for (const auto& f : files) {
        if (!UnlessEqual(f.same)) continue;
        const Field target{"システムの" + std::string(f.what)};
        if (f.source.empty()) {
          Line l("del /F \"");
          l.Value(Slot::QuotedPath, in.SystemDirectory + f.target, target);
          out.Add(l.Text("\""));
        } else {
          Line l("copy /Y \"");
          l.Value(Slot::QuotedPath, f.source, field(f.what));
          l.Text("\" \"").Value(Slot::QuotedPath, in.SystemDirectory + f.target, target);
          out.Add(l.Text("\""));
        }
      }
    }
    return createsShares;
  }
};

}  // namespace

NetshBatch BuildNetshBatch(const NetshBatchInput& input) {
  Writer w{input, {}};
  w.out.Add(Line("rem 接続場所=").Value(Slot::Comment, input.Place->Name, Field{"接続場所の名前"}));
  for (const BatchAdapter& adapter : input.Adapters) {
    if (input.DiffCheck && adapter.Settings->ChangeKind == 0) continue;
    w.Adapter(adapter);
  }
  bool createsShares = false;
  if (input.PlaceWide) createsShares = w.PlaceWide(*input.PlaceWide);

  NetshBatch batch;
  if (!w.out.refusal().empty()) {
    batch.Refusal = w.out.refusal();
    return batch;
  }
  batch.Text = std::move(w.out.text());
  batch.CreatesShares = createsShares;
  return batch;
}

std::string NetshBatchPath(const std::string& directory, uint32_t placeNumber) {
  return directory + "\\netsh_p" + std::to_string(placeNumber) + ".bat";
}

}  // namespace velandra::apply
