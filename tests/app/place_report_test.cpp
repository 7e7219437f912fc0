#include "app/place_report.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "system/os_info.h"

namespace velandra::app {
namespace {

using platform::sim::DemoVariant;

// The demo's places against its PC, on both Windows versions; the Windows
// 2000 PC has an interface metric of its own, which no demo place asks for.
TEST(PlaceReport, DemoPlacesAgainstTheDemoPc) {
  for (DemoVariant variant : {DemoVariant::WindowsXp, DemoVariant::Windows2000}) {
    const bool xp = variant == DemoVariant::WindowsXp;
    SCOPED_TRACE(xp ? "xp" : "2000");
    testing::ScratchPc pc(variant);
    auto& sim = pc.Open();
    Context context(sim.platform(), "C:\\Program Files\\Velandra\\Velandra.ini",
                    ReadOsInfo(sim.platform().system));
    ui::CVelandraSheet sheet(context);
    ASSERT_TRUE(sheet.LoadAll());
    const std::string text = DescribePlaces(sheet);
    const std::string metric = xp ? "" : "インターフェイス メトリック, ";
    for (const std::string& line :
         {std::string("  P0 標準  (前回の場所)\n"),
          std::string("場所 標準 とPCの比較:\n  ローカル エリア接続: ChangeKind 0 PCと同じ\n"),
          "場所 本社 とPCの比較:\n  ローカル エリア接続: ChangeKind 1 再起動なしで変更できる / "
          "違い: IPアドレス, ゲートウェイ, " + metric +
              "DNSサーバー, DNSサフィックス, サフィックスの登録, WINS\n"
              "  ワイヤレス ネットワーク接続: ChangeKind 0 PCと同じ\n",
          "  ワイヤレス ネットワーク接続: ChangeKind 1 再起動なしで変更できる / 違い: " + metric +
              "DNSサーバー, DNSサフィックス\n"})
      EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_TRUE(sim.Messages().empty());
  }
}

}  // namespace
}  // namespace velandra::app
