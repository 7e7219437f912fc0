#include "system/platform/sim/sim_shares.h"

#include <cstdlib>

#include "system/platform/sim/simulated_pc.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {

namespace {

constexpr char kSharesHeader[] =
    "# Shares of the simulated PC (see docs/simulated-pc.md). Velandra rewrites\n"
    "# this file when a share is added or deleted.\n";

struct WellKnown {
  const char* name;
  const char* domain;
  const char* sid;
};
constexpr WellKnown kWellKnown[] = {
    {"Everyone", "", "S-1-1-0"},
    {"CREATOR OWNER", "", "S-1-3-0"},
    {"INTERACTIVE", "NT AUTHORITY", "S-1-5-4"},
    {"Authenticated Users", "NT AUTHORITY", "S-1-5-11"},
    {"SYSTEM", "NT AUTHORITY", "S-1-5-18"},
    {"Administrators", "BUILTIN", "S-1-5-32-544"},
    {"Users", "BUILTIN", "S-1-5-32-545"},
    {"Guests", "BUILTIN", "S-1-5-32-546"},
    {"Power Users", "BUILTIN", "S-1-5-32-547"},
};

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::vector<std::string> SplitTrimmed(const std::string& text) {
  std::vector<std::string> out;
  size_t pos = 0;
  for (;;) {
    size_t comma = text.find(',', pos);
    out.push_back(Trim(text.substr(pos, comma == std::string::npos ? comma : comma - pos)));
    if (comma == std::string::npos) return out;
    pos = comma + 1;
  }
}

bool IsSid(const std::string& text) {
  if (text.size() < 5 || text.compare(0, 2, "S-") != 0) return false;
  bool digit = false;
  for (size_t i = 2; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') digit = true;
    else if (text[i] == '-' && digit) digit = false;
    else return false;
  }
  return digit;
}

// Decimal, or hexadecimal after "0x"; a sign allowed for decimal.
bool ParseNumber(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
  return end && *end == '\0';
}

bool IsWellKnownShareNameChar(unsigned char c) {
  return !(c < 0x20 || c == 0x7F || std::string_view("\"/\\[]:|<>+=;,?*").find(static_cast<char>(c)) !=
                                        std::string_view::npos);
}

bool IsValidShareName(const std::string& name) {
  if (name.empty()) return false;
  size_t chars = 0;
  for (size_t pos = 0; pos < name.size(); pos += Cp932CharLength(name, pos), ++chars)
    if (Cp932CharLength(name, pos) == 1 &&
        !IsWellKnownShareNameChar(static_cast<unsigned char>(name[pos])))
      return false;
  return chars <= 80;
}

bool LoadShares(SimulatedPc& pc, StateFile& file, long& status) {
  std::string error;
  if (file.Load(pc.directory() / kSharesFile, false, error)) return true;
  pc.LogEvent("shares: " + error);
  status = kErrorInvalidData;
  return false;
}

// One share section of shares.ini; false and `error` on a bad value.
bool ParseShare(const StateFile::Section& s, ShareInfo& info, std::string& error) {
  info.Name = Utf8ToCp932(s.Name);
  std::string security;
  bool anyAce = false;
  for (const StateFile::Entry& e : s.Entries) {
    auto bad = [&](const std::string& what) {
      error = std::string(kSharesFile) + " line " + std::to_string(e.Line) + ": " + what;
      return false;
    };
    long long n = 0;
    const std::string& k = e.Key;
    if (Cp932EqualsNoCase(k, "path")) info.Path = Utf8ToCp932(e.Value);
    else if (Cp932EqualsNoCase(k, "remark")) info.Remark = Utf8ToCp932(e.Value);
    else if (Cp932EqualsNoCase(k, "password")) info.Password = Utf8ToCp932(e.Value);
    else if (Cp932EqualsNoCase(k, "security")) security = e.Value;
    else if (Cp932EqualsNoCase(k, "type") || Cp932EqualsNoCase(k, "max_uses") ||
             Cp932EqualsNoCase(k, "current_uses") || Cp932EqualsNoCase(k, "permissions")) {
      if (!ParseNumber(e.Value, n)) return bad("\"" + e.Value + "\" is not a number");
      if (Cp932EqualsNoCase(k, "type")) info.Type = static_cast<uint32_t>(n);
      else if (Cp932EqualsNoCase(k, "max_uses")) info.MaxUses = static_cast<int32_t>(n);
      else if (Cp932EqualsNoCase(k, "current_uses")) info.CurrentUses = static_cast<uint32_t>(n);
      else info.Permissions = static_cast<uint32_t>(n);
    } else if (Cp932EqualsNoCase(k, "ace")) {
      std::vector<std::string> f = SplitTrimmed(e.Value);
      ShareAce ace;
      long long mask = 0, flags = 0;
      if (f.size() < 3 || f.size() > 4 || f[1].empty() || !ParseNumber(f[2], mask) ||
          (f.size() == 4 && !ParseNumber(f[3], flags)))
        return bad("an ace must read allow|deny, ACCOUNT, MASK[, FLAGS]: " + e.Value);
      if (Cp932EqualsNoCase(f[0], "allow")) ace.Type = 0;
      else if (Cp932EqualsNoCase(f[0], "deny")) ace.Type = 1;
      else return bad("an ace is allow or deny, not " + f[0]);
      ace.Mask = static_cast<uint32_t>(mask);
      ace.Flags = static_cast<uint8_t>(flags);
      ace.Sid = Utf8ToCp932(f[1]);  // the account for now; made a SID by the caller
      info.Dacl.push_back(ace);
      anyAce = true;
    } else {
      return bad("unknown key " + k);
    }
  }
  if (security.empty()) security = anyAce ? "dacl" : "default";
  if (Cp932EqualsNoCase(security, "dacl")) info.HasDacl = true;
  else if (Cp932EqualsNoCase(security, "default") || Cp932EqualsNoCase(security, "null"))
    info.HasDacl = false;
  else {
    error = std::string(kSharesFile) + " [" + s.Name + "]: security is dacl, default or null, not " +
            security;
    return false;
  }
  if (!info.HasDacl) info.Dacl.clear();
  return true;
}

uint32_t NameHash(const std::string& name) {
  uint32_t h = 2166136261u;  // FNV-1a over the upper-cased CP932 bytes
  for (unsigned char c : Cp932ToUpperAscii(name)) h = (h ^ c) * 16777619u;
  return h;
}

}  // namespace

