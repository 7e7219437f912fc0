#include "system/network_drives.h"

#include <gtest/gtest.h>

#include <string>

#include "support/drive_records.h"
#include "support/scratch_dir.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra {
namespace {

using config::NetworkDrive;
using config::NetworkDriveList;
using velandra::testing::ScratchPc;
using velandra::testing::Drive;
using velandra::testing::Dump;

NetworkDriveList ReadPc(platform::sim::SimulatedPc& pc) {
  NetworkDriveList list;
  ReadDrivesFromPC(list, pc.platform().drives);
  return list;
}

// The demo PC's connections: the one without a drive letter is left out.
constexpr char kDemoDrives[] = "[Z:|\\\\fs01\\総務||][Y:|\\\\fs01\\ソフト開発||]";

TEST(ReadDrivesFromPC, DemoPcDrivesWithLettersOnly) {
  ScratchPc pc;
  EXPECT_EQ(Dump(ReadPc(pc.Open())), kDemoDrives);
}

TEST(ReadDrivesFromPC, NoStateFileIsNoDriveAndBadFileLeavesTheList) {
  struct Row {
    const char* name;
    const char* drives;  // drives.ini; null: no file
    const char* dump;
  } rows[] = {
      {"no_file", nullptr, "[Q:|\\\\old\\kept||]"},
      {"malformed", "this is no ini line\n", "[Q:|\\\\old\\kept||]"},
      {"one_drive", "[connections]\nM: = \\\\s\\m\n", "[Q:|\\\\old\\kept||][M:|\\\\s\\m||]"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    std::filesystem::remove(pc.dir() / "drives.ini");
    if (row.drives) pc.WriteFile("drives.ini", row.drives);
    NetworkDriveList list;
    list.Drives.push_back(Drive("Q:", "\\\\old\\kept"));
    ReadDrivesFromPC(list, pc.Open().platform().drives);
    EXPECT_EQ(Dump(list), row.dump);
  }
}

TEST(ConnectDrive, DisconnectThenConnectReadsBackEqual) {
  ScratchPc pc;
  auto& sim = pc.Open();
  NetworkDriveList place;
  place.Drives = {Drive("Z:", "\\\\fs01\\経理", "山田", "秘密pw"), Drive("X:", "\\\\nas-home\\写真")};
  DisconnectAllDrives(sim.platform().drives);
  EXPECT_EQ(Dump(ReadPc(sim)), "");
  for (const auto& d : place.Drives) EXPECT_EQ(ConnectDrive(d, sim.platform()), 0);
  // The PC reports no user or password.
  EXPECT_EQ(Dump(ReadPc(sim)), "[Z:|\\\\fs01\\経理||][X:|\\\\nas-home\\写真||]");
  // The password is recorded nowhere in clear.
  const std::string secret = platform::Cp932ToUtf8("秘密pw");
  EXPECT_EQ(pc.ReadFile("drives.ini").find(secret), std::string::npos);
  EXPECT_EQ(pc.ReadFile("events.log").find(secret), std::string::npos);
  EXPECT_NE(pc.ReadFile("drives.ini").find(platform::Cp932ToUtf8("山田")), std::string::npos);
  EXPECT_TRUE(sim.Messages().empty());
}

TEST(ConnectDrive, ReplacesTheConnectionOfTheSameLetter) {
  ScratchPc pc;
  auto& sim = pc.Open();
  EXPECT_EQ(ConnectDrive(Drive("Z:", "\\\\fs01\\public"), sim.platform()), 0);
  EXPECT_EQ(Dump(ReadPc(sim)), "[Y:|\\\\fs01\\ソフト開発||][Z:|\\\\fs01\\public||]");
}

TEST(ConnectDrive, ResultOfThePcIsReturned) {
  struct Row {
    const char* name;
    const char* drives;  // drives.ini
    const char* remote;
    long result;
  } rows[] = {
      {"unknown_share", "[network]\n\\\\fs01\\a = share\n", "\\\\fs01\\b", platform::kErrorBadNetName},
      {"unknown_server", "[network]\n\\\\fs01\\a = share\n", "\\\\fs99\\a", platform::kErrorBadNetPath},
      {"listed_share_any_case", "[network]\n\\\\fs01\\a = share\n", "\\\\FS01\\A", 0},
      {"no_network_section_accepts", "", "\\\\anywhere\\x", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    pc.WriteFile("drives.ini", row.drives);
    auto& sim = pc.Open();
    EXPECT_EQ(ConnectDrive(Drive("M:", row.remote), sim.platform()), row.result);
    EXPECT_EQ(ReadPc(sim).Drives.size(), row.result == 0 ? 1u : 0u);
  }
}

TEST(ConnectDrive, BadInputIsRefusedWithAMessageAndChangesNothing) {
  struct Row {
    const char* name;
    NetworkDrive drive;
    long result;
    const char* message;
  } rows[] = {
      {"digit_letter", Drive("1:", "\\\\fs01\\a"), platform::kErrorBadDevice,
       "ドライブ名 1: が正しくありません（A: から Z: まで）"},
      {"two_letters", Drive("AA:", "\\\\fs01\\a"), platform::kErrorBadDevice,
       "ドライブ名 AA: が正しくありません（A: から Z: まで）"},
      {"after_z", Drive("[:", "\\\\fs01\\a"), platform::kErrorBadDevice,
       "ドライブ名 [: が正しくありません（A: から Z: まで）"},
      {"no_colon", Drive("Z", "\\\\fs01\\a"), platform::kErrorBadDevice,
       "ドライブ名 Z が正しくありません（A: から Z: まで）"},
      {"empty_letter", Drive("", "\\\\fs01\\a"), platform::kErrorBadDevice,
       "ドライブ名  が正しくありません（A: から Z: まで）"},
      {"not_unc", Drive("Z:", "fs01\\a"), platform::kErrorBadNetName,
       "ネットワークドライブ Z: の接続先 fs01\\a は \\\\サーバー\\共有名 の形式ではありません"},
      {"server_only", Drive("Z:", "\\\\fs01"), platform::kErrorBadNetName,
       "ネットワークドライブ Z: の接続先 \\\\fs01 は \\\\サーバー\\共有名 の形式ではありません"},
      {"no_server", Drive("Z:", "\\\\\\share"), platform::kErrorBadNetName,
       "ネットワークドライブ Z: の接続先 \\\\\\share は \\\\サーバー\\共有名 の形式ではありません"},
      {"empty_share", Drive("Z:", "\\\\fs01\\"), platform::kErrorBadNetName,
       "ネットワークドライブ Z: の接続先 \\\\fs01\\ は \\\\サーバー\\共有名 の形式ではありません"},
      {"slashes", Drive("Z:", "//fs01/a"), platform::kErrorBadNetName,
       "ネットワークドライブ Z: の接続先 //fs01/a は \\\\サーバー\\共有名 の形式ではありません"},
      {"drive_path", Drive("Z:", "C:\\share"), platform::kErrorBadNetName,
       "ネットワークドライブ Z: の接続先 C:\\share は \\\\サーバー\\共有名 の形式ではありません"},
      {"long_remote", Drive("Z:", "\\\\fs01\\" + std::string(260, 'x')),
       platform::kErrorInvalidParameter, "ネットワークドライブ Z: の設定が長すぎます"},
      {"long_user", Drive("Z:", "\\\\fs01\\a", std::string(257, 'u')),
       platform::kErrorInvalidParameter, "ネットワークドライブ Z: の設定が長すぎます"},
      {"long_password", Drive("Z:", "\\\\fs01\\a", "u", std::string(257, 'p')),
       platform::kErrorInvalidParameter, "ネットワークドライブ Z: の設定が長すぎます"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    auto& sim = pc.Open();
    const std::string before = pc.ReadFile("drives.ini");
    EXPECT_EQ(ConnectDrive(row.drive, sim.platform()), row.result);
    ASSERT_EQ(sim.Messages().size(), 1u);
    EXPECT_EQ(sim.Messages()[0].Text, row.message);
    EXPECT_EQ(sim.Messages()[0].Caption, "Velandra");
    EXPECT_EQ(sim.Messages()[0].Icon, platform::MessageIcon::Warning);
    EXPECT_EQ(pc.ReadFile("drives.ini"), before);
  }
}

TEST(CheckDriveConnection, JapaneseShareWithTrailByteIsUnc) {
  // ソ is 0x83 0x5C: "\\fs01\ソ" has one separator, not two.
  EXPECT_EQ(CheckDriveConnection(Drive("Y:", "\\\\fs01\\ソフト開発")), std::nullopt);
  EXPECT_EQ(CheckDriveConnection(Drive("y:", "\\\\fs01\\ソ\\下")), std::nullopt);
  // A server name that ends in ソ still has an empty share after it.
  EXPECT_NE(CheckDriveConnection(Drive("Y:", "\\\\ソ\\")), std::nullopt);
}

TEST(Printers, DemoPcListAndDefault) {
  ScratchPc pc;
  auto& p = pc.Open().platform();
  EXPECT_EQ(ListPrinters(p.printers),
            (std::vector<std::string>{"Canon LBP-1310", "経理部 EPSON LP-9000C",
                                      "\\\\fs01\\営業部カラー"}));
  EXPECT_EQ(GetDefaultPrinter(p.printers), "Canon LBP-1310");
}

TEST(Printers, NoStateFileIsNoPrinter) {
  ScratchPc pc;
  std::filesystem::remove(pc.dir() / "printers.ini");
  auto& p = pc.Open().platform();
  EXPECT_TRUE(ListPrinters(p.printers).empty());
  EXPECT_EQ(GetDefaultPrinter(p.printers), "");
}

TEST(Printers, SetDefaultThenReadBack) {
  struct Row {
    const char* name;
    std::string printer;
    bool ok;
    const char* after;  // the default read back
    bool warned;
  } rows[] = {
      {"installed", "経理部 EPSON LP-9000C", true, "経理部 EPSON LP-9000C", false},
      {"network_printer", "\\\\fs01\\営業部カラー", true, "\\\\fs01\\営業部カラー", false},
      {"any_case_keeps_installed_name", "canon lbp-1310", true, "Canon LBP-1310", false},
      {"not_installed", "存在しないプリンタ", false, "Canon LBP-1310", false},
      {"empty_asks_nothing", "", true, "Canon LBP-1310", false},
      {"over_long", std::string(256, 'P'), false, "Canon LBP-1310", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    auto& sim = pc.Open();
    EXPECT_EQ(SetDefaultPrinter(row.printer, sim.platform()), row.ok);
    EXPECT_EQ(GetDefaultPrinter(sim.platform().printers), row.after);
    ASSERT_EQ(sim.Messages().size(), row.warned ? 1u : 0u);
    if (row.warned) {
      EXPECT_EQ(sim.Messages()[0].Text,
                "プリンタ名が長すぎるため、通常使うプリンタに設定できません");
    }
  }
}

TEST(Printers, DefaultNameTooLongForTheBufferReadsAsNone) {
  ScratchPc pc;
  pc.WriteFile("printers.ini", "[printers]\nprinter = " + std::string(256, 'P') +
                                   "\ndefault = " + std::string(256, 'P') + "\n");
  EXPECT_EQ(GetDefaultPrinter(pc.Open().platform().printers), "");
}

TEST(DescribeDrivesAndPrinter, PasswordsMasked) {
  NetworkDriveList list;
  list.Drives = {Drive("Z:", "\\\\fs01\\総務"), Drive("Y:", "\\\\fs01\\経理", "山田", "secret")};
  std::string text = DescribeDrivesAndPrinter(list, "Canon LBP-1310");
  EXPECT_EQ(text,
            "ネットワークドライブ Z: = \\\\fs01\\総務\n"
            "ネットワークドライブ Y: = \\\\fs01\\経理 (ユーザー 山田, パスワード ****)\n"
            "通常使うプリンタ: Canon LBP-1310\n");
  EXPECT_EQ(DescribeDrivesAndPrinter({}, ""),
            "ネットワークドライブ: なし\n通常使うプリンタ: なし\n");
}

}  // namespace
}  // namespace velandra
