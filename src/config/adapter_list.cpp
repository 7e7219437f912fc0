#include "config/adapter_list.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "system/platform/text.h"

namespace velandra::config {

namespace {

bool UsedByAdapter(const AdapterList& adapters, uint32_t number) {
  return std::any_of(adapters.begin(), adapters.end(),
                     [number](const auto& a) { return a->Number == number; });
}

// Keys are case-insensitive in the file, as the profile calls treat them.
bool IsDescriptionKey(const std::string& key) {
  return !key.empty() && (key[0] == 'A' || key[0] == 'a');
}

// The text as the profile gives it back: blanks around it are not kept.
std::string_view Trimmed(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\x1a'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Equal as stored: a description or name with a blank at its end (some
// drivers have one) reads back without it, and must still find its number.
bool SameStored(std::string_view stored, std::string_view text) {
  return Trimmed(stored) == Trimmed(text);
}

}  // namespace

uint32_t AdapterNumber(const ConfigFile& config, const AdapterList& adapters,
                       const std::string& driverDesc, const std::string& connectionName) {
  const std::vector<NumberedEntry> entries = config.ReadNumberedList(kAdapterListSection);
  for (const auto& entry : entries) {
    // Only description entries: a connection name that happens to equal a
    // description must not lend its number to another card.
    if (!IsDescriptionKey(entry.Key) || !SameStored(entry.Value, driverDesc)) continue;
    // Two cards of one model must not share a number (and with it their
    // settings): a number already given goes on to the next entry.
    if (UsedByAdapter(adapters, entry.Number)) continue;
    const std::string nameKey = "C" + std::to_string(entry.Number);
    const std::string name =
        config.ReadString(kAdapterListSection, nameKey, kNoDataAdapterList, 256);
    if (name == kNoDataAdapterList || SameStored(name, connectionName)) return entry.Number;
    // The string read drops one pair of enclosing quotes ('自宅' reads as
    // 自宅); the section keeps the name as it was written.
    for (const auto& stored : entries)
      if (platform::Cp932EqualsNoCase(stored.Key, nameKey)) {
        if (SameStored(stored.Value, connectionName)) return entry.Number;
        break;
      }
  }
  std::vector<uint32_t> used;
  for (const auto& a : adapters) used.push_back(a->Number);
  for (const auto& entry : entries) used.push_back(entry.Number);
  std::sort(used.begin(), used.end());
  uint32_t next = 0;
  for (uint32_t n : used) {
    if (n == next) ++next;
    else if (n > next) break;
  }
  return next;
}

bool WriteAdapterList(const ConfigFile& config, const AdapterList& adapters) {
  bool ok = true;
  for (const auto& a : adapters) {
    const std::string m = std::to_string(a->Number);
    ok &= config.WriteString(kAdapterListSection, "A" + m, a->DriverDesc);
    ok &= config.WriteString(kAdapterListSection, "C" + m, a->ConnectionName);
  }
  return ok;
}

bool WriteLast(const ConfigFile& config, uint32_t lastPlace, uint32_t lastAdapter) {
  bool ok = config.WriteString(kLastSection, "LASTPLACE", std::to_string(lastPlace));
  ok &= config.WriteString(kLastSection, "LASTADAPTER", std::to_string(lastAdapter));
  return ok;
}

}  // namespace velandra::config
