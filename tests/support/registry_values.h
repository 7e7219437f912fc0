// Registry values as the tests write and expect them: a type and its bytes,
// spelled with '|' for every zero byte.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "system/platform/registry.h"
#include "system/platform/text.h"

namespace velandra::testing {

struct Raw {
  uint32_t type = 0;
  std::string data;
  bool operator==(const Raw&) const = default;
};

// Zero bytes as \0, other bytes outside printable ASCII in hex, then the size.
inline void PrintTo(const Raw& raw, std::ostream* os) {
  *os << "type " << raw.type << " \"";
  for (unsigned char c : raw.data) {
    if (c == 0)
      *os << "\\0";
    else if (c < 0x20 || c >= 0x7F)
      *os << "\\x" << "0123456789ABCDEF"[c >> 4] << "0123456789ABCDEF"[c & 15];
    else
      *os << c;
  }
  *os << "\" (" << raw.data.size() << " bytes)";
}

inline Raw Dword(uint32_t v) {
  std::string d;
  for (int i = 0; i < 4; ++i) d.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return {platform::kRegDword, d};
}

// Text with '|' for every zero byte (a '|' that is a CP932 trail byte stays).
inline std::string Zeros(std::string_view bars) {
  std::string out;
  for (size_t i = 0; i < bars.size(); ++i) {
    if (platform::IsCp932LeadByte(static_cast<unsigned char>(bars[i])) && i + 1 < bars.size()) {
      out += bars[i];
      out += bars[++i];
      continue;
    }
    out += bars[i] == '|' ? '\0' : bars[i];
  }
  return out;
}

inline Raw Sz(std::string_view bars) { return {platform::kRegSz, Zeros(bars)}; }
inline Raw MultiSz(std::string_view bars) { return {platform::kRegMultiSz, Zeros(bars)}; }

}  // namespace velandra::testing
