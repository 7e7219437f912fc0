// CP932 text helpers. The system's text is CP932 bytes; conversions happen
// only at the edges (a UTF-8 terminal or host file name, UTF-16 wide calls).
#pragma once
#include <string>
#include <string_view>

namespace velandra::platform {

// A blank between words of a command or a state file line: space or tab.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// First byte of a two-byte CP932 character. Its trail byte may be any of
// 0x40-0xFC, '\\' (0x5C) and ASCII letters included, so byte-wise scans for
// separators or case folding must step over it.
inline bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the character starting at text[pos]: 2 for a lead byte followed
// by a byte, else 1.
inline size_t Cp932CharLength(std::string_view text, size_t pos) {
  return (IsCp932LeadByte(static_cast<unsigned char>(text[pos])) &&
          pos + 1 < text.size())
             ? 2
             : 1;
}

// Position of the first single-byte `c` at a character boundary, or npos.
size_t Cp932Find(std::string_view text, char c, size_t from = 0);
// Position of the last single-byte `c` at a character boundary, or npos.
size_t Cp932FindLast(std::string_view text, char c);

// The longest prefix of at most `maxBytes` bytes that does not end inside
// a two-byte character.
std::string Cp932Cut(std::string_view text, size_t maxBytes);

// ASCII letters folded to upper case; two-byte characters left alone.
std::string Cp932ToUpperAscii(std::string_view text);
// Equal when they differ only in the case of ASCII letters (the rule the
// profile and registry use for names).
bool Cp932EqualsNoCase(std::string_view a, std::string_view b);
// Ordering under the same rule; <0, 0, >0.
int Cp932CompareNoCase(std::string_view a, std::string_view b);

// Conversions. Bytes that do not convert become '?' and `ok` (when given)
// is set to false.
std::string Cp932ToUtf8(std::string_view cp932, bool* ok = nullptr);
std::string Utf8ToCp932(std::string_view utf8, bool* ok = nullptr);
std::u16string Cp932ToUtf16(std::string_view cp932, bool* ok = nullptr);
std::string Utf16ToCp932(std::u16string_view utf16, bool* ok = nullptr);

}  // namespace velandra::platform
