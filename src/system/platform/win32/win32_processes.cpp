#include "system/platform/win32/win32_processes.h"

#include <vector>

#include "system/platform/win32/handles.h"

namespace velandra::platform::win32 {

namespace {

class Win32Process : public IProcess {
 public:
  explicit Win32Process(HANDLE process) : process_(process) {}
  ~Win32Process() override { ::CloseHandle(process_); }
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;

  void WaitForInputIdle() override { ::WaitForInputIdle(process_, INFINITE); }
  bool Wait(uint32_t milliseconds) override {
    return ::WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
  }
  uint32_t ExitCode() override {
    DWORD code = kStillActive;
    if (!::GetExitCodeProcess(process_, &code)) return 0;  // nothing left to wait for
    return code;
  }

 private:
  HANDLE process_;
};

}  // namespace

std::unique_ptr<IProcess> Win32Processes::Create(const std::string& commandLine, bool hidden,
                                                 long& error) {
  STARTUPINFOA startup{};
  ::GetStartupInfoA(&startup);
  if (hidden) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  // CreateProcessA may write into its command line.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    error = static_cast<long>(::GetLastError());
    return nullptr;
  }
  ::CloseHandle(info.hThread);
  error = 0;
  return std::make_unique<Win32Process>(info.hProcess);
}

}  // namespace velandra::platform::win32
