#include "system/platform/sim/simulated_pc.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_backends.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {
namespace {

using velandra::testing::ScratchDir;
using velandra::testing::ScratchPc;

TEST(SimulatedPcOpen, MalformedStateFilesNameFileAndLine) {
  struct Row {
    const char* name;
    const char* file;
    std::string text;
    const char* error;  // expected part of the error
  } rows[] = {
      {"no_equals", "pc.ini", "[windows]\nmajor = 5\nminor 1\n", "pc.ini line 3"},
      {"before_section", "pc.ini", "major = 5\n[windows]\n", "pc.ini line 1"},
      {"broken_section", "pc.ini", "[windows]\n[computer\n", "pc.ini line 2"},
      {"not_a_number", "pc.ini", "# x\n[windows]\nmajor = five\n", "pc.ini line 3"},
      {"bad_volume", "pc.ini", "[windows]\n[volumes]\nCD = NTFS\n", "pc.ini line 3"},
      {"no_windows_section", "pc.ini", "[computer]\nname = X\n", "[windows]"},
      {"nul_byte", "users.ini", std::string("[a]\ngroups = x\0y\n", 17), "users.ini line 2"},
      {"users_no_equals", "users.ini", "[Administrator]\ngroups\n", "users.ini line 2"},
      {"registry_broken", "registry.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\X]\r\nnonsense\r\n",
       "line 4"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    pc.WriteFile(row.file, row.text);
    std::string error;
    auto opened = SimulatedPc::Open(pc.dir(), error);
    EXPECT_EQ(opened, nullptr);
    EXPECT_NE(error.find(row.error), std::string::npos) << error;
  }
}

TEST(SimulatedPcOpen, MissingDirectoryOrMachineFile) {
  ScratchDir dir;
  std::string error;
  EXPECT_EQ(SimulatedPc::Open(dir.path() / "nothing", error), nullptr);
  EXPECT_NE(error.find("no such simulated PC"), std::string::npos) << error;
  EXPECT_EQ(SimulatedPc::Open(dir.path(), error), nullptr);
  EXPECT_NE(error.find("pc.ini"), std::string::npos) << error;
}

TEST(SimulatedPcPaths, WindowsPathsMapIntoTheDirectory) {
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  std::filesystem::create_directories(pc.dir() / "C" / HostPathFromUtf8(Cp932ToUtf8("表示")));
  struct Row {
    const char* windows;
    const char* host;  // relative to the PC directory, UTF-8 converted; null: no mapping
  } rows[] = {
      {"C:\\Program Files\\Velandra\\Velandra.ini", "C/Program Files/Velandra/Velandra.ini"},
      {"c:/windows/SYSTEM32/drivers", "C/WINDOWS/system32/drivers"},  // existing spelling
      {"C:\\", "C"},
      {"C:", "C"},
      {"C:\\..\\..\\..\\WINDOWS", "C/WINDOWS"},  // never above the drive's root
      {"C:\\WINDOWS\\.\\system32\\..", "C/WINDOWS"},
      {"C:\\WINDOWS. \\x.txt..", "C/WINDOWS/x.txt"},
      {"C:\\表示\\a.txt", "C/表示/a.txt"},  // 表 ends in 0x5C
      {"C:\\ソ\\b", "C/ソ/b"},
      {"D:\\data", nullptr},
      {"\\\\server\\share\\x", nullptr},
      {"C:relative", nullptr},
      {"relative\\x", nullptr},
      {"C:\\a|b", nullptr},
      {"C:\\a\\b?", nullptr},
      {"C:\\a\x01", nullptr},
      {"", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Cp932ToUtf8(row.windows));
    std::filesystem::path host;
    bool mapped = sim.MapPath(row.windows, host);
    ASSERT_EQ(mapped, row.host != nullptr);
    if (!mapped) continue;
    const auto expected = pc.dir() / HostPathFromUtf8(Cp932ToUtf8(row.host));
    std::error_code ec;
    // A Windows host finds files whatever the case: there the same file is enough.
    if (std::filesystem::exists(expected, ec))
      EXPECT_TRUE(std::filesystem::equivalent(host, expected, ec)) << host << " " << expected;
    else
      EXPECT_EQ(host.lexically_normal(), expected.lexically_normal());
  }
}

TEST(SimulatedPcSystem, DemoVariantsAndComputerName) {
  ScratchPc w2000(DemoVariant::Windows2000);
  OsVersion v;
  ASSERT_TRUE(w2000.Open().platform().system.GetVersionEx(v));
  EXPECT_EQ(v.MinorVersion, 0u);
  EXPECT_EQ(v.ServicePack, "Service Pack 4");
  EXPECT_EQ(w2000.Open().platform().system.SystemDirectory(), "C:\\WINNT\\system32");

  ScratchPc pc;
  ISystemInfo& system = pc.Open().platform().system;
  for (const char* bad : {"", "SIXTEEN-CHARS-XX", "A B", "A*B", "A\\B"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(system.SetComputerName(bad));
  }
  ASSERT_TRUE(system.SetComputerName("OFFICE-PC"));
  std::string name;
  ASSERT_TRUE(system.GetComputerName(name));
  EXPECT_EQ(name, "VELANDRA-PC");  // the new name holds after the restart
  std::string error;
  auto reopened = SimulatedPc::Open(pc.dir(), error);
  ASSERT_NE(reopened, nullptr) << error;
  EXPECT_EQ(reopened->Machine().Get("computer", "pending_name"), "OFFICE-PC");
}

TEST(SimulatedPcSystem, Windows98RefusesTheExtendedQuery) {
  ScratchPc pc;
  pc.SetMachine("windows", "platform_id", "1");
  pc.SetMachine("windows", "major", "4");
  OsVersion v;
  EXPECT_FALSE(pc.Open().platform().system.GetVersionEx(v));
  EXPECT_TRUE(pc.Open().platform().system.GetVersion(v));
  EXPECT_EQ(v.PlatformId, 1u);
}

TEST(SimulatedPcAccounts, GroupsOfUsers) {
  ScratchPc pc;
  IAccounts& accounts = pc.Open().platform().accounts;
  std::vector<std::string> groups{"marker"};
  EXPECT_EQ(accounts.GetLocalGroups("nobody", groups), kNerrUserNotFound);
  EXPECT_EQ(groups, std::vector<std::string>{"marker"});  // untouched on failure
  ASSERT_EQ(accounts.GetLocalGroups("administrator", groups), 0);
  EXPECT_EQ(groups, std::vector<std::string>{"Administrators"});
  ASSERT_EQ(accounts.GetLocalGroups("yamada", groups), 0);
  EXPECT_EQ(groups, std::vector<std::string>{"Users"});
}

TEST(SimulatedPcMessages, QuestionsTakeScriptedAnswers) {
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  IMessages& messages = sim.platform().messages;
  auto ask = [&] {
    return messages.Show(MessageOwner::MainWindow, "続けますか", "Velandra",
                         MessageIcon::Question, MessageButtons::YesNo);
  };
  EXPECT_THROW(ask(), SimulationError);  // no answer: never a silent default
  sim.answers().PushList("yes;NO;maybe");
  EXPECT_EQ(ask(), MessageAnswer::Yes);
  EXPECT_EQ(ask(), MessageAnswer::No);
  EXPECT_THROW(ask(), SimulationError);
  EXPECT_EQ(messages.Show(MessageOwner::None, "情報", "Velandra", MessageIcon::Information,
                          MessageButtons::Ok),
            MessageAnswer::Ok);
  ASSERT_EQ(sim.Messages().size(), 3u);
  EXPECT_EQ(sim.Messages()[2].Text, "情報");
}

TEST(SimulatedPcFiles, WriteCopyDeleteAndAccessEntries) {
  ScratchPc pc;
  SimulatedPc& sim = pc.Open();
  IFiles& files = sim.platform().files;
  const std::string dir = "C:\\Program Files\\Velandra";
  EXPECT_FALSE(files.WriteFile("C:\\no\\such\\dir\\x.txt", "x"));
  ASSERT_TRUE(files.WriteFile(dir + "\\表.txt", "内容\r\n"));
  ASSERT_TRUE(files.CopyFile(dir + "\\表.txt", dir + "\\copy.txt", true));
  EXPECT_FALSE(files.CopyFile(dir + "\\表.txt", dir + "\\copy.txt", true));
  std::string data;
  ASSERT_TRUE(files.ReadFile(dir + "\\COPY.TXT", data));
  EXPECT_EQ(data, "内容\r\n");

  EXPECT_FALSE(files.GrantAccess(dir + "\\copy.txt", "nobody", kGenericAll));
  EXPECT_FALSE(files.GrantAccess(dir + "\\missing.txt", "Everyone", kGenericAll));
  ASSERT_TRUE(files.GrantAccess(dir + "\\copy.txt", "Everyone", kGenericAll));
  ASSERT_TRUE(files.GrantAccess(dir + "\\copy.txt", "", kDelete));
  const auto* section = sim.Security().Find(dir + "\\copy.txt");
  ASSERT_NE(section, nullptr);
  ASSERT_EQ(section->Entries.size(), 2u);
  EXPECT_EQ(section->Entries[0].Value, "Everyone 0x10000000");
  EXPECT_EQ(section->Entries[1].Value, "Administrator 0x00010000");

  long error = 0;
  ASSERT_TRUE(files.DeleteFile(dir + "\\copy.txt", &error));
  EXPECT_EQ(sim.Security().Find(dir + "\\copy.txt"), nullptr);
  EXPECT_FALSE(files.DeleteFile(dir + "\\copy.txt", &error));
  EXPECT_EQ(error, kErrorFileNotFound);
}

TEST(SimulatedPcRegistry, DemoRegistryPersists) {
  ScratchPc pc;
  {
    RegKey key;
    ASSERT_EQ(key.Create(pc.Open().platform().registry, Hive::LocalMachine,
                         "SOFTWARE\\Velandra Test", kKeyAllAccess),
              kErrorSuccess);
    ASSERT_EQ(key.SetString("名前", "値"), kErrorSuccess);
  }
  std::string error;
  auto reopened = SimulatedPc::Open(pc.dir(), error);
  ASSERT_NE(reopened, nullptr) << error;
  RegKey key;
  ASSERT_EQ(key.Open(reopened->platform().registry, Hive::LocalMachine,
                     "software\\velandra test", kKeyQueryValue),
            kErrorSuccess);
  std::string value;
  ASSERT_EQ(key.QueryString("名前", 256, value), kErrorSuccess);
  EXPECT_EQ(value, "値");
}

}  // namespace
}  // namespace velandra::platform::sim
