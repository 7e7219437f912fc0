#include "system/share_permissions.h"

namespace velandra {

bool IsSidString(const std::string& text) {
  if (text.size() < 5 || (text[0] != 'S' && text[0] != 's') || text[1] != '-') return false;
  bool digit = false;
  int parts = 0;
  for (size_t i = 2; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '-' && digit) {
      digit = false;
      ++parts;
    } else {
      return false;
    }
  }
  return digit && parts >= 1;  // revision and authority at least
}

bool BuildShareDacl(platform::IShares& shares,
                    const std::vector<config::SharePermission>& entries,
                    std::vector<platform::ShareAce>& dacl, std::string* unresolved) {
  std::vector<platform::ShareAce> out;
  for (const config::SharePermission& p : entries) {
    platform::ShareAce ace;
    ace.Type = p.AceType == config::kAceAllowed ? config::kAceAllowed : config::kAceDenied;
    ace.Mask = p.AccessMask;
    std::string account = config::PermissionDisplayName(p);
    if (p.AccountDomain.empty() && IsSidString(p.AccountName)) {
      ace.Sid = p.AccountName;
    } else if (!shares.SidOfAccount(account, ace.Sid)) {
      if (unresolved) *unresolved = account;
      return false;
    }
    out.push_back(std::move(ace));
  }
  dacl = std::move(out);
  return true;
}

std::vector<config::SharePermission> ReadShareDacl(platform::IShares& shares,
                                                    const platform::ShareInfo& info) {
  std::vector<config::SharePermission> entries;
  if (!info.HasDacl) return entries;
  for (const platform::ShareAce& ace : info.Dacl) {
    config::SharePermission p;
    p.AceType = ace.Type;
    p.AceFlags = ace.Flags;
    p.AccessMask = ace.Mask;
    if (!shares.AccountOfSid(ace.Sid, p.AccountName, p.AccountDomain)) {
      p.AccountName = ace.Sid;
      p.AccountDomain.clear();
    }
    entries.push_back(std::move(p));
  }
  return entries;
}

}  // namespace velandra
