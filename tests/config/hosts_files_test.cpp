#include "config/hosts_files.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scratch_config.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_profile.h"
#include "system/platform/text.h"

namespace velandra::config {
namespace {

class HostsFilesConfigTest : public testing::ScratchConfigTest {};

// 表 and ソ end in the byte 0x5C.
TEST_F(HostsFilesConfigTest, HandWrittenSectionsReadAndWriteBackTheSameBytes) {
  const std::string text =
      "[P1]\r\n"
      "HOSTS=C:\\Program Files\\Velandra\\hosts.表計算ソフト\r\n"
      "LMHOSTS=\r\n"
      "[P2]\r\n"
      "HOSTS=D:\\net\\hosts.本社\r\n"
      "LMHOSTS=D:\\net\\lmhosts.本社\r\n";
  SetFile(text);
  HostsFiles p1, p2;
  ASSERT_TRUE(ReadHostsFiles(config_, 1, p1));
  ASSERT_TRUE(ReadHostsFiles(config_, 2, p2));
  EXPECT_EQ(p1.HOSTS, "C:\\Program Files\\Velandra\\hosts.表計算ソフト");
  EXPECT_EQ(p1.LMHOSTS, "");
  EXPECT_EQ(p2.HOSTS, "D:\\net\\hosts.本社");
  EXPECT_EQ(p2.LMHOSTS, "D:\\net\\lmhosts.本社");

  EXPECT_TRUE(WriteHostsFiles(config_, 1, p1));
  EXPECT_TRUE(WriteHostsFiles(config_, 2, p2));
  EXPECT_EQ(FileBytes(), text);

  // Into a section of its own, and read back equal.
  ASSERT_TRUE(WriteHostsFiles(config_, 7, p1));
  HostsFiles again;
  ASSERT_TRUE(ReadHostsFiles(config_, 7, again));
  EXPECT_EQ(again, p1);
}

TEST_F(HostsFilesConfigTest, AMissingKeyAsksForASnapshotAndKeepsTheOther) {
  SetFile(
      "[P1]\r\nHOSTS=C:\\h\\hosts.a\r\n"
      "[P2]\r\nLMHOSTS=C:\\h\\lmhosts.b\r\n"
      "[P3]\r\nComputerName=PC\r\n"
      "[P4]\r\nHOSTS=NO DATA\r\nLMHOSTS=\r\n");
  struct Row {
    uint32_t place;
    const char* hosts;
    const char* lmhosts;
  } rows[] = {
      {1, "C:\\h\\hosts.a", "marker"},
      {2, "marker", "C:\\h\\lmhosts.b"},
      {3, "marker", "marker"},
      {4, "marker", ""},  // the sentinel itself counts as missing
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("P" + std::to_string(row.place));
    HostsFiles files{"marker", "marker"};
    EXPECT_FALSE(ReadHostsFiles(config_, row.place, files));
    EXPECT_EQ(files.HOSTS, row.hosts);
    EXPECT_EQ(files.LMHOSTS, row.lmhosts);
  }
}

TEST_F(HostsFilesConfigTest, PathsUpTo259BytesRoundTripLongerOnesAreNotWritten) {
  SetFile("[P1]\r\nHOSTS=C:\\old\r\nLMHOSTS=C:\\old2\r\n");
  // Two-byte characters up to the limit: 3 + 128 * 2 = 259 bytes.
  std::string longest = "C:\\";
  for (int i = 0; i < 128; ++i) longest += "表";
  ASSERT_EQ(longest.size(), kMaxHostsPath);
  HostsFiles files{longest, ""};
  ASSERT_TRUE(WriteHostsFiles(config_, 1, files));
  HostsFiles back;
  ASSERT_TRUE(ReadHostsFiles(config_, 1, back));
  EXPECT_EQ(back, files);

  // One byte more would read back as another path: refused, the stored
  // value stays, the other key is still written.
  HostsFiles tooLong{longest + "x", "C:\\new"};
  EXPECT_FALSE(WriteHostsFiles(config_, 1, tooLong));
  ASSERT_TRUE(ReadHostsFiles(config_, 1, back));
  EXPECT_EQ(back.HOSTS, longest);
  EXPECT_EQ(back.LMHOSTS, "C:\\new");
}

TEST_F(HostsFilesConfigTest, AnOverLongStoredValueIsCutNeverInsideACharacter) {
  std::string stored = "C:\\";
  for (int i = 0; i < 130; ++i) stored += "ソ";
  SetFile("[P1]\r\nHOSTS=" + stored + "\r\nLMHOSTS=\r\n");
  HostsFiles files;
  ASSERT_TRUE(ReadHostsFiles(config_, 1, files));
  EXPECT_LE(files.HOSTS.size(), kMaxHostsPath);
  EXPECT_EQ(files.HOSTS, platform::Cp932Cut(stored, files.HOSTS.size()));
  EXPECT_EQ(files.HOSTS, stored.substr(0, files.HOSTS.size()));
  EXPECT_EQ(files.HOSTS.size() % 2, 1u);  // "C:\" and whole characters
}

}  // namespace
}  // namespace velandra::config
