// Copies a UTF-8 source file with every non-ASCII character replaced by its
// CP932 bytes as octal escapes (\203\134). clang has no -fexec-charset for
// CP932, so the fuzzing tree compiles these copies: string literals then
// hold the same bytes as in the gcc builds, and comments stay harmless. A
// character CP932 lacks is copied as it is: gcc refuses it in a literal, so
// it can only stand in a comment.
// Usage: cp932_escape IN OUT
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: cp932_escape IN OUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "cp932_escape: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::cerr << "cp932_escape: this C library has no CP932 conversion\n";
    return 1;
  }
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (size_t pos = 0; pos < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++pos;
      continue;
    }
    const size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    std::string ch = text.substr(pos, n);
    char buf[8];
    char* src = ch.data();
    size_t srcLeft = ch.size();
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) {
      out += ch;
      pos += n;
      continue;
    }
    for (char* b = buf; b < dst; ++b) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\%03o", static_cast<unsigned char>(*b));
      out += esc;
    }
    pos += n;
  }
  iconv_close(cd);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(argv[2]).parent_path(), ec);
  std::ofstream o(argv[2], std::ios::binary | std::ios::trunc);
  o << out;
  if (!o.flush()) {
    std::cerr << "cp932_escape: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
