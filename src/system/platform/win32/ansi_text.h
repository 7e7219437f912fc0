// Conversions at the wide (UTF-16) Windows calls. The system's text is in
// the ANSI code page (932 on the PCs it serves).
#pragma once
#include <string>

#include "system/platform/win32/handles.h"

namespace velandra::platform::win32 {

// A text with a NUL in it would be cut short by the zero-terminated calls.
inline bool HasZero(const std::string& text) { return text.find('\0') != std::string::npos; }

// False when `text` holds bytes that are no characters of the code page.
inline bool AnsiToWide(const std::string& text, std::wstring& wide) {
  if (text.empty()) {
    wide.clear();
    return true;
  }
  int n = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                                static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return false;
  std::wstring out(static_cast<size_t>(n), L'\0');
  if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                            static_cast<int>(text.size()), out.data(), n) != n)
    return false;
  wide = std::move(out);
  return true;
}

// A zero-terminated wide text; no best-fit substitutes, so a name never
// turns into another name.
inline std::string WideToAnsi(const wchar_t* text) {
  int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr,
                                nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

}  // namespace velandra::platform::win32
