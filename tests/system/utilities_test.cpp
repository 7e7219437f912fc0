#include "system/utilities.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "system/platform/text.h"

namespace velandra {
namespace {

using velandra::testing::ScratchPc;

TEST(GetExeDirectory, DropsTheFileAndCutsWholeCharacters) {
  struct Row {
    const char* exe;
    size_t n;
    const char* dir;
  } rows[] = {
      {"C:\\Program Files\\Velandra\\Velandra.exe", 261, "C:\\Program Files\\Velandra"},
      {"C:\\Velandra.exe", 261, "C:"},
      {"C:\\表\\Velandra.exe", 261, "C:\\表"},
      {"C:\\ソ\\Velandra.exe", 261, "C:\\ソ"},
      {"C:\\Program Files\\Velandra\\Velandra.exe", 11, "C:\\Program"},
      {"C:\\表示\\Velandra.exe", 6, "C:\\表"},  // 5 bytes would split 示
      {"C:\\表示\\Velandra.exe", 7, "C:\\表"},
      {"C:\\表示\\Velandra.exe", 8, "C:\\表示"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(platform::Cp932ToUtf8(row.exe) + " n=" + std::to_string(row.n));
    ScratchPc pc;
    pc.SetMachine("session", "executable", row.exe);
    EXPECT_EQ(GetExeDirectory(pc.Open().platform().system, row.n), row.dir);
  }
}

TEST(IsAdministrator, ExactGroupNameOnly) {
  struct Row {
    const char* groups;
    bool admin;
  } rows[] = {{"Administrators", true},
              {"Users, Administrators", true},
              {"administrators", false},
              {"Administrators2", false},
              {"", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.groups);
    ScratchPc pc;
    pc.WriteFile("users.ini", std::string("[Administrator]\ngroups = ") + row.groups + "\n");
    EXPECT_EQ(IsAdministrator(pc.Open().platform()), row.admin);
  }
}

TEST(GrantFileAccess, OnlyOnNtfs) {
  for (const char* fs : {"NTFS", "FAT32"}) {
    SCOPED_TRACE(fs);
    ScratchPc pc;
    pc.SetMachine("volumes", "C", fs);
    auto& platform = pc.Open().platform();
    ASSERT_TRUE(platform.files.WriteFile("C:\\x.lnk", "x"));
    EXPECT_EQ(GrantFileAccess(platform, "C:\\x.lnk", "Everyone", platform::kGenericAll),
              std::string(fs) == "NTFS");
    EXPECT_EQ(pc.Open().Security().Find("C:\\x.lnk") != nullptr, std::string(fs) == "NTFS");
  }
}

}  // namespace
}  // namespace velandra
