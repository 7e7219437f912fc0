#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <system_error>

#include "system/platform/sim/host_files.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"

namespace velandra::testing {

ScratchDir::ScratchDir() {
  static std::atomic<unsigned> counter{0};
  // (<chrono> cannot be compiled for CP932 text: it holds a "µs" literal.)
  static const unsigned stamp = std::random_device{}();
  path_ = std::filesystem::temp_directory_path() /
          ("velandra-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

ScratchPc::ScratchPc(platform::sim::DemoVariant variant) {
  std::string error;
  std::filesystem::remove(dir_.path());
  EXPECT_TRUE(platform::sim::WriteDemoPc(dir_.path(), variant, error)) << error;
}

void ScratchPc::SetMachine(const std::string& section, const std::string& key,
                           const std::string& value) {
  platform::sim::StateFile file;
  std::string error;
  ASSERT_TRUE(file.Load(dir() / platform::sim::kMachineFile, true, error)) << error;
  file.Set(section, key, platform::Cp932ToUtf8(value));
  ASSERT_TRUE(file.Save(dir() / platform::sim::kMachineFile, ""));
}

void ScratchPc::WriteFile(const std::string& relative, const std::string& data) {
  ASSERT_TRUE(platform::sim::WriteHostFileAtomically(
      dir() / platform::sim::HostPathFromUtf8(platform::Cp932ToUtf8(relative)), data));
}

std::string ScratchPc::ReadFile(const std::string& relative) const {
  std::string data;
  platform::sim::ReadHostFile(dir() / platform::sim::HostPathFromUtf8(platform::Cp932ToUtf8(relative)), data);
  return data;
}

platform::sim::SimulatedPc& ScratchPc::Open() {
  if (!pc_) {
    std::string error;
    pc_ = platform::sim::SimulatedPc::Open(dir(), error);
    if (!pc_) ADD_FAILURE() << "the simulated PC did not open: " << error;
    pc_->SetConsole(nullptr);
  }
  return *pc_;
}

}  // namespace velandra::testing
