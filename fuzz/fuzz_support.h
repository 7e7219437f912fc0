// What the fuzz targets share: a scratch directory that lives as long as the
// process, a check that stops the run with a message, and a reader of the
// NUL-separated fields the op-script inputs are made of.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace velandra::fuzz {

// A fresh directory, made once per process and removed at its exit: in
// $TMPDIR when set, else in /dev/shm where there is one (files in memory
// make the targets that copy a PC per input several times faster).
inline const std::filesystem::path& ScratchDirectory() {
  static const std::filesystem::path dir = [] {
    std::error_code ec;
    const std::filesystem::path base =
        !std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm", ec)
            ? std::filesystem::path("/dev/shm")
            : std::filesystem::temp_directory_path();
    std::string pattern = (base / "velandra-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
      std::perror("velandra fuzz: mkdtemp");
      std::abort();
    }
    return std::filesystem::path(pattern);
  }();
  static const struct Remover {
    ~Remover() {
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    }
  } remover;
  return dir;
}

// A broken property: printed, then abort() so that libFuzzer keeps the input.
[[noreturn]] inline void Broken(const std::string& what) {
  std::fprintf(stderr, "velandra fuzz: %s\n", what.c_str());
  std::abort();
}
inline void Check(bool holds, const std::string& what) {
  if (!holds) Broken(what);
}

// Bytes shown as C escapes, for messages.
inline std::string Shown(std::string_view bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return out + "\"";
}

// Reads an input as a script: one byte, then fields each ended by a NUL
// (the last one by the end of the input).
class Script {
 public:
  explicit Script(std::string_view data) : data_(data) {}
  bool AtEnd() const { return pos_ >= data_.size(); }
  uint8_t Byte() { return AtEnd() ? 0 : static_cast<uint8_t>(data_[pos_++]); }
  std::string Field() {
    if (AtEnd()) return {};
    const size_t end = std::min(data_.find('\0', pos_), data_.size());
    std::string field(data_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return field;
  }

 private:
  std::string_view data_;
  size_t pos_ = 0;
};

// Splits an input at the first `mark`: what comes before, what after (empty
// when the mark is missing).
inline std::pair<std::string_view, std::string_view> SplitAt(std::string_view data,
                                                              std::string_view mark) {
  const size_t at = data.find(mark);
  if (at == std::string_view::npos) return {data, {}};
  return {data.substr(0, at), data.substr(at + mark.size())};
}

}  // namespace velandra::fuzz
