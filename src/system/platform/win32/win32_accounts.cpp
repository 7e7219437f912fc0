#include "system/platform/win32/win32_accounts.h"

#include "system/platform/win32/ansi_text.h"
#include "system/platform/win32/handles.h"
#include <lmaccess.h>
#include <lmerr.h>

namespace velandra::platform::win32 {

long Win32Accounts::GetLocalGroups(const std::string& user,
                                   std::vector<std::string>& groups) {
  // A name that does not convert, or holds a zero byte, would be asked
  // about as some other account.
  std::wstring wideUser;
  if (user.find('\0') != std::string::npos || !AnsiToWide(user, wideUser))
    return ERROR_INVALID_PARAMETER;

  NetApiBuffer<BYTE> buffer;
  DWORD read = 0, total = 0;
  NET_API_STATUS status = ::NetUserGetLocalGroups(
      nullptr, wideUser.c_str(), 0, LG_INCLUDE_INDIRECT, buffer.put(),
      MAX_PREFERRED_LENGTH, &read, &total);
  if (status != NERR_Success) return static_cast<long>(status);

  const auto* entries =
      reinterpret_cast<const LOCALGROUP_USERS_INFO_0*>(buffer.get());
  std::vector<std::string> names;
  names.reserve(read);
  for (DWORD i = 0; i < read; ++i)
    if (entries[i].lgrui0_name) names.push_back(WideToAnsi(entries[i].lgrui0_name));
  groups = std::move(names);
  return NERR_Success;
}

long Win32Accounts::QueryDisplayUsers(uint32_t maxEntries,
                                      std::vector<std::string>& names) {
  NetApiBuffer<BYTE> buffer;
  DWORD returned = 0;
  NET_API_STATUS status = ::NetQueryDisplayInformation(
      nullptr, 1, 0, maxEntries, MAX_PREFERRED_LENGTH, &returned,
      reinterpret_cast<PVOID*>(buffer.put()));
  if (status != NERR_Success && status != ERROR_MORE_DATA) return static_cast<long>(status);
  const auto* users = reinterpret_cast<const NET_DISPLAY_USER*>(buffer.get());
  std::vector<std::string> out;
  for (DWORD i = 0; users && i < returned; ++i)
    if (users[i].usri1_name) out.push_back(WideToAnsi(users[i].usri1_name));
  names = std::move(out);
  return static_cast<long>(status);
}

}  // namespace velandra::platform::win32
