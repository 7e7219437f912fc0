// The companion found through the real registry and profile functions
// (under Wine in the Windows build). Natively this file is empty.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <string>

#include "system/platform/win32/win32_platform.h"
#include "system/platform/win_types.h"
#include "system/proxy_companion.h"
#include "system/platform/win32/win_api.h"

namespace velandra {
namespace {

using platform::Hive;
using platform::RegKey;

// Puts a companion into the registry for one test and takes it out again.
class Win32Companion : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
    dir_ = std::string(temp) + "velandra-brisco-" + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(::CreateDirectoryA(dir_.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    data_ = dir_ + "\\BRISCO.INI";
    const char text[] =
        "[BRSCINDEX]\r\nENTRYCNT=2\r\nPXYNAME001=本社プロキシ\r\nPXYNAME002=自宅 光回線\r\n"
        "[BRSCSYSTEM]\r\nSELECT=2\r\n";
    HANDLE f = ::CreateFileA(data_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(f, text, sizeof text - 1, &written, nullptr);
    ::CloseHandle(f);
    RegKey machine, user;
    if (machine.Create(win_.platform().registry, Hive::LocalMachine, kCompanionKey,
                       platform::kKeyAllAccess) != platform::kErrorSuccess)
      GTEST_SKIP() << "HKLM is not writable here";
    created_ = true;
    ASSERT_EQ(machine.SetString("InstallDir", dir_), platform::kErrorSuccess);
    ASSERT_EQ(machine.SetDword("Version", 410), platform::kErrorSuccess);
    ASSERT_EQ(user.Create(win_.platform().registry, Hive::CurrentUser, kCompanionKey,
                          platform::kKeyAllAccess),
              platform::kErrorSuccess);
    ASSERT_EQ(user.SetString("DataFilePath", data_), platform::kErrorSuccess);
  }
  void TearDown() override {
    if (created_) {
      for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        win_.platform().registry.DeleteKey(hive, kCompanionKey);
        win_.platform().registry.DeleteKey(hive, "Software\\Orvane");
      }
    }
    ::DeleteFileA(data_.c_str());
    ::RemoveDirectoryA(dir_.c_str());
  }

  platform::win32::Win32Platform win_;
  std::string dir_, data_;
  bool created_ = false;
};

TEST_F(Win32Companion, FoundThroughItsKeyAndDataFile) {
  config::ProxyChoice c = FindCompanion(win_.platform());
  EXPECT_TRUE(c.Installed);
  EXPECT_EQ(c.InstallDir, dir_ + "\\");
  EXPECT_EQ(c.Version, 410u);
  ASSERT_EQ(c.ProxyNames.size(), 3u);
  EXPECT_EQ(c.ProxyNames[0], "本社プロキシ");
  EXPECT_EQ(c.ProxyNames[1], "自宅 光回線");
  EXPECT_EQ(c.ProxyNames[2], config::kNoProxyEntry);
  c.SelectDefault();
  EXPECT_EQ(c.ProxyName, "自宅 光回線");
  // No BRISCO.EXE in the folder: the start fails and is no run.
  EXPECT_FALSE(RunCompanion(win_.platform().processes, c));
}

}  // namespace
}  // namespace velandra

#endif  // _WIN32
