#include "system/platform/win32/win32_shares.h"

#include "system/platform/win32/ansi_text.h"
#include "system/platform/win32/handles.h"
#include <lmerr.h>
#include <lmshare.h>
#include <sddl.h>

namespace velandra::platform::win32 {

namespace {

// The string form of a binary SID; empty when it cannot be converted.
std::string SidToString(PSID sid) {
  LPSTR raw = nullptr;
  if (!sid || !::ConvertSidToStringSidA(sid, &raw)) return {};
  LocalMemory<char> owner(raw);
  return raw;
}

// A binary SID from its string form, freed with LocalFree.
LocalMemory<void> StringToSid(const std::string& text) {
  PSID sid = nullptr;
  if (text.find('\0') != std::string::npos || !::ConvertStringSidToSidA(text.c_str(), &sid))
    return LocalMemory<void>();
  return LocalMemory<void>(sid);
}

// A text for a wide field: false when it does not convert, holds a zero
// byte or is longer than the 256 units the share information allows.
bool ToWide(const std::string& text, std::wstring& wide) {
  return text.find('\0') == std::string::npos && AnsiToWide(text, wide) && wide.size() <= 256;
}

}  // namespace

void ReadDescriptorDacl(PSECURITY_DESCRIPTOR sd, ShareInfo& info) {
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  if (!sd || !::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted) || !present || !dacl)
    return;
  ACL_SIZE_INFORMATION size{};
  if (!::GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) return;
  info.HasDacl = true;
  for (DWORD i = 0; i < size.AceCount; ++i) {
    LPVOID raw = nullptr;
    if (!::GetAce(dacl, i, &raw)) continue;
    auto* header = static_cast<ACE_HEADER*>(raw);
    // Allowed and denied entries share one layout: header, mask, SID.
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)
      continue;
    auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
    ShareAce out;
    out.Type = header->AceType;
    out.Flags = header->AceFlags;
    out.Mask = ace->Mask;
    out.Sid = SidToString(&ace->SidStart);
    info.Dacl.push_back(std::move(out));
  }
}

