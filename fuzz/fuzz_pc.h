// A demo PC for the targets that run batch files: written once per process,
// then copied afresh for every input, so that no input sees what an earlier
// one changed (a crash then reproduces from its input alone).
#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::fuzz {

inline std::unique_ptr<platform::sim::SimulatedPc> FreshPc() {
  namespace fs = std::filesystem;
  static const fs::path pristine = [] {
    const fs::path dir = ScratchDirectory() / "pristine";
    std::string error;
    Check(platform::sim::WriteDemoPc(dir, platform::sim::DemoVariant::WindowsXp, error),
          "cannot write the demo PC: " + error);
    return dir;
  }();
  const fs::path dir = ScratchDirectory() / "pc";
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::copy(pristine, dir, fs::copy_options::recursive, ec);
  Check(!ec, "cannot copy the demo PC: " + ec.message());
  std::string error;
  auto pc = platform::sim::SimulatedPc::Open(dir, error);
  Check(pc != nullptr, "cannot open the demo PC: " + error);
  pc->SetConsole(nullptr);
  return pc;
}

}  // namespace velandra::fuzz
