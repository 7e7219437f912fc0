// IShares over netapi32's share calls and advapi32's SID and ACL calls.
#pragma once
#include "system/platform/win32/win_api.h"

#include "system/platform/shares.h"

namespace velandra::platform::win32 {

// An absolute security descriptor whose DACL holds a share's entries in
// their order (a denied entry after an allowed one stays there), without
// their flags. Not
// copyable: the descriptor points into the object's own list buffer.
class ShareDescriptor {
 public:
  ShareDescriptor() = default;
  ShareDescriptor(const ShareDescriptor&) = delete;
  ShareDescriptor& operator=(const ShareDescriptor&) = delete;
  // 0, or the Win32 error: ERROR_INVALID_SID for an entry whose SID string
  // does not convert, ERROR_ALLOTTED_SPACE_EXCEEDED past 64 KB.
  long Build(const std::vector<ShareAce>& aces);
  PSECURITY_DESCRIPTOR get() { return &sd_; }

 private:
  SECURITY_DESCRIPTOR sd_{};
  std::vector<DWORD> acl_;
};

// The allowed and denied entries of a descriptor's DACL into `info`
// (HasDacl and Dacl); other entry kinds are skipped. No descriptor, no DACL
// or a null DACL leave HasDacl false.
void ReadDescriptorDacl(PSECURITY_DESCRIPTOR sd, ShareInfo& info);

class Win32Shares : public IShares {
 public:
  long EnumShares(std::vector<ShareInfo>& shares) override;
  long AddShare(const ShareInfo& share) override;
  long DeleteShare(const std::string& name) override;
  bool AccountOfSid(const std::string& sid, std::string& name,
                        std::string& domain) override;
  bool SidOfAccount(const std::string& account, std::string& sid) override;
};

}  // namespace velandra::platform::win32
