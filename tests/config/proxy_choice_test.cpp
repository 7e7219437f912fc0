#include "config/proxy_choice.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"

namespace velandra::config {
namespace {

using velandra::testing::kDemoIniFile;
using velandra::testing::kDemoIniPath;
using velandra::testing::ScratchPc;

// A companion with two entries of its own, the first selected in it.
ProxyChoice Companion() {
  ProxyChoice c;
  c.Installed = true;
  c.InstallDir = "C:\\Brisco\\";
  c.Version = 410;
  c.ProxyNames = {"本社プロキシ", "自宅 光回線", kNoProxyEntry};
  c.Selected = 1;
  return c;
}

class ProxyChoiceFile : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& sim = pc_.Open();
    context_ = std::make_unique<Context>(sim.platform(), kDemoIniPath,
                                         ReadOsInfo(sim.platform().system));
  }
  void SetIni(const std::string& data) { pc_.WriteFile(kDemoIniFile, data); }
  std::string Ini() const { return pc_.ReadFile(kDemoIniFile); }
  const ConfigFile& Config() const { return context_->Config(); }

  ScratchPc pc_;
  std::unique_ptr<Context> context_;
};

// Sections written by hand from the key table; reading them and writing the
// record back gives the same keys.
TEST_F(ProxyChoiceFile, StoredFormRoundTrip) {
  struct Row {
    const char* proxyName;
    const char* disable;
    bool disabled;
  } rows[] = {
      {"本社プロキシ", "FALSE", false},
      {"自宅 光回線", "TRUE", true},
      {"プロキシ無", "FALSE", false},
      // Trail byte 0x5C in 表 and ソ: no backslash to the profile.
      {"表示ソフト", "TRUE", true},
      // An entry the companion no longer has is kept as stored.
      {"消えた登録", "FALSE", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.proxyName);
    const std::string section =
        std::string("ProxyName=") + row.proxyName + "\r\nDisableProxy=" + row.disable + "\r\n";
    SetIni("[P1]\r\n" + section);
    ProxyChoice c = Companion();
    c.ReadFromConfig(Config(), "P1");
    EXPECT_EQ(c.ProxyName, row.proxyName);
    EXPECT_EQ(c.DisableProxy, row.disabled);
    ASSERT_TRUE(c.WriteToConfig(Config(), "P2"));
    EXPECT_EQ(Ini(), "[P1]\r\n" + section + "[P2]\r\n" + section);
  }
}

TEST_F(ProxyChoiceFile, DisableProxyIsSetOnlyByExactTrue) {
  for (const char* value : {"true", "True", "1", "", "FALSE", "NO DATA", " TRUE x"}) {
    SCOPED_TRACE(value);
    SetIni(std::string("[P1]\r\nProxyName=本社プロキシ\r\nDisableProxy=") + value + "\r\n");
    ProxyChoice c = Companion();
    c.DisableProxy = true;
    c.ReadFromConfig(Config(), "P1");
    EXPECT_FALSE(c.DisableProxy);
  }
}

// Without a ProxyName key the companion's own selection is taken, and a
// DisableProxy key alone is not read.
TEST_F(ProxyChoiceFile, MissingProxyNameFollowsTheCompanionsSelection) {
  struct Row {
    int32_t selected;
    const char* expected;
  } rows[] = {
      {1, "本社プロキシ"}, {2, "自宅 光回線"}, {3, kNoProxyEntry},
      {0, kNoProxyEntry},  {4, kNoProxyEntry}, {-1, kNoProxyEntry},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.selected);
    for (const char* ini : {"", "[P1]\r\nDisableProxy=TRUE\r\n", "[P1]\r\nProxyName=NO DATA\r\n"}) {
      SetIni(ini);
      ProxyChoice c = Companion();
      c.Selected = row.selected;
      c.ProxyName = "前の値";
      c.DisableProxy = true;
      c.ReadFromConfig(Config(), "P1");
      EXPECT_EQ(c.ProxyName, row.expected);
      EXPECT_FALSE(c.DisableProxy);
    }
  }
}

// An absent companion neither reads nor writes the keys: a place keeps the
// entry it stored while the companion was installed.
TEST_F(ProxyChoiceFile, NotInstalledLeavesTheKeysAlone) {
  const std::string ini = "[P1]\r\nProxyName=本社プロキシ\r\nDisableProxy=TRUE\r\n";
  SetIni(ini);
  ProxyChoice absent;
  absent.ReadFromConfig(Config(), "P1");
  EXPECT_EQ(absent, ProxyChoice{});
  absent.ProxyName = "別の値";
  EXPECT_TRUE(absent.WriteToConfig(Config(), "P1"));
  absent.SelectDefault();
  EXPECT_EQ(absent.ProxyName, "別の値");
  EXPECT_EQ(Ini(), ini);
}

// The profile cuts a value at 255 bytes; the cut never leaves half of a
// two-byte character.
TEST_F(ProxyChoiceFile, OverLongProxyNameIsCutAtACharacter) {
  std::string longName;
  for (int i = 0; i < 150; ++i) longName += "表";  // 300 bytes
  SetIni("[P1]\r\nProxyName=" + longName + "\r\nDisableProxy=FALSE\r\n");
  ProxyChoice c = Companion();
  c.ReadFromConfig(Config(), "P1");
  EXPECT_EQ(c.ProxyName, longName.substr(0, 254));
}

TEST(ProxyChoiceCommand, NoProxyEntryIsPassedAsNone) {
  ProxyChoice c = Companion();
  c.InstallDir = "C:\\Program Files\\Orvane\\Brisco\\";
  EXPECT_EQ(c.CompanionProgram(), "C:\\Program Files\\Orvane\\Brisco\\BRISCO.EXE");
  struct Row {
    const char* name;
    const char* entry;
  } rows[] = {{kNoProxyEntry, "NONE"},
              {"自宅 光回線", "自宅 光回線"},
              {"プロキシ無 ", "プロキシ無 "},
              {"NONE", "NONE"},
              {"", ""}};
  for (const Row& row : rows) {
    c.ProxyName = row.name;
    EXPECT_EQ(c.CompanionEntry(), row.entry) << row.name;
  }
}

}  // namespace
}  // namespace velandra::config
