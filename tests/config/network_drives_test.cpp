#include "config/network_drives.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/demo_pc_facts.h"
#include "support/drive_records.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"

namespace velandra::config {
namespace {

using velandra::testing::kDemoIniFile;
using velandra::testing::kDemoIniPath;
using velandra::testing::ScratchPc;
using velandra::testing::Drive;
using velandra::testing::Dump;

// The demo PC's configuration file, with section P1 written by hand.
class DriveKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    context_ = std::make_unique<Context>(pc_.Open().platform(), kDemoIniPath,
                                         ReadOsInfo(pc_.Open().platform().system));
  }
  void SetSection(const std::string& body) { pc_.WriteFile(kDemoIniFile, "[P1]\r\n" + body); }
  std::string Ini() const { return pc_.ReadFile(kDemoIniFile); }
  const ConfigFile& Config() const { return context_->Config(); }
  NetworkDriveList Read() {
    NetworkDriveList list;
    ReadDrivesFromConfig(list, "P1", Config());
    return list;
  }

  ScratchPc pc_;
  std::unique_ptr<Context> context_;
};

TEST_F(DriveKeys, ReadSplitsTheFieldsOfEachValue) {
  struct Row {
    const char* name;
    const char* value;
    const char* dump;
  } rows[] = {
      {"four_fields", "Z:,\\\\fs01\\総務,yamada,158157156", "[Z:|\\\\fs01\\総務|yamada|abc]"},
      // ソ ends in the byte 0x5C; the name must stay whole.
      {"two_fields", "Y:,\\\\fs01\\ソフト開発", "[Y:|\\\\fs01\\ソフト開発||]"},
      {"three_fields_drop_the_third", "X:,\\\\srv\\a,dropped", "[X:|\\\\srv\\a||]"},
      {"no_comma_is_all_remote", "\\\\srv\\only", "[|\\\\srv\\only||]"},
      {"empty_password", "W:,\\\\srv\\b,鈴木,", "[W:|\\\\srv\\b|鈴木|]"},
      {"trailing_short_group_ignored", "V:,\\\\srv\\c,u,15815715", "[V:|\\\\srv\\c|u|ab]"},
      {"empty_value", "", "[|||]"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetSection(std::string("NetworkDrive01=") + row.value + "\r\n");
    EXPECT_EQ(Dump(Read()), row.dump);
  }
}

TEST_F(DriveKeys, ReadStopsAtTheFirstMissingKeyAndAppends) {
  SetSection("NetworkDrive01=Z:,\\\\fs01\\a,,\r\nNetworkDrive03=Y:,\\\\fs01\\c,,\r\n");
  NetworkDriveList list;
  list.Drives.push_back(Drive("Q:", "\\\\old\\kept"));
  ReadDrivesFromConfig(list, "P1", Config());
  EXPECT_EQ(Dump(list), "[Q:|\\\\old\\kept||][Z:|\\\\fs01\\a||]");
}

TEST_F(DriveKeys, WriteLeavesNoKeyThatWouldReadBackAsAnotherDrive) {
  SetSection("NetworkDrive01=Z:,\\\\fs01\\a,,\r\nNetworkDrive03=Y:,\\\\fs01\\c,,\r\n");
  NetworkDriveList list;
  list.Drives = {Drive("M:", "\\\\s\\m"), Drive("N:", "\\\\s\\n")};
  std::string message;
  ASSERT_TRUE(WriteDrivesToConfig(list, "P1", Config(), message));
  EXPECT_EQ(Dump(Read()), Dump(list));
  EXPECT_EQ(Ini().find("NetworkDrive03"), std::string::npos);
  // Writing fewer drives removes the rest.
  list.Drives.pop_back();
  ASSERT_TRUE(WriteDrivesToConfig(list, "P1", Config(), message));
  EXPECT_EQ(Dump(Read()), Dump(list));
  EXPECT_EQ(Ini().find("NetworkDrive02"), std::string::npos);
}

TEST_F(DriveKeys, RoundTripKeepsJapaneseNamesAndPasswords) {
  NetworkDriveList list;
  list.Drives = {
      Drive("Z:", "\\\\fs01\\総務"),
      Drive("Y:", "\\\\fs01\\ソフト開発", "山田", "パス\\word"),
      Drive("X:", "\\\\nas-home\\写真", "guest", ""),
  };
  std::string message;
  ASSERT_TRUE(WriteDrivesToConfig(list, "P1", Config(), message));
  NetworkDriveList back = Read();
  EXPECT_EQ(back.Drives, list.Drives);
  // Written fields in order; the password only in its stored form.
  EXPECT_NE(Ini().find("NetworkDrive01=Z:,\\\\fs01\\総務,,\r\n"), std::string::npos);
  EXPECT_EQ(Ini().find("パス\\word"), std::string::npos);
}

TEST_F(DriveKeys, PasswordThatCannotBeEncodedIsWrittenEmpty) {
  NetworkDriveList list;
  list.Drives = {Drive("Z:", "\\\\s\\a", "u", std::string(86, 'p'))};
  std::string message;
  ASSERT_TRUE(WriteDrivesToConfig(list, "P1", Config(), message));
  EXPECT_EQ(Dump(Read()), "[Z:|\\\\s\\a|u|]");
}

TEST_F(DriveKeys, DriveThatWouldNotReadBackIsRefusedAndNothingChanges) {
  struct Row {
    const char* name;
    NetworkDrive drive;
    const char* message;
  } rows[] = {
      {"comma_in_remote", Drive("Z:", "\\\\s\\a,b"),
       "ネットワークドライブ Z: の設定に「,」が含まれているため保存できません"},
      {"comma_in_user", Drive("Z:", "\\\\s\\a", "a,b"),
       "ネットワークドライブ Z: の設定に「,」が含まれているため保存できません"},
      {"value_over_255_bytes", Drive("Z:", "\\\\s\\" + std::string(250, 'x')),
       "ネットワークドライブ Z: の設定が長すぎるため保存できません"},
      {"password_pushes_value_over", Drive("Z:", "\\\\s\\" + std::string(100, 'x'), "u",
                                           std::string(60, 'p')),
       "ネットワークドライブ Z: の設定が長すぎるため保存できません"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetSection("NetworkDrive01=Q:,\\\\old\\kept,,\r\n");
    const std::string before = Ini();
    NetworkDriveList list;
    list.Drives = {Drive("A:", "\\\\s\\fine"), row.drive};
    std::string message;
    EXPECT_FALSE(WriteDrivesToConfig(list, "P1", Config(), message));
    EXPECT_EQ(message, row.message);
    EXPECT_EQ(Ini(), before);
  }
}

TEST_F(DriveKeys, LongestValueThatFitsIsStored) {
  NetworkDriveList list;
  // "Z:," + remote + ",," = 255 bytes.
  list.Drives = {Drive("Z:", "\\\\s\\" + std::string(250 - 4, 'x'))};
  ASSERT_EQ(StoredDriveValue(list.Drives[0]).size(), 255u);
  std::string message;
  ASSERT_TRUE(WriteDrivesToConfig(list, "P1", Config(), message));
  EXPECT_EQ(Read().Drives, list.Drives);
}

TEST_F(DriveKeys, DefaultPrinterKey) {
  SetSection("NetworkDrive01=Z:,\\\\s\\a,,\r\n");
  EXPECT_EQ(ReadDefaultPrinterFromConfig("P1", Config()), std::nullopt);
  ASSERT_TRUE(WriteDefaultPrinterToConfig("P1", Config(), "経理部 EPSON LP-9000C"));
  EXPECT_EQ(ReadDefaultPrinterFromConfig("P1", Config()), "経理部 EPSON LP-9000C");
  ASSERT_TRUE(WriteDefaultPrinterToConfig("P1", Config(), ""));
  EXPECT_EQ(ReadDefaultPrinterFromConfig("P1", Config()), "");
}

TEST(FindDrive, ExactLocalNameWithCase) {
  NetworkDriveList list;
  list.Drives = {Drive("Z:", "\\\\s\\z"), Drive("Y:", "\\\\s\\y")};
  ASSERT_NE(FindDrive(list, "Y:"), nullptr);
  EXPECT_EQ(FindDrive(list, "Y:")->RemoteName, "\\\\s\\y");
  EXPECT_EQ(FindDrive(list, "y:"), nullptr);
  EXPECT_EQ(FindDrive(list, "Y"), nullptr);
  ClearDrives(list);
  EXPECT_TRUE(list.Drives.empty());
}

}  // namespace
}  // namespace velandra::config
