// Whether the tests run under Wine rather than on Windows.
#pragma once
#ifdef _WIN32
#include "system/platform/win32/win_api.h"

namespace velandra::testing {

inline bool IsWine() {
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace velandra::testing
#endif
