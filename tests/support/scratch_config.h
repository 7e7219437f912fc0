// A ConfigFile over SimProfile on a scratch Velandra.ini, written by hand:
// the base of the tests of the file's stored forms.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/config_file.h"
#include "support/scratch_dir.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_profile.h"

namespace velandra::testing {

class ScratchConfigTest : public ::testing::Test {
 protected:
  void SetFile(const std::string& data) {
    ASSERT_TRUE(platform::sim::WriteHostFileAtomically(file_, data));
  }
  std::string FileBytes() const {
    std::string data;
    platform::sim::ReadHostFile(file_, data);
    return data;
  }

  ScratchDir dir_;
  std::filesystem::path file_ = dir_.path() / "Velandra.ini";
  platform::sim::SimProfile profile_{platform::sim::IdentityPathMapper()};
  config::ConfigFile config_{profile_, file_.string()};
};

}  // namespace velandra::testing
