#include "support/whole_runs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/exit_codes.h"
#include "support/app_runs.h"
#include "support/demo_pc_facts.h"
#include "system/os_info.h"
#include "system/place_settings_pc.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_boot.h"
#include "system/platform/text.h"
#include "ui/velandra_sheet.h"

namespace velandra::testing {

namespace sim = platform::sim;

namespace {

constexpr char kStartupFolder[] =
    "C/Documents and Settings/All Users/スタート メニュー/プログラム/スタートアップ";

}  // namespace

const char* const kPlaceGroupNames[config::kPlaceGroupCount] = {
    "DNS suffix search", "LMHOSTS lookup", "computer name and description",
    "domain or workgroup", "logon", "proxy", "network drives", "shares",
    "default printer", "hosts file", "lmhosts file"};

std::vector<std::string> StartupShortcuts(const ScratchPc& pc) {
  // Host names are UTF-8, which on Windows must not be read in the ANSI
  // code page.
  std::vector<std::string> found;
  const std::filesystem::path folder =
      pc.dir() / sim::HostPathFromUtf8(platform::Cp932ToUtf8(kStartupFolder));
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    if (e.path().extension() == ".lnk") found.push_back(e.path().filename().string());
  return found;
}

bool BootUntilSettled(ScratchPc& pc, sim::SimulatedPc& s, std::ostringstream& out,
                      std::vector<int>* exitCodes, int mostBoots) {
  for (int i = 0; i < mostBoots; ++i) {
    if (StartupShortcuts(pc).empty()) return true;
    const bool requested = !s.Machine().Get("session", "exit_request").empty();
    sim::BootResult boot = sim::Boot(s, !requested, StartVelandra, out);
    for (const auto& start : boot.Starts) {
      if (exitCodes) exitCodes->push_back(start.ExitCode);
      else EXPECT_EQ(start.ExitCode, app::kExitSuccess) << start.Spec.Arguments << "\n" << out.str();
    }
  }
  return StartupShortcuts(pc).empty();
}

PlaceComparison ComparePlaceWithPc(sim::SimulatedPc& s, const std::string& place) {
  PlaceComparison c;
  Context context(s.platform(), kDemoIniPath, ReadOsInfo(s.platform().system));
  ui::CVelandraSheet sheet(context);
  EXPECT_TRUE(sheet.LoadAll());
  const int64_t number = sheet.FindPlaceNumber(place);
  const config::Place* found =
      number < 0 ? nullptr : sheet.FindPlace(static_cast<uint32_t>(number));
  EXPECT_TRUE(found) << platform::Cp932ToUtf8(place);
  if (!found) return c;
  for (const auto& a : sheet.Adapters)
    c.adapterKinds.push_back(sheet.FindAdapterSettings(*found, *a)->CompareWithPc(context));
  config::PlaceSettings* record = sheet.FindPlaceSettings(*found);
  EXPECT_TRUE(record);
  if (!record) return c;
  c.placeKind = CompareWithPC(context, *record);
  c.same = record->Same;
  for (size_t g = 0; g < config::kPlaceGroupCount; ++g)
    if (!c.same[g]) c.differing += std::string(kPlaceGroupNames[g]) + "; ";
  return c;
}

std::string MessagesText(sim::SimulatedPc& s) {
  std::string text;
  for (const auto& m : s.Messages()) text += "[" + platform::Cp932ToUtf8(m.Text) + "] ";
  return text;
}

}  // namespace velandra::testing
