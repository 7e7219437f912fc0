#include "system/platform/win32/handles.h"
#include <winspool.h>

#include <vector>

#include "system/platform/win32/win32_printers.h"

namespace velandra::platform::win32 {

namespace {

// GetDefaultPrinterA's buffer, as the system passes it.
constexpr DWORD kDefaultBuffer = 256;

}  // namespace

bool Win32Printers::EnumPrinterNames(std::vector<std::string>& names, long& error) {
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  if (::EnumPrintersA(flags, nullptr, 1, nullptr, 0, &needed, &count)) return true;  // none
  DWORD first = ::GetLastError();
  if (first != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
    error = static_cast<long>(first);
    return false;
  }
  // PRINTER_INFO_1A holds pointers; a vector of them keeps the buffer aligned.
  std::vector<PRINTER_INFO_1A> buffer(needed / sizeof(PRINTER_INFO_1A) + 1);
  if (!::EnumPrintersA(flags, nullptr, 1, reinterpret_cast<LPBYTE>(buffer.data()),
                       static_cast<DWORD>(buffer.size() * sizeof(PRINTER_INFO_1A)), &needed,
                       &count)) {
    error = static_cast<long>(::GetLastError());
    return false;
  }
  for (DWORD i = 0; i < count; ++i)
    names.push_back(buffer[i].pName ? buffer[i].pName : "");
  return true;
}

bool Win32Printers::GetDefault(std::string& name, long& error) {
  char buffer[kDefaultBuffer];
  DWORD size = kDefaultBuffer;
  if (!::GetDefaultPrinterA(buffer, &size)) {
    error = static_cast<long>(::GetLastError());
    return false;
  }
  name = buffer;
  return true;
}

bool Win32Printers::SetDefault(const std::string& name, long& error) {
  // Cut at a zero byte it would name another printer.
  if (name.find('\0') != std::string::npos) {
    error = ERROR_INVALID_PARAMETER;
    return false;
  }
  if (!::SetDefaultPrinterA(name.c_str())) {
    error = static_cast<long>(::GetLastError());
    return false;
  }
  return true;
}

}  // namespace velandra::platform::win32
