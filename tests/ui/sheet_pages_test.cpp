#include "ui/sheet_pages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/demo_pc_facts.h"
#include "support/scratch_dir.h"
#include "system/os_info.h"
#include "system/platform/sim/sim_registry.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {
namespace {

using velandra::testing::kDemoIniPath;
using velandra::testing::ScratchPc;

std::vector<std::string> Titles(const CVelandraSheet& sheet) {
  std::vector<std::string> titles;
  for (const SheetPageEntry& entry : SheetPages(sheet)) titles.push_back(entry.Title);
  return titles;
}

// The demo PC has the companion; without its key it is not installed and
// the Proxy tab goes.
TEST(SheetPages, TabsInOrderWithProxyOnlyWhenTheCompanionIsInstalled) {
  for (bool companion : {true, false}) {
    SCOPED_TRACE(companion ? "companion installed" : "no companion");
    ScratchPc pc;
    auto& sim = pc.Open();
    if (!companion) {
      std::string error;
      ASSERT_TRUE(sim.registry().ImportText(
          "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\Software\\Orvane\\Brisco]\r\n", error))
          << error;
    }
    Context context(sim.platform(), kDemoIniPath, ReadOsInfo(sim.platform().system));
    CVelandraSheet sheet(context);
    ASSERT_TRUE(sheet.LoadAll());
    std::vector<std::string> expected = {"設定", "IP設定", "DNS", "WINS", "Domain"};
    if (companion) expected.push_back("Proxy");
    for (const char* title : {"NetDrive", "その他", "Option", "Version"}) expected.push_back(title);
    EXPECT_EQ(Titles(sheet), expected);
    const std::vector<SheetPageEntry> pages = SheetPages(sheet);
    EXPECT_EQ(pages.front().Page, SheetPage::Setting);
    EXPECT_EQ(pages.back().Page, SheetPage::About);
  }
}

TEST(CPageAbout, ProductLineAndLinksOpenWithTheShell) {
  ScratchPc pc;
  auto& sim = pc.Open();
  CPageAbout about(sim.platform());
  EXPECT_EQ(about.TemplateId(), 132u);
  EXPECT_EQ(about.ProductText(), "Velandra ver2.6.1");
  const std::vector<std::string> addresses = {
      "mailto:support@velandra.example", "https://velandra.example/",
      "https://velandra.example/", "https://velandra.example/"};
  ASSERT_EQ(about.Links().size(), addresses.size());
  for (size_t i = 0; i < addresses.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(about.Links()[i].Address, addresses[i]);
    EXPECT_FALSE(about.Links()[i].Text.empty());
    const size_t before = sim.Events().size();
    about.OnLinkClicked(i);
    ASSERT_EQ(sim.Events().size(), before + 1);
    EXPECT_EQ(sim.Events().back(), "shell opened address (open, show 1): " + addresses[i]);
  }
  const size_t before = sim.Events().size();
  about.OnLinkClicked(addresses.size());  // past the links: nothing
  EXPECT_EQ(sim.Events().size(), before);
  EXPECT_TRUE(sim.Messages().empty());
}

}  // namespace
}  // namespace velandra::ui
