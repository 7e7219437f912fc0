// A scratch directory for one test, removed when the test ends.
#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::testing {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A demo PC written into a scratch directory. Edit its files before Open;
// Open fails the test when the PC does not load. Text arguments are CP932,
// like every string of the program (the literals of the tests are).
class ScratchPc {
 public:
  explicit ScratchPc(platform::sim::DemoVariant variant = platform::sim::DemoVariant::WindowsXp);
  const std::filesystem::path& dir() const { return dir_.path(); }
  // Sets "key = value" in [section] of pc.ini.
  void SetMachine(const std::string& section, const std::string& key, const std::string& value);
  void WriteFile(const std::string& relative, const std::string& data);
  std::string ReadFile(const std::string& relative) const;
  // Opens (once) and returns the PC; messages are not printed.
  platform::sim::SimulatedPc& Open();

 private:
  ScratchDir dir_;
  std::unique_ptr<platform::sim::SimulatedPc> pc_;
};

}  // namespace velandra::testing
