// The private-profile reader and writer on arbitrary file bytes. The input
// is the file, then "\0OPS", then a script of operations: an op byte and
// its NUL-ended fields (section, key, value). Reads must not crash; a write
// that is taken must read back as written, from the cache and from a fresh
// reader of the file on disk; a refused write must leave the file alone;
// in the end the cache and the file agree on every section named.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "fuzz_support.h"
#include "system/platform/sim/sim_profile.h"
#include "system/platform/text.h"

namespace {

using namespace velandra;
using platform::sim::SimProfile;

constexpr char kPath[] = "C:\\fuzz.ini";
// No value can hold a line break: this default is never a stored value.
constexpr char kMissing[] = "\n<missing>";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\x1a'; }
std::string Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return std::string(s);
}
std::string Fold(std::string_view s) { return platform::Cp932ToUpperAscii(Trim(s)); }

// What a stored value reads as: blanks trimmed, one pair of quotes removed.
std::string ReadsAs(std::string_view value) {
  std::string v = Trim(value);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

std::string HostFile() { return (fuzz::ScratchDirectory() / "fuzz.ini").string(); }

std::string ReadAll() {
  std::ifstream in(HostFile(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

platform::sim::PathMapper Mapper() {
  return [](const std::string& path, std::filesystem::path& host) {
    if (path != kPath) return false;
    host = HostFile();
    return true;
  };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto [file, ops] =
      fuzz::SplitAt(std::string_view(reinterpret_cast<const char*>(data), size),
                    std::string_view("\0OPS", 4));
  {
    std::ofstream out(HostFile(), std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
  }
  // Folded (section, key) -> what it must read as; kMissing for deleted.
  std::map<std::pair<std::string, std::string>, std::string> expected;
  std::set<std::string> sections;  // every section an operation named
  int depth = 0;
  {
    SimProfile profile(Mapper());
    fuzz::Script script(ops);
    while (!script.AtEnd()) {
      const uint8_t op = script.Byte();
      const std::string section = script.Field();
      sections.insert(section);
      const std::string key = op % 8 >= 3 && op % 8 <= 4 ? script.Field() : std::string();
      switch (op % 8) {
        case 0:
          profile.GetString(section, script.Field(), "d", 1u + op / 8 * 7, kPath);
          break;
        case 1:
          profile.GetInt(section, script.Field(), -1, kPath);
          break;
        case 2:
          profile.GetSection(section, op / 8 * 3, kPath);
          break;
        case 3: {
          const std::string value = script.Field();
          const std::string before = depth == 0 ? ReadAll() : std::string();
          std::string_view k = key, v = value;
          const bool sound = platform::sim::ProfileWriteProblem(section, &k, &v).empty();
          const bool ok = profile.WriteString(section, key, value, kPath);
          fuzz::Check(ok == sound, "WriteString " + fuzz::Shown(section) + " " + fuzz::Shown(key) +
                                       " gave " + (ok ? "true" : "false") + ": " +
                                       profile.LastError());
          if (!ok) {
            fuzz::Check(depth > 0 || ReadAll() == before, "a refused write changed the file");
            break;
          }
          const std::string got = profile.GetString(section, key, kMissing, 1u << 20, kPath);
          fuzz::Check(got == ReadsAs(value), "wrote " + fuzz::Shown(value) + " to " +
                                                 fuzz::Shown(section) + "/" + fuzz::Shown(key) +
                                                 ", read " + fuzz::Shown(got));
          expected[{Fold(section), Fold(key)}] = ReadsAs(value);
          break;
        }
        case 4:
          if (profile.DeleteKey(section, key, kPath)) {
            fuzz::Check(profile.GetString(section, key, kMissing, 1u << 20, kPath) == kMissing,
                        "a deleted key " + fuzz::Shown(key) + " still reads");
            expected[{Fold(section), Fold(key)}] = kMissing;
          }
          break;
        case 5:
          if (profile.DeleteSection(section, kPath)) {
            fuzz::Check(profile.GetSection(section, 1u << 20, kPath) == std::string(1, '\0'),
                        "a deleted section " + fuzz::Shown(section) + " still has lines");
            for (auto& [where, value] : expected)
              if (where.first == Fold(section)) value = kMissing;
          }
          break;
        case 6:
          profile.BeginBatch();
          ++depth;
          break;
        case 7:
          if (depth > 0) {
            --depth;
            profile.EndBatch();
          }
          break;
      }
    }
    while (depth-- > 0) profile.EndBatch();
    // The cache and a reader of the file see the same sections.
    SimProfile fresh(Mapper());
    for (const std::string& section : sections)
      fuzz::Check(profile.GetSection(section, 1u << 20, kPath) ==
                      fresh.GetSection(section, 1u << 20, kPath),
                  "the section " + fuzz::Shown(section) + " reads otherwise from the file");
  }
  // What was written reads back from the file itself.
  SimProfile fresh(Mapper());
  for (const auto& [where, value] : expected) {
    // Names are looked up folded, so the folded spelling finds them.
    const std::string got = fresh.GetString(where.first, where.second, kMissing, 1u << 20, kPath);
    fuzz::Check(got == value, "after reopening, " + fuzz::Shown(where.first) + "/" +
                                  fuzz::Shown(where.second) + " reads " + fuzz::Shown(got) +
                                  " instead of " + fuzz::Shown(value));
  }
  return 0;
}