std::string SimShares::LocalSid(const std::string& name) const {
  std::string utf8 = Cp932ToUtf8(name);
  if (const StateFile::Section* s = pc_.Users().Find(utf8)) {
    long long rid = 0;
    if (ParseNumber(pc_.Users().Get(s->Name, "rid"), rid) && rid > 0)
      return kLocalSidPrefix + std::to_string(rid);
  }
  if (Cp932EqualsNoCase(name, "Administrator")) return std::string(kLocalSidPrefix) + "500";
  if (Cp932EqualsNoCase(name, "Guest")) return std::string(kLocalSidPrefix) + "501";
  return kLocalSidPrefix + std::to_string(1000 + NameHash(name) % 9000000u);
}

std::vector<SimShares::Account> SimShares::Accounts() const {
  std::vector<Account> out;
  for (const WellKnown& w : kWellKnown) out.push_back({w.name, w.domain, w.sid});
  std::string computer;
  pc_.platform().system.GetComputerName(computer);
  auto addLocal = [&](const std::string& name) {
    for (const Account& a : out)
      if (Cp932EqualsNoCase(a.Name, name)) return;
    out.push_back({name, computer, LocalSid(name)});
  };
  for (const auto& s : pc_.Users().Sections()) {
    if (Cp932EqualsNoCase(s.Name, "database")) continue;
    addLocal(Utf8ToCp932(s.Name));
  }
  for (const auto& s : pc_.Users().Sections())
    for (const std::string& g : SplitTrimmed(pc_.Users().Get(s.Name, "groups")))
      if (!g.empty()) addLocal(Utf8ToCp932(g));
  return out;
}

bool SimShares::AccountOfSid(const std::string& sid, std::string& name,
                                 std::string& domain) {
  for (const Account& a : Accounts())
    if (a.Sid == sid) {
      name = a.Name;
      domain = a.Domain;
      return true;
    }
  return false;
}

bool SimShares::SidOfAccount(const std::string& account, std::string& sid) {
  std::string domain, name = account;
  size_t slash = Cp932Find(account, '\\');
  bool withDomain = slash != std::string::npos;
  if (withDomain) {
    domain = account.substr(0, slash);
    name = account.substr(slash + 1);
  }
  for (const Account& a : Accounts())
    if (Cp932EqualsNoCase(a.Name, name) && (!withDomain || Cp932EqualsNoCase(a.Domain, domain))) {
      sid = a.Sid;
      return true;
    }
  return false;
}