long ShareDescriptor::Build(const std::vector<ShareAce>& aces) {
  std::vector<LocalMemory<void>> sids;
  size_t aclSize = sizeof(ACL);
  for (const ShareAce& ace : aces) {
    LocalMemory<void> sid = StringToSid(ace.Sid);
    if (!sid.get()) return ERROR_INVALID_SID;
    aclSize += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sid.get());
    sids.push_back(std::move(sid));
  }
  // An ACL's size is a WORD; a longer list would be cut by InitializeAcl.
  if (aclSize > 65532) return ERROR_ALLOTTED_SPACE_EXCEEDED;
  acl_.assign((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
  PACL acl = reinterpret_cast<PACL>(acl_.data());
  if (!::InitializeSecurityDescriptor(&sd_, SECURITY_DESCRIPTOR_REVISION) ||
      !::InitializeAcl(acl, static_cast<DWORD>(acl_.size() * sizeof(DWORD)), ACL_REVISION))
    return static_cast<long>(::GetLastError());
  // The entries' flags are not given: a share's entries are its own, none
  // is inherited.
  for (size_t i = 0; i < aces.size(); ++i) {
    const ShareAce& ace = aces[i];
    BOOL ok = ace.Type == ACCESS_ALLOWED_ACE_TYPE
                  ? ::AddAccessAllowedAce(acl, ACL_REVISION, ace.Mask, sids[i].get())
                  : ::AddAccessDeniedAce(acl, ACL_REVISION, ace.Mask, sids[i].get());
    if (!ok) return static_cast<long>(::GetLastError());
  }
  if (!::SetSecurityDescriptorDacl(&sd_, TRUE, acl, FALSE))
    return static_cast<long>(::GetLastError());
  return 0;
}

long Win32Shares::EnumShares(std::vector<ShareInfo>& shares) {
  std::vector<ShareInfo> out;
  DWORD resume = 0;
  NET_API_STATUS status;
  do {
    NetApiBuffer<BYTE> buffer;
    DWORD read = 0, total = 0;
    status = ::NetShareEnum(nullptr, 502, buffer.put(), MAX_PREFERRED_LENGTH, &read, &total,
                            &resume);
    if (status != NERR_Success && status != ERROR_MORE_DATA) return static_cast<long>(status);
    const auto* items = reinterpret_cast<const SHARE_INFO_502*>(buffer.get());
    for (DWORD i = 0; items && i < read; ++i) {
      const SHARE_INFO_502& s = items[i];
      ShareInfo info;
      info.Name = s.shi502_netname ? WideToAnsi(s.shi502_netname) : "";
      info.Type = s.shi502_type;
      info.Remark = s.shi502_remark ? WideToAnsi(s.shi502_remark) : "";
      info.Permissions = s.shi502_permissions;
      info.MaxUses = static_cast<int32_t>(s.shi502_max_uses);
      info.CurrentUses = s.shi502_current_uses;
      info.Path = s.shi502_path ? WideToAnsi(s.shi502_path) : "";
      info.Password = s.shi502_passwd ? WideToAnsi(s.shi502_passwd) : "";
      ReadDescriptorDacl(s.shi502_security_descriptor, info);
      out.push_back(std::move(info));
    }
  } while (status == ERROR_MORE_DATA);
  shares = std::move(out);
  return 0;
}

long Win32Shares::AddShare(const ShareInfo& share) {
  std::wstring name, remark, path, password;
  if (!ToWide(share.Name, name) || !ToWide(share.Remark, remark) || !ToWide(share.Path, path) ||
      !ToWide(share.Password, password))
    return ERROR_INVALID_PARAMETER;

  ShareDescriptor sd;
  if (share.HasDacl) {
    if (long error = sd.Build(share.Dacl)) return error;
  }
  SHARE_INFO_502 info{};
  info.shi502_netname = name.data();
  info.shi502_type = share.Type;
  info.shi502_remark = remark.data();
  info.shi502_permissions = share.Permissions;
  info.shi502_max_uses = static_cast<DWORD>(share.MaxUses);
  info.shi502_current_uses = share.CurrentUses;
  info.shi502_path = path.data();
  info.shi502_passwd = password.data();
  info.shi502_reserved = 0;
  info.shi502_security_descriptor = share.HasDacl ? sd.get() : nullptr;
  DWORD parmErr = 0;
  return static_cast<long>(
      ::NetShareAdd(nullptr, 502, reinterpret_cast<LPBYTE>(&info), &parmErr));
}

long Win32Shares::DeleteShare(const std::string& name) {
  std::wstring wide;
  if (!ToWide(name, wide)) return ERROR_INVALID_PARAMETER;
  return static_cast<long>(::NetShareDel(nullptr, wide.data(), 0));
}

bool Win32Shares::AccountOfSid(const std::string& sid, std::string& name,
                                   std::string& domain) {
  LocalMemory<void> binary = StringToSid(sid);
  if (!binary.get()) return false;
  char n[256], d[256];
  DWORD nSize = sizeof n, dSize = sizeof d;
  SID_NAME_USE use;
  if (!::LookupAccountSidA(nullptr, binary.get(), n, &nSize, d, &dSize, &use)) return false;
  name = n;
  domain = d;
  return true;
}

bool Win32Shares::SidOfAccount(const std::string& account, std::string& sid) {
  if (account.find('\0') != std::string::npos) return false;
  BYTE buffer[1024];
  char domain[256];
  DWORD sidSize = sizeof buffer, domainSize = sizeof domain;
  SID_NAME_USE use;
  if (!::LookupAccountNameA(nullptr, account.c_str(), buffer, &sidSize, domain, &domainSize,
                            &use))
    return false;
  std::string text = SidToString(buffer);
  if (text.empty()) return false;
  sid = text;
  return true;
}

}  // namespace velandra::platform::win32
