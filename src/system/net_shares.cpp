#include "system/net_shares.h"

#include "system/platform/text.h"
#include "system/platform/win_types.h"
#include "system/share_permissions.h"

namespace velandra {

namespace {

constexpr size_t kMaxText = 255;

bool IsPlaceShareType(uint32_t type) {
  return type == config::kShareDisk || type == config::kSharePrintQueue ||
         type == config::kShareDevice;
}

}  // namespace

long ReadSharesFromPC(platform::IShares& shares, config::NetShareList& list) {
  std::vector<platform::ShareInfo> found;
  if (long status = shares.EnumShares(found); status != 0) return status;
  for (const platform::ShareInfo& info : found) {
    if (!IsPlaceShareType(info.Type)) continue;
    config::NetShare share;
    share.ShareName = platform::Cp932Cut(info.Name, kMaxText);
    share.ShareType = static_cast<int32_t>(info.Type);
    share.Remark = platform::Cp932Cut(info.Remark, kMaxText);
    share.Permissions = static_cast<int32_t>(info.Permissions);
    share.MaxUses = info.MaxUses;
    share.CurrentUses = static_cast<int32_t>(info.CurrentUses);
    share.SharePath = platform::Cp932Cut(info.Path, kMaxText);
    share.Password = platform::Cp932Cut(info.Password, kMaxText);
    share.Access = ReadShareDacl(shares, info);
    list.push_back(std::move(share));
  }
  return 0;
}

bool DeletePCShares(platform::IShares& shares) {
  std::vector<platform::ShareInfo> found;
  if (shares.EnumShares(found) != 0) return false;
  bool ok = true;
  for (const platform::ShareInfo& info : found)
    if (IsPlaceShareType(info.Type)) ok = shares.DeleteShare(info.Name) == 0 && ok;
  return ok;
}

long CreateShare(platform::IShares& shares, const config::NetShare& share,
                 std::string* message) {
  if (std::string refused = config::CheckShare(share); !refused.empty()) {
    if (message) *message = refused;
    return platform::kErrorInvalidParameter;
  }
  platform::ShareInfo info;
  info.Name = share.ShareName;
  info.Type = static_cast<uint32_t>(share.ShareType);
  info.Remark = share.Remark;
  info.Permissions = static_cast<uint32_t>(share.Permissions);
  info.MaxUses = share.MaxUses;
  info.CurrentUses = static_cast<uint32_t>(share.CurrentUses);
  info.Path = share.SharePath;
  info.Password = share.Password;
  // No entries: no descriptor, and the system's default permissions apply.
  info.HasDacl = !share.Access.empty();
  std::string unresolved;
  if (!BuildShareDacl(shares, share.Access, info.Dacl, &unresolved)) {
    if (message)
      *message = "共有 " + share.ShareName + " のアクセス許可のユーザー " + unresolved +
                 " が見つからないため、共有を作成しませんでした。";
    return platform::kShareNoneMapped;
  }
  long status = shares.AddShare(info);
  if (status != 0 && message)
    *message = "共有 " + share.ShareName + " を作成できませんでした。(エラー " +
               std::to_string(status) + ")";
  return status;
}

bool CreateShares(platform::IShares& shares, const config::NetShareList& list,
                  std::string* messages) {
  bool ok = true;
  for (const config::NetShare& share : list) {
    std::string message;
    if (CreateShare(shares, share, &message) != 0) {
      ok = false;
      if (messages) *messages += message + "\n";
    }
  }
  return ok;
}

}  // namespace velandra
