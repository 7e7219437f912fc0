// The registry file reader on arbitrary bytes. What it takes, written out
// again by the writer, must read back to the same keys and values; what it
// refuses it refuses with a message.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz_support.h"
#include "system/platform/sim/regedit4.h"
#include "system/platform/text.h"

namespace {

using namespace velandra::platform;
using sim::Regedit4Entry;

// Keys by hive and path as spelled; values by name, the last one set
// counting. Deletions only remove what came before them.
using Value = std::pair<uint32_t, std::string>;
using Keys = std::map<std::pair<int, std::string>, std::map<std::string, Value>>;

Keys Collect(const std::vector<Regedit4Entry>& entries) {
  Keys keys;
  for (const Regedit4Entry& e : entries) {
    const std::pair<int, std::string> where{static_cast<int>(e.hive), e.path};
    switch (e.kind) {
      case Regedit4Entry::Kind::Key:
        keys[where];
        break;
      case Regedit4Entry::Kind::DeleteKey:
        keys.erase(where);
        break;
      case Regedit4Entry::Kind::Value:
        keys[where][e.name] = {e.type, e.data};
        break;
      case Regedit4Entry::Kind::DeleteValue:
        keys[where].erase(e.name);
        break;
    }
  }
  return keys;
}

// Whether the writer can hold the key: every path component and value
// name passes the writer's own checks.
bool Writable(const std::string& path, const std::map<std::string, Value>& values) {
  if (!path.empty()) {
    size_t start = 0;
    for (;;) {
      size_t next = start;
      while (next < path.size() && path[next] != '\\')
        next += Cp932CharLength(path, next);
      if (!sim::IsRegedit4KeyName(path.substr(start, next - start))) return false;
      if (next >= path.size()) break;
      start = next + 1;
    }
  }
  for (const auto& [name, value] : values)
    if (!sim::IsRegedit4ValueName(name)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<Regedit4Entry> entries;
  std::string error;
  if (!sim::ParseRegedit4(bytes, "fuzz.reg", entries, error)) {
    velandra::fuzz::Check(!error.empty() && entries.empty(), "a refusal without a message");
    return 0;
  }
  const Keys keys = Collect(entries);
  std::vector<sim::Regedit4Key> out;
  Keys kept;
  for (const auto& [where, values] : keys) {
    if (!Writable(where.second, values)) continue;
    kept[where] = values;
    sim::Regedit4Key key{static_cast<Hive>(where.first), where.second, {}};
    for (const auto& [name, value] : values) key.values.push_back({name, value.first, value.second});
    out.push_back(std::move(key));
  }
  const std::string written = sim::WriteRegedit4(out);
  std::vector<Regedit4Entry> again;
  velandra::fuzz::Check(sim::ParseRegedit4(written, "written.reg", again, error),
                        "the writer's file does not read: " + error + "\n" + written);
  Keys back = Collect(again);
  // A hive key without values gets no line of its own.
  for (const auto& [where, values] : kept)
    if (where.second.empty() && values.empty()) back.try_emplace(where);
  velandra::fuzz::Check(back == kept, "the written file reads back otherwise:\n" + written);
  return 0;
}
