#include "system/platform/win32/ansi_text.h"
#include "system/platform/win32/handles.h"
#include <winnetwk.h>

#include "system/platform/win32/win32_network_drives.h"

namespace velandra::platform::win32 {

namespace {

struct EnumHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::WNetCloseEnum(h); }
};
using EnumHandle = UniqueResource<EnumHandleTraits>;

// The buffer the system gives WNetEnumResourceA for one entry.
constexpr DWORD kEntryBuffer = 1024;

// A text Windows would read only up to a zero byte names something else.
}  // namespace

long Win32NetworkDrives::EnumConnected(std::vector<DriveConnection>& connections) {
  EnumHandle handle;
  DWORD result = ::WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, nullptr, handle.put());
  if (result != NO_ERROR) return static_cast<long>(result);
  // NETRESOURCEA holds pointers, so the buffer is aligned for them.
  alignas(NETRESOURCEA) unsigned char buffer[kEntryBuffer];
  for (;;) {
    DWORD count = 1, size = kEntryBuffer;
    if (::WNetEnumResourceA(handle.get(), &count, buffer, &size) != NO_ERROR || count == 0)
      break;
    const auto* r = reinterpret_cast<const NETRESOURCEA*>(buffer);
    connections.push_back({r->lpLocalName ? r->lpLocalName : "",
                           r->lpRemoteName ? r->lpRemoteName : ""});
  }
  return NO_ERROR;
}

long Win32NetworkDrives::CancelConnection(const std::string& localName) {
  if (HasZero(localName)) return ERROR_INVALID_PARAMETER;
  return static_cast<long>(
      ::WNetCancelConnection2A(localName.c_str(), CONNECT_UPDATE_PROFILE, TRUE));
}

long Win32NetworkDrives::AddConnection(const std::string& localName,
                                       const std::string& remoteName, const std::string& user,
                                       const std::string& password) {
  if (HasZero(localName) || HasZero(remoteName) || HasZero(user) || HasZero(password))
    return ERROR_INVALID_PARAMETER;
  std::string local = localName, remote = remoteName;
  NETRESOURCEA resource{};
  resource.dwScope = RESOURCE_GLOBALNET;
  resource.dwType = RESOURCETYPE_DISK;
  resource.lpLocalName = local.empty() ? nullptr : local.data();
  resource.lpRemoteName = remote.data();
  resource.lpProvider = nullptr;
  if (user.empty())
    return static_cast<long>(
        ::WNetAddConnection2A(&resource, nullptr, nullptr, CONNECT_UPDATE_PROFILE));
  return static_cast<long>(::WNetAddConnection2A(&resource, password.c_str(), user.c_str(),
                                                 CONNECT_UPDATE_PROFILE));
}

}  // namespace velandra::platform::win32
