#include "config/net_shares.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "system/platform/text.h"

namespace velandra::config {

namespace {

constexpr uint32_t kValueSize = 256;  // a stored value keeps at most 255 bytes
constexpr size_t kMaxShareNameChars = 80;  // NNLEN
constexpr size_t kMaxPathChars = 259;      // MAX_PATH less the terminator
constexpr char kAllowedWord[] = "ACCESS_ALLOWED_ACE_TYPE";
constexpr char kDeniedWord[] = "ACCESS_DENIED_ACE_TYPE";

std::string ShareKey(size_t i) {
  char key[32];
  std::snprintf(key, sizeof key, "NetShare%02u", static_cast<unsigned>(i));
  return key;
}

std::string PermissionKey(const std::string& shareKey, size_t j) {
  char key[48];
  std::snprintf(key, sizeof key, "%s%02u", shareKey.c_str(), static_cast<unsigned>(j));
  return key;
}

// The stored fields of a comma-separated value: the first is the text
// before the first comma (empty without one), the middle ones are each
// ended by a comma, the last is all after the (count-1)th comma. Fields past
// the first missing comma are absent (the caller's defaults apply).
std::vector<std::string> SplitFields(std::string_view value, size_t count) {
  std::vector<std::string> fields;
  size_t comma = value.find(',');
  if (comma == std::string_view::npos) {
    fields.emplace_back();
    return fields;
  }
  fields.emplace_back(value.substr(0, comma));
  size_t start = comma + 1;
  while (fields.size() + 1 < count) {
    comma = value.find(',', start);
    if (comma == std::string_view::npos) return fields;
    fields.emplace_back(value.substr(start, comma - start));
    start = comma + 1;
  }
  fields.emplace_back(value.substr(start));
  return fields;
}

const std::string& FieldOr(const std::vector<std::string>& fields, size_t index,
                           const std::string& def) {
  return index < fields.size() ? fields[index] : def;
}

// The C library's decimal conversion: text that is no number gives 0.
int32_t Decimal(const std::string& text) {
  return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

bool IsReading(const std::string& value) { return value != kNoDataPlace; }

size_t CharCount(std::string_view text) {
  size_t n = 0;
  for (size_t pos = 0; pos < text.size(); pos += platform::Cp932CharLength(text, pos)) ++n;
  return n;
}

// Whether `text` holds a single-byte character of `refused` or a control
// character, stepping over two-byte characters (their trail byte may be
// '\\', '[' or '|').
bool HasRefusedChar(std::string_view text, std::string_view refused) {
  for (size_t pos = 0; pos < text.size(); pos += platform::Cp932CharLength(text, pos)) {
    if (platform::Cp932CharLength(text, pos) == 2) continue;
    unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c < 0x20 || c == 0x7F || refused.find(static_cast<char>(c)) != std::string_view::npos)
      return true;
  }
  return false;
}

constexpr std::string_view kShareNameRefused = "\"/\\[]:|<>+=;,?*";
constexpr std::string_view kAccountRefused = "\"/\\[]:;|=,+*?<>";
constexpr std::string_view kPathRefused = "<>\"|?*,";

// "X:\..." with nothing after the drive that a path cannot hold.
bool IsLocalAbsolutePath(const std::string& path) {
  if (path.size() < 3) return false;
  char d = path[0];
  if (!((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z')) || path[1] != ':' || path[2] != '\\')
    return false;
  std::string_view rest = std::string_view(path).substr(3);
  return !HasRefusedChar(rest, std::string(kPathRefused) + ":") &&
         CharCount(path) <= kMaxPathChars;
}

}  // namespace

std::string StoredShareValue(const NetShare& s) {
  return s.ShareName + "," + std::to_string(s.ShareType) + "," + s.Remark + "," +
         std::to_string(s.Permissions) + "," + std::to_string(s.MaxUses) + "," +
         std::to_string(s.CurrentUses) + "," + s.SharePath + "," +
         EncodeStoredPassword(s.Password);
}

std::string StoredPermissionValue(const SharePermission& p) {
  char mask[16];
  std::snprintf(mask, sizeof mask, "%08x", static_cast<unsigned>(p.AccessMask));
  return p.AccountName + "," + p.AccountDomain + "," +
         (p.AceType == kAceAllowed ? kAllowedWord : kDeniedWord) + "," +
         std::to_string(p.AceFlags) + "," + mask;
}

void ReadSharesFromConfig(const ConfigFile& config, std::string_view section,
                          NetShareList& shares) {
  static const std::string kEmpty, kZero = "0", kUnlimited = "SHI_USES_UNLIMITED",
                                   kDiskTree = "STYPE_DISKTREE", kAllowed = kAllowedWord;
  for (size_t i = 1;; ++i) {
    std::string key = ShareKey(i);
    std::string value = config.ReadString(section, key, kNoDataPlace, kValueSize);
    if (!IsReading(value)) break;
    std::vector<std::string> f = SplitFields(value, 8);
    NetShare share;
    share.ShareName = f[0];
    const std::string& type = FieldOr(f, 1, kDiskTree);
    share.ShareType = type == kDiskTree ? kShareDisk : Decimal(type);
    share.Remark = FieldOr(f, 2, kEmpty);
    share.Permissions = Decimal(FieldOr(f, 3, kZero));
    const std::string& maxUses = FieldOr(f, 4, kUnlimited);
    share.MaxUses = maxUses == kUnlimited ? -1 : Decimal(maxUses);
    share.CurrentUses = Decimal(FieldOr(f, 5, kZero));
    share.SharePath = FieldOr(f, 6, kEmpty);
    share.Password = DecodeStoredPassword(FieldOr(f, 7, kEmpty));

    for (size_t j = 1;; ++j) {
      std::string pvalue =
          config.ReadString(section, PermissionKey(key, j), kNoDataPlace, kValueSize);
      if (!IsReading(pvalue)) break;
      std::vector<std::string> p = SplitFields(pvalue, 5);
      SharePermission entry;
      entry.AccountName = p[0].empty() ? "Everyone" : p[0];
      entry.AccountDomain = FieldOr(p, 1, kEmpty);
      entry.AceType = FieldOr(p, 2, kAllowed) == kAllowedWord ? kAceAllowed : kAceDenied;
      entry.AceFlags = static_cast<uint8_t>(Decimal(FieldOr(p, 3, kZero)) & 0xFF);
      const std::string& mask = FieldOr(p, 4, kEmpty);
      entry.AccessMask = mask.empty()
                             ? kShareFullControl
                             : static_cast<uint32_t>(std::strtoul(mask.c_str(), nullptr, 16));
      share.Access.push_back(std::move(entry));
    }
    shares.push_back(std::move(share));
  }
}

bool WriteSharesToConfig(const ConfigFile& config, std::string_view section,
                         const NetShareList& shares, std::string* error) {
  for (const NetShare& share : shares) {
    std::string message = CheckShare(share);
    if (!message.empty()) {
      if (error) *error = message;
      return false;
    }
  }
  bool ok = true;
  for (size_t i = 1;; ++i) {
    std::string key = ShareKey(i);
    for (size_t j = 1;; ++j) {
      std::string pkey = PermissionKey(key, j);
      if (!IsReading(config.ReadString(section, pkey, kNoDataPlace, kValueSize))) break;
      ok = config.DeleteKey(section, pkey) && ok;
    }
    if (!IsReading(config.ReadString(section, key, kNoDataPlace, kValueSize))) break;
    ok = config.DeleteKey(section, key) && ok;
  }
  for (size_t i = 0; i < shares.size(); ++i) {
    std::string key = ShareKey(i + 1);
    ok = config.WriteString(section, key, StoredShareValue(shares[i])) && ok;
    for (size_t j = 0; j < shares[i].Access.size(); ++j)
      ok = config.WriteString(section, PermissionKey(key, j + 1),
                              StoredPermissionValue(shares[i].Access[j])) &&
           ok;
  }
  if (!ok && error) *error = "共有の設定を " + config.Path() + " に書き出せませんでした。";
  return ok;
}

std::string CheckShare(const NetShare& s) {
  const std::string& name = s.ShareName;
  if (name.empty()) return "共有名を入力してください。";
  if (CharCount(name) > kMaxShareNameChars)
    return "共有名 " + name + " は長すぎます。80文字以内にしてください。";
  if (HasRefusedChar(name, kShareNameRefused))
    return "共有名 " + name + " には使用できない文字が含まれています。";
  if (s.ShareType < kShareDisk || s.ShareType > kShareDevice)
    return "共有 " + name + " の種類 " + std::to_string(s.ShareType) + " は扱えません。";
  if (s.ShareType == kShareDisk && !IsLocalAbsolutePath(s.SharePath))
    return "共有 " + name + " のパス " + s.SharePath +
           " は使用できません。ドライブ名から始まるローカルのパスを指定してください。";
  if (HasRefusedChar(s.SharePath, kPathRefused))
    return "共有 " + name + " のパス " + s.SharePath + " には使用できない文字が含まれています。";
  if (HasRefusedChar(s.Remark, ","))
    return "共有 " + name + " のコメントにはカンマや制御文字を使用できません。";
  if (s.MaxUses < -1)
    return "共有 " + name + " の最大ユーザー数 " + std::to_string(s.MaxUses) +
           " は正しくありません。";
  if (StoredShareValue(s).size() >= kValueSize)
    return "共有 " + name + " の設定が長すぎて保存できません。";
  for (const SharePermission& p : s.Access) {
    if (HasRefusedChar(p.AccountName, kAccountRefused) ||
        HasRefusedChar(p.AccountDomain, kAccountRefused) || p.AceType > kAceDenied)
      return "共有 " + name + " のアクセス許可のユーザー " + PermissionDisplayName(p) +
             " は正しくありません。";
    if (StoredPermissionValue(p).size() >= kValueSize)
      return "共有 " + name + " のアクセス許可のユーザー名が長すぎて保存できません。";
  }
  return {};
}

const NetShare* FindShare(const NetShareList& shares, std::string_view name) {
  for (const NetShare& s : shares)
    if (s.ShareName == name) return &s;
  return nullptr;
}

const SharePermission* FindPermission(const NetShare& share, std::string_view accountName,
                                      std::string_view accountDomain, uint8_t aceType) {
  for (const SharePermission& p : share.Access)
    if (p.AccountName == accountName && p.AccountDomain == accountDomain &&
        p.AceType == aceType)
      return &p;
  return nullptr;
}

std::string PermissionDisplayName(const SharePermission& p) {
  return p.AccountDomain.empty() ? p.AccountName : p.AccountDomain + "\\" + p.AccountName;
}

std::string DescribeShares(const NetShareList& shares) {
  if (shares.empty()) return "共有なし\n";
  std::string out;
  for (const NetShare& s : shares) {
    out += s.ShareName + " = " + s.SharePath + " (種類 " + std::to_string(s.ShareType) +
           ", 最大 " + (s.MaxUses < 0 ? std::string("無制限") : std::to_string(s.MaxUses)) +
           (s.Remark.empty() ? "" : ", " + s.Remark) + ")\n";
    if (s.Access.empty()) out += "  既定のアクセス許可\n";
    for (const SharePermission& p : s.Access) {
      char mask[16];
      std::snprintf(mask, sizeof mask, "0x%06X", static_cast<unsigned>(p.AccessMask));
      out += std::string("  ") + (p.AceType == kAceAllowed ? "許可 " : "拒否 ") +
             PermissionDisplayName(p) + " " + mask + "\n";
    }
  }
  return out;
}

}  // namespace velandra::config
