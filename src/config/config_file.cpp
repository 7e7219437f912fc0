#include "config/config_file.h"

#include <cstdio>
#include <limits>

namespace velandra::config {

ConfigFile::ConfigFile(platform::IProfile& profile, std::string path)
    : profile_(profile), path_(std::move(path)) {}

std::string ConfigFile::ReadString(std::string_view section, std::string_view key,
                                   std::string_view def, uint32_t size) const {
  return profile_.GetString(section, key, def, size, path_);
}

int ConfigFile::ReadInt(std::string_view section, std::string_view key, int def) const {
  return profile_.GetInt(section, key, def, path_);
}

bool ConfigFile::ReadBool(std::string_view section, std::string_view key, BoolRule rule,
                          uint32_t size) const {
  if (rule == BoolRule::TrueOnly) return ReadString(section, key, "FALSE", size) == "TRUE";
  return ReadString(section, key, "TRUE", size) != "FALSE";
}

std::optional<bool> ConfigFile::ReadStrictBool(std::string_view section, std::string_view key,
                                               uint32_t size) const {
  std::string v = ReadString(section, key, "", size);
  if (v == "TRUE") return true;
  if (v == "FALSE") return false;
  return std::nullopt;
}

std::vector<NumberedEntry> ConfigFile::ReadNumberedList(std::string_view section) const {
  std::string data = profile_.GetSection(section, kSectionBufferSize, path_);
  std::vector<NumberedEntry> entries;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t end = data.find('\0', pos);
    if (end == std::string::npos) end = data.size();
    if (end == pos) break;  // the final zero byte
    std::string_view entry(data.data() + pos, end - pos);
    pos = end + 1;
    size_t eq = entry.find('=');
    // A line without '=' is no entry of the list.
    if (eq == std::string_view::npos) continue;
    std::string_view key = entry.substr(0, eq);
    entries.push_back({NumberOfListKey(key), std::string(key), std::string(entry.substr(eq + 1))});
  }
  return entries;
}

bool ConfigFile::WriteString(std::string_view section, std::string_view key,
                             std::string_view value) const {
  return profile_.WriteString(section, key, value, path_);
}

bool ConfigFile::WriteInt(std::string_view section, std::string_view key, int value) const {
  return WriteString(section, key, std::to_string(value));
}

bool ConfigFile::WriteBool(std::string_view section, std::string_view key, bool value) const {
  return WriteString(section, key, value ? "TRUE" : "FALSE");
}

bool ConfigFile::DeleteKey(std::string_view section, std::string_view key) const {
  return profile_.DeleteKey(section, key, path_);
}

bool ConfigFile::DeleteSection(std::string_view section) const {
  return profile_.DeleteSection(section, path_);
}

uint32_t NumberOfListKey(std::string_view key) {
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  size_t i = 0;
  while (i < key.size() && !isDigit(key[i])) ++i;  // non-digits are spaces
  uint64_t n = 0;
  for (; i < key.size() && isDigit(key[i]); ++i) {
    n = n * 10 + static_cast<uint64_t>(key[i] - '0');
    // Too many digits: the largest number, as strtoul gives it.
    if (n > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
  }
  return static_cast<uint32_t>(n);
}

void SplitCommaList(std::string_view text, std::vector<std::string>& list) {
  if (text.empty()) return;
  size_t pos = 0;
  while (true) {
    size_t comma = text.find(',', pos);  // 0x2C is never a trail byte
    if (comma == std::string_view::npos) {
      list.emplace_back(text.substr(pos));
      return;
    }
    list.emplace_back(text.substr(pos, comma - pos));
    pos = comma + 1;
  }
}

std::string JoinCommaList(const std::vector<std::string>& list) {
  std::string out;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i) out += ',';
    out += list[i];
  }
  return out;
}

std::string EncodeStoredPassword(std::string_view password, size_t capacity) {
  if (password.size() * 3 >= capacity) return {};
  std::string out;
  out.reserve(password.size() * 3);
  for (char c : password) {
    char group[4];
    std::snprintf(group, sizeof group, "%03u",
                  static_cast<unsigned>(~static_cast<unsigned char>(c) & 0xFFu));
    out.append(group, 3);
  }
  return out;
}

std::string DecodeStoredPassword(std::string_view text, size_t capacity) {
  std::string out;
  for (size_t pos = 0; pos + 3 <= text.size() && out.size() + 1 < capacity; pos += 3) {
    // Decimal conversion of the group as atoi does it: blanks, a sign, digits.
    std::string_view g = text.substr(pos, 3);
    size_t i = 0;
    while (i < g.size() && (g[i] == ' ' || g[i] == '\t')) ++i;
    bool negative = false;
    if (i < g.size() && (g[i] == '+' || g[i] == '-')) negative = g[i++] == '-';
    unsigned n = 0;
    for (; i < g.size() && g[i] >= '0' && g[i] <= '9'; ++i) n = n * 10 + (g[i] - '0');
    if (negative) n = 0u - n;
    unsigned char b = static_cast<unsigned char>(~n & 0xFFu);
    // A damaged value must not put a NUL into the password: it ends there,
    // as it would in a C string.
    if (b == 0) break;
    out.push_back(static_cast<char>(b));
  }
  return out;
}

}  // namespace velandra::config
