#include "system/platform/win32/win32_domain.h"

#include "system/platform/win32/win_api.h"
// ntsecapi.h needs NTSTATUS from winternl.h's family; lm.h brings lmjoin.h.
#include <ntsecapi.h>
#include <lm.h>

#include "system/platform/win32/ansi_text.h"

namespace velandra::platform::win32 {

namespace {

// Each text goes into a buffer of 256 UTF-16 units with its terminating
// zero. A text that holds a zero byte, does not convert, or does not fit is
// refused rather than cut, so that no other name or password is passed.
bool ToWide(const std::string& text, std::wstring& wide) {
  return text.find('\0') == std::string::npos && AnsiToWide(text, wide) && wide.size() < 256;
}

bool ToWide(const std::optional<std::string>& text, std::wstring& wide, LPCWSTR& pointer) {
  pointer = nullptr;
  if (!text) return true;
  if (!ToWide(*text, wide)) return false;
  pointer = wide.c_str();
  return true;
}

class PolicyHandle {
 public:
  ~PolicyHandle() {
    if (handle) ::LsaClose(handle);
  }
  LSA_HANDLE handle = nullptr;
};

}  // namespace

long Win32Domain::QueryPrimaryDomain(uint32_t access, PrimaryDomain& domain) {
  LSA_OBJECT_ATTRIBUTES attributes;
  ::ZeroMemory(&attributes, sizeof attributes);
  PolicyHandle policy;
  NTSTATUS status = ::LsaOpenPolicy(nullptr, &attributes, access, &policy.handle);
  if (status != 0) return static_cast<long>(::LsaNtStatusToWinError(status));
  PVOID buffer = nullptr;
  status = ::LsaQueryInformationPolicy(policy.handle, PolicyPrimaryDomainInformation, &buffer);
  if (status != 0) return static_cast<long>(::LsaNtStatusToWinError(status));
  const auto* info = static_cast<const POLICY_PRIMARY_DOMAIN_INFO*>(buffer);
  // The name is counted in bytes and need not end with a zero.
  std::wstring name;
  if (info->Name.Buffer)
    name.assign(info->Name.Buffer, info->Name.Length / sizeof(WCHAR));
  PrimaryDomain out;
  out.Name = WideToAnsi(name.c_str());
  out.HasSid = info->Sid != nullptr;
  ::LsaFreeMemory(buffer);
  domain = std::move(out);
  return ERROR_SUCCESS;
}

long Win32Domain::JoinDomain(const std::string& domain, const std::optional<std::string>& account,
                             const std::optional<std::string>& password, uint32_t options) {
  std::wstring wideDomain, wideAccount, widePassword;
  LPCWSTR accountPointer = nullptr, passwordPointer = nullptr;
  if (!ToWide(domain, wideDomain) || !ToWide(account, wideAccount, accountPointer) ||
      !ToWide(password, widePassword, passwordPointer))
    return ERROR_INVALID_PARAMETER;
  const NET_API_STATUS status = ::NetJoinDomain(nullptr, wideDomain.c_str(), nullptr,
                                                accountPointer, passwordPointer, options);
  ::SecureZeroMemory(widePassword.data(), widePassword.size() * sizeof(wchar_t));
  return static_cast<long>(status);
}

long Win32Domain::UnjoinDomain(uint32_t options) {
  return static_cast<long>(::NetUnjoinDomain(nullptr, nullptr, nullptr, options));
}

}  // namespace velandra::platform::win32
