#include "system/platform/sim/sim_companion.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "system/platform/registry.h"
#include "system/platform/sim/batch_interpreter.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

}  // namespace

bool RunCompanionStandIn(SimulatedPc& pc, const std::string& path, const std::string& arguments,
                         uint32_t& code) {
  const size_t slash = Cp932FindLast(path, '\\');
  if (!Cp932EqualsNoCase(path.substr(slash + 1), "BRISCO.EXE")) return false;
  code = 0;
  std::string args = arguments;
  while (!args.empty() && IsBlank(args.front())) args.erase(0, 1);
  while (!args.empty() && IsBlank(args.back())) args.pop_back();
  if (!args.empty() && args.front() == '"') {
    const std::vector<std::string> split = SplitProgramArguments(args);
    args = split.empty() ? "" : split.front();
  }
  if (!Cp932ToUpperAscii(args.substr(0, 3)).starts_with("/S:")) {
    pc.LogEvent("companion started without /S:, nothing selected: " + Cp932ToUtf8(path));
    return true;
  }
  const std::string entry = args.substr(3);
  StateFile run;
  std::string error;
  const std::filesystem::path file = pc.directory() / kCompanionRunFile;
  run.Load(file, false, error);
  run.Set("last_run", "entry", Cp932ToUtf8(entry));
  run.Set("last_run", "runs", std::to_string(std::atoi(run.Get("last_run", "runs", "0").c_str()) + 1));
  run.Save(file, "# What the stand-in companion (BRISCO.EXE) was last told to select.");
  pc.LogEvent("companion selected: " + Cp932ToUtf8(entry));

  RegKey key;
  std::string data;
  if (key.Open(pc.platform().registry, Hive::CurrentUser, "Software\\Orvane\\Brisco",
               kKeyQueryValue) != kErrorSuccess ||
      key.QueryString("DataFilePath", 1024, data) != kErrorSuccess)
    return true;
  IProfile& profile = pc.platform().profile;
  int selected = 0;
  const int count = profile.GetInt("BRSCINDEX", "ENTRYCNT", 0, data);
  for (int i = 1; i <= count && i <= 999 && selected == 0; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "PXYNAME%03d", i);
    if (profile.GetString("BRSCINDEX", name, "", 64, data) == entry) selected = i;
  }
  profile.WriteString("BRSCSYSTEM", "SELECT", std::to_string(selected), data);
  return true;
}


}  // namespace velandra::platform::sim
