#include "system/platform/text.h"

#include <cstdint>

#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#else
#include <errno.h>
#include <iconv.h>
#endif

namespace velandra::platform {

size_t Cp932Find(std::string_view text, char c, size_t from) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (pos >= from && text[pos] == c) return pos;
    pos += Cp932CharLength(text, pos);
  }
  return std::string_view::npos;
}

size_t Cp932FindLast(std::string_view text, char c) {
  size_t found = std::string_view::npos;
  for (size_t pos = 0; pos < text.size(); pos += Cp932CharLength(text, pos))
    if (text[pos] == c) found = pos;
  return found;
}

std::string Cp932Cut(std::string_view text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    size_t n = Cp932CharLength(text, end);
    if (end + n > maxBytes) break;
    end += n;
  }
  return std::string(text.substr(0, end));
}

std::string Cp932ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (size_t pos = 0; pos < out.size();) {
    size_t n = Cp932CharLength(out, pos);
    if (n == 1 && out[pos] >= 'a' && out[pos] <= 'z')
      out[pos] = static_cast<char>(out[pos] - 'a' + 'A');
    pos += n;
  }
  return out;
}

int Cp932CompareNoCase(std::string_view a, std::string_view b) {
  std::string ua = Cp932ToUpperAscii(a), ub = Cp932ToUpperAscii(b);
  int c = ua.compare(ub);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool Cp932EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && Cp932CompareNoCase(a, b) == 0;
}

#ifdef _WIN32

namespace {
std::wstring ToWide(UINT cp, std::string_view in, bool* ok) {
  if (in.empty()) return {};
  int n = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, in.data(),
                              static_cast<int>(in.size()), nullptr, 0);
  if (n == 0) {  // invalid bytes: convert leniently and report
    if (ok) *ok = false;
    n = MultiByteToWideChar(cp, 0, in.data(), static_cast<int>(in.size()),
                            nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(cp, 0, in.data(), static_cast<int>(in.size()),
                        out.data(), n);
    return out;
  }
  std::wstring out(n, L'\0');
  MultiByteToWideChar(cp, 0, in.data(), static_cast<int>(in.size()),
                      out.data(), n);
  return out;
}

std::string FromWide(UINT cp, std::wstring_view in, bool* ok) {
  if (in.empty()) return {};
  BOOL lossy = FALSE;
  BOOL* lossyArg = cp == CP_UTF8 ? nullptr : &lossy;
  // No look-alike substitutes (e for é): a character CP932 lacks is a loss.
  DWORD flags = cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(cp, flags, in.data(), static_cast<int>(in.size()),
                              nullptr, 0, nullptr, lossyArg);
  std::string out(n, '\0');
  WideCharToMultiByte(cp, flags, in.data(), static_cast<int>(in.size()),
                      out.data(), n, nullptr, lossyArg);
  if (lossy && ok) *ok = false;
  return out;
}
}  // namespace

std::string Cp932ToUtf8(std::string_view cp932, bool* ok) {
  if (ok) *ok = true;
  return FromWide(CP_UTF8, ToWide(932, cp932, ok), ok);
}
std::string Utf8ToCp932(std::string_view utf8, bool* ok) {
  if (ok) *ok = true;
  return FromWide(932, ToWide(CP_UTF8, utf8, ok), ok);
}
std::u16string Cp932ToUtf16(std::string_view cp932, bool* ok) {
  if (ok) *ok = true;
  std::wstring w = ToWide(932, cp932, ok);
  return std::u16string(w.begin(), w.end());
}
std::string Utf16ToCp932(std::u16string_view utf16, bool* ok) {
  if (ok) *ok = true;
  std::wstring w(utf16.begin(), utf16.end());
  return FromWide(932, w, ok);
}

#else

namespace {
// iconv with replacement: a byte sequence that does not convert becomes '?'
// (one per input byte) and the conversion goes on.
std::string Convert(const char* to, const char* from, std::string_view in,
                    size_t unit, std::string_view replacement, bool* ok) {
  if (ok) *ok = true;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (ok) *ok = false;
    return std::string(in);
  }
  std::string out;
  std::string buf(4 * in.size() + 16, '\0');
  char* inp = const_cast<char*>(in.data());
  size_t inleft = in.size();
  while (inleft > 0) {
    char* outp = buf.data();
    size_t outleft = buf.size();
    size_t rc = iconv(cd, &inp, &inleft, &outp, &outleft);
    out.append(buf.data(), buf.size() - outleft);
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      if (ok) *ok = false;
      out.append(replacement);  // EILSEQ or EINVAL: skip one unit
      size_t skip = inleft < unit ? inleft : unit;
      inp += skip;
      inleft -= skip;
    }
  }
  iconv_close(cd);
  return out;
}
}  // namespace

std::string Cp932ToUtf8(std::string_view cp932, bool* ok) {
  return Convert("UTF-8", "CP932", cp932, 1, "?", ok);
}
std::string Utf8ToCp932(std::string_view utf8, bool* ok) {
  return Convert("CP932", "UTF-8", utf8, 1, "?", ok);
}
std::u16string Cp932ToUtf16(std::string_view cp932, bool* ok) {
  std::string bytes = Convert("UTF-16LE", "CP932", cp932, 1, std::string_view("?\0", 2), ok);
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return out;
}
std::string Utf16ToCp932(std::u16string_view utf16, bool* ok) {
  std::string bytes;
  bytes.reserve(utf16.size() * 2);
  for (char16_t c : utf16) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return Convert("CP932", "UTF-16LE", bytes, 2, "?", ok);
}

#endif

}  // namespace velandra::platform