long SimShares::EnumShares(std::vector<ShareInfo>& shares) {
  StateFile file;
  long status = 0;
  if (!LoadShares(pc_, file, status)) return status;
  std::vector<ShareInfo> out;
  for (const StateFile::Section& s : file.Sections()) {
    ShareInfo info;
    std::string error;
    if (!ParseShare(s, info, error)) {
      pc_.LogEvent("shares: " + error);
      return kErrorInvalidData;
    }
    // The file names accounts; Windows keeps SIDs. A name no account has
    // any more stands for the SID it had, which now maps to nothing.
    for (ShareAce& ace : info.Dacl) {
      std::string sid;
      if (IsSid(ace.Sid)) continue;
      ace.Sid = SidOfAccount(ace.Sid, sid) ? sid : LocalSid(ace.Sid);
    }
    out.push_back(std::move(info));
  }
  shares = std::move(out);
  return 0;
}

long SimShares::AddShare(const ShareInfo& share) {
  if (!IsValidShareName(share.Name)) return kShareInvalidName;
  uint32_t base = share.Type & ~kShareSpecial;
  if (base > 2 || share.MaxUses < -1) return kErrorInvalidParameter;
  size_t remarkChars = Cp932ToUtf16(share.Remark).size();
  if (remarkChars > 256 || Cp932ToUtf16(share.Path).size() > 259) return kErrorInvalidParameter;
  for (const ShareAce& ace : share.Dacl) {
    if (!IsSid(ace.Sid)) return kShareInvalidSid;
    if (ace.Type > 1) return kErrorInvalidParameter;
  }
  StateFile file;
  long status = 0;
  if (!LoadShares(pc_, file, status)) return status;
  if (file.Find(Cp932ToUtf8(share.Name))) return kShareDuplicate;
  if (base == 0) {
    std::filesystem::path host;
    std::error_code ec;
    if (!pc_.MapPath(share.Path, host) || !std::filesystem::is_directory(host, ec))
      return kShareUnknownDevDir;
  }
  std::string section = Cp932ToUtf8(share.Name);
  file.AddSection(section);
  file.Add(section, "type", std::to_string(share.Type));
  file.Add(section, "path", Cp932ToUtf8(share.Path));
  if (!share.Remark.empty()) file.Add(section, "remark", Cp932ToUtf8(share.Remark));
  file.Add(section, "max_uses", std::to_string(share.MaxUses));
  // A new share has nobody connected, whatever the caller passed.
  file.Add(section, "current_uses", "0");
  file.Add(section, "permissions", std::to_string(share.Permissions));
  if (!share.Password.empty()) file.Add(section, "password", Cp932ToUtf8(share.Password));
  file.Add(section, "security", share.HasDacl ? "dacl" : "default");
  for (const ShareAce& ace : share.Dacl) {
    std::string name, domain;
    std::string account = AccountOfSid(ace.Sid, name, domain) ? name : ace.Sid;
    char mask[16];
    std::snprintf(mask, sizeof mask, "0x%08X", static_cast<unsigned>(ace.Mask));
    std::string value = std::string(ace.Type ? "deny" : "allow") + ", " + Cp932ToUtf8(account) +
                        ", " + mask;
    if (ace.Flags) value += ", " + std::to_string(ace.Flags);
    file.Add(section, "ace", value);
  }
  std::string error;
  if (!file.Save(pc_.directory() / kSharesFile, kSharesHeader, &error)) {
    pc_.LogEvent("shares: " + error);
    return kErrorWriteFault;
  }
  pc_.LogEvent("share added " + section + " = " + Cp932ToUtf8(share.Path));
  return 0;
}

long SimShares::DeleteShare(const std::string& name) {
  StateFile file;
  long status = 0;
  if (!LoadShares(pc_, file, status)) return status;
  std::string section = Cp932ToUtf8(name);
  if (!file.Find(section)) return kShareNotFound;
  file.RemoveSection(section);
  std::string error;
  if (!file.Save(pc_.directory() / kSharesFile, kSharesHeader, &error)) {
    pc_.LogEvent("shares: " + error);
    return kErrorWriteFault;
  }
  pc_.LogEvent("share deleted " + section);
  return 0;
}

}  // namespace velandra::platform::sim
