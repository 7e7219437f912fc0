#include "ui/dlg_share_permission.h"

#include <algorithm>
#include <string_view>

#include "system/platform/text.h"
#include "ui/ordered_list.h"

namespace velandra::ui {

namespace {

// The longest value a stored permission key gives back.
constexpr size_t kMaxStoredValue = 255;

// What no account name or domain can hold (and the stored form's comma).
bool HasRefusedChar(std::string_view text) {
  constexpr std::string_view refused = "\"/\\[]:;|=,+*?<>";
  for (size_t pos = 0; pos < text.size(); pos += platform::Cp932CharLength(text, pos)) {
    if (platform::Cp932CharLength(text, pos) == 2) continue;
    const unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c < 0x20 || c == 0x7F || refused.find(static_cast<char>(c)) != std::string_view::npos)
      return true;
  }
  return false;
}

bool IsAllowEntry(const config::SharePermission& entry) {
  return entry.AceType == config::kAceAllowed;
}

}  // namespace

bool CDlgUserName::OnOK() {
  const char* refusal = nullptr;
  if (UserName.empty()) {
    refusal = kMsgEnterUserName;
  } else {
    const config::SharePermission entry =
        CDlgSharePermission::EntryOf(UserName, config::kAceDenied, config::kShareFullControl);
    // "\name" or "place\" would make a line that no entry is shown under.
    const size_t slash = platform::Cp932Find(UserName, '\\');
    const bool emptyPart = slash == 0 || slash + 1 == UserName.size();
    if (emptyPart || HasRefusedChar(entry.AccountName) || HasRefusedChar(entry.AccountDomain) ||
        config::StoredPermissionValue(entry).size() > kMaxStoredValue)
      refusal = kMsgUserNameUnusable;
  }
  if (!refusal) return true;
  ShowWarning(messages_, refusal);
  Focus = IDC_USER_NAME_TEXT;
  return false;
}

uint32_t CDlgSharePermission::MaskOf(bool full, bool change, bool read) {
  if (full) return config::kShareFullControl;
  if (change && read) return config::kShareChangeAndRead;
  if (change) return config::kShareChange;
  if (read) return config::kShareRead;
  return config::kShareNoAccess;
}

config::SharePermission CDlgSharePermission::EntryOf(const std::string& line, uint8_t aceType,
                                                     uint32_t mask) {
  config::SharePermission entry;
  // A trail byte of a two-byte character may be 0x5C: only a real
  // backslash separates the domain.
  const size_t slash = platform::Cp932Find(line, '\\');
  if (slash == std::string::npos) {
    entry.AccountName = line;
  } else {
    entry.AccountDomain = line.substr(0, slash);
    entry.AccountName = line.substr(slash + 1);
  }
  entry.AceType = aceType;
  entry.AceFlags = 0;
  entry.AccessMask = mask;
  return entry;
}

void CDlgSharePermission::Warn(const char* text) { ShowWarning(messages_, text); }

void CDlgSharePermission::OnInitDialog() {
  Working = list_;
  Users.clear();
  // A share without entries has the system's default, Everyone with full
  // control. The line gets a real entry behind it, so that it shows the
  // same after another line was selected and is kept when users are added.
  if (Working.empty())
    Working.push_back(EntryOf(kEveryone, config::kAceAllowed, config::kShareFullControl));
  for (const config::SharePermission& entry : Working) {
    const std::string name = config::PermissionDisplayName(entry);
    if (std::find(Users.begin(), Users.end(), name) == Users.end()) Users.push_back(name);
  }
  Selected = 0;
  ShowChecks();
}

void CDlgSharePermission::ShowChecks() {
  Checks = {};
  if (!HasSelection()) return;
  for (const config::SharePermission& entry : Working) {
    if (config::PermissionDisplayName(entry) != Users[Selected]) continue;
    const int column = IsAllowEntry(entry) ? 0 : 1;  // allow, deny
    bool full = false, change = false, read = false;
    switch (entry.AccessMask) {
      case config::kShareFullControl: full = change = read = true; break;
      case config::kShareChangeAndRead: change = read = true; break;
      case config::kShareChange: change = true; break;
      case config::kShareRead: read = true; break;
      default: break;
    }
    if (full) Checks[kFullAllow + column] = true;
    if (change) Checks[kChangeAllow + column] = true;
    if (read) Checks[kReadAllow + column] = true;
  }
}

