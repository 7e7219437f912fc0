// The simulated command interpreter, and the netsh it runs, on arbitrary
// batch files: the input is the file, run on a fresh demo PC with a few
// arguments. Nothing may crash, and every run must end with its exit code
// logged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_pc.h"
#include "system/platform/sim/batch_interpreter.h"
#include "system/platform/sim/sim_netsh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velandra;
  auto pc = fuzz::FreshPc();
  const std::string path = "C:\\run.bat";
  fuzz::Check(pc->platform().files.WriteFile(
                  path, std::string(reinterpret_cast<const char*>(data), size)),
              "cannot write the batch file");
  platform::sim::SimulatedPc& sim = *pc;
  platform::sim::RunContext context{
      sim, [&sim](const std::vector<std::string>& args, std::string& output) {
        return platform::sim::RunNetsh(sim, args, output);
      }};
  long error = 0;
  platform::sim::RunProgramFile(context, path, "\"" + path + "\"", " one \"two three\" %4 ^&",
                                error);
  fuzz::Check(error == 0, "the batch file did not run: error " + std::to_string(error));
  fuzz::Check(!sim.Events().empty() && sim.Events().back().rfind("batch ", 0) == 0 &&
                  sim.Events().back().find("exit code") != std::string::npos,
              "the run did not end with its exit code: " +
                  (sim.Events().empty() ? std::string("no events") : sim.Events().back()));
  return 0;
}
