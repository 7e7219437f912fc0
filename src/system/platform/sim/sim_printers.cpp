#include "system/platform/sim/sim_printers.h"

#include <optional>

#include "system/platform/sim/simulated_pc.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {

namespace {

constexpr char kPrintersHeader[] =
    "# Printers of the simulated PC: [printers] one \"printer = name\" line per\n"
    "# installed printer in enumeration order, and \"default = name\" for the\n"
    "# default printer (none without it).\n";
constexpr char kPrintersSection[] = "printers";
constexpr char kPrinterKey[] = "printer";
constexpr char kDefaultKey[] = "default";
// GetDefaultPrinterA's buffer, as the system passes it.
constexpr size_t kDefaultBuffer = 256;

bool Load(SimulatedPc& pc, StateFile& state, long& error) {
  std::string why;
  if (state.Load(pc.directory() / kPrintersFile, false, why)) return true;
  pc.LogEvent("printers refused: " + why);
  error = kErrorInvalidData;
  return false;
}

}  // namespace

bool SimPrinters::EnumPrinterNames(std::vector<std::string>& names, long& error) {
  StateFile state;
  if (!Load(pc_, state, error)) return false;
  if (const StateFile::Section* s = state.Find(kPrintersSection))
    for (const auto& e : s->Entries)
      if (Cp932EqualsNoCase(e.Key, kPrinterKey)) names.push_back(Utf8ToCp932(e.Value));
  return true;
}

bool SimPrinters::GetDefault(std::string& name, long& error) {
  StateFile state;
  if (!Load(pc_, state, error)) return false;
  const StateFile::Entry* e = state.Find(kPrintersSection, kDefaultKey);
  if (!e || e->Value.empty()) {
    error = kErrorFileNotFound;
    return false;
  }
  std::string cp932 = Utf8ToCp932(e->Value);
  if (cp932.size() >= kDefaultBuffer) {
    error = kErrorInsufficientBuffer;
    return false;
  }
  name = cp932;
  return true;
}

bool SimPrinters::SetDefault(const std::string& name, long& error) {
  StateFile state;
  if (!Load(pc_, state, error)) return false;
  std::string utf8 = Cp932ToUtf8(name);
  const StateFile::Section* s = state.Find(kPrintersSection);
  std::optional<std::string> found;  // as printers.ini spells it
  if (s)
    for (const auto& e : s->Entries)
      if (Cp932EqualsNoCase(e.Key, kPrinterKey) && Cp932EqualsNoCase(e.Value, utf8)) found = e.Value;
  if (!found) {
    pc_.LogEvent("default printer not set: no printer " + utf8);
    error = kErrorInvalidPrinterName;
    return false;
  }
  state.Set(kPrintersSection, kDefaultKey, *found);
  std::string why;
  if (!state.Save(pc_.directory() / kPrintersFile, kPrintersHeader, &why)) {
    pc_.LogEvent("default printer not saved: " + why);
    error = kErrorWriteFault;
    return false;
  }
  pc_.LogEvent("default printer set to " + utf8);
  return true;
}

}  // namespace velandra::platform::sim