void CDlgSharePermission::OnSelChange() { ShowChecks(); }

void CDlgSharePermission::OnCheckClicked(int clicked) {
  auto& c = Checks;
  switch (clicked) {
    case kFullAllow:
      if (c[kFullAllow]) {
        c[kFullDeny] = c[kChangeDeny] = c[kReadDeny] = false;
        c[kChangeAllow] = c[kReadAllow] = true;
      }
      break;
    case kFullDeny:
      if (c[kFullDeny]) {
        c[kFullAllow] = c[kChangeAllow] = c[kReadAllow] = false;
        c[kChangeDeny] = c[kReadDeny] = true;
      }
      break;
    case kChangeAllow:
    case kChangeDeny:
    case kReadAllow:
    case kReadDeny: {
      c[kFullAllow] = c[kFullDeny] = false;
      // The same level in the other column.
      const int other = clicked % 2 == 0 ? clicked + 1 : clicked - 1;
      if (c[clicked]) c[other] = false;
      break;
    }
    default: return;
  }
  StoreChecks();
}

void CDlgSharePermission::StoreChecks() {
  if (!HasSelection()) return;
  const std::string& line = Users[Selected];
  const uint32_t allow = MaskOf(Checks[kFullAllow], Checks[kChangeAllow], Checks[kReadAllow]);
  const uint32_t deny = MaskOf(Checks[kFullDeny], Checks[kChangeDeny], Checks[kReadDeny]);
  bool hadAllow = false, hadDeny = false;
  for (config::SharePermission& entry : Working) {
    if (config::PermissionDisplayName(entry) != line) continue;
    if (IsAllowEntry(entry)) {
      entry.AccessMask = allow;
      hadAllow = true;
    } else {
      entry.AccessMask = deny;
      hadDeny = true;
    }
  }
  if (!hadAllow && allow != config::kShareNoAccess)
    Working.push_back(EntryOf(line, config::kAceAllowed, allow));
  if (!hadDeny && deny != config::kShareNoAccess)
    Working.push_back(EntryOf(line, config::kAceDenied, deny));
}

void CDlgSharePermission::OnAdd() {
  CDlgUserName dialog(messages_);
  if (!dialogs_.DoModal(dialog)) return;
  const auto same = std::find(Users.begin(), Users.end(), dialog.UserName);
  if (same != Users.end()) {
    Warn(kMsgUserExists);
  } else {
    Working.push_back(EntryOf(dialog.UserName, config::kAceAllowed, config::kShareFullControl));
    Users.push_back(dialog.UserName);
  }
  Selected = static_cast<int>(
      std::find(Users.begin(), Users.end(), dialog.UserName) - Users.begin());
  Focus = IDC_SHARE_PERMISSION_USERS;
  ShowChecks();
}

void CDlgSharePermission::OnDelete() {
  if (!HasSelection()) {
    Warn(kMsgSelectUserToDelete);
    Focus = IDC_SHARE_PERMISSION_USERS;
    return;
  }
  if (Users.size() < 2) {
    Warn(kMsgUserListWouldBeEmpty);
    return;
  }
  // The entries shown under the line, which are those of the user.
  const std::string line = Users[Selected];
  std::erase_if(Working, [&](const config::SharePermission& entry) {
    return config::PermissionDisplayName(entry) == line;
  });
  Users.erase(Users.begin() + Selected);
  if (static_cast<size_t>(Selected) >= Users.size()) Selected = static_cast<int>(Users.size()) - 1;
  ShowChecks();
}

bool CDlgSharePermission::OnOK() {
  const bool hadEntries = !list_.empty();
  list_.clear();
  const bool everyoneFull =
      std::all_of(Working.begin(), Working.end(), [](const config::SharePermission& entry) {
        return entry.AccountName == kEveryone && entry.AccountDomain.empty() &&
               IsAllowEntry(entry) && entry.AccessMask == config::kShareFullControl;
      });
  if (everyoneFull) return true;  // the system's default: no entries
  for (const config::SharePermission& entry : Working)
    if (entry.AccessMask != config::kShareNoAccess) list_.push_back(entry);
  if (list_.empty() && hadEntries) Warn(kMsgNoPermissionSet);
  return true;
}

}  // namespace velandra::ui
