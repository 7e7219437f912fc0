// Child processes (kernel32, user32): started with CreateProcessA, waited
// for with WaitForInputIdle, WaitForSingleObject and GetExitCodeProcess.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace velandra::platform {

// GetExitCodeProcess's answer while the process runs.
inline constexpr uint32_t kStillActive = 259;

class IProcess {
 public:
  virtual ~IProcess() = default;
  // WaitForInputIdle with no time limit.
  virtual void WaitForInputIdle() = 0;
  // WaitForSingleObject on the process for at most `milliseconds`; true when
  // it has ended.
  virtual bool Wait(uint32_t milliseconds) = 0;
  // GetExitCodeProcess: kStillActive while it runs.
  virtual uint32_t ExitCode() = 0;
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;
  // CreateProcessA with no application name, `commandLine` as given, no
  // handle inheritance, no creation flags, the current environment and
  // directory, and the start-up information of this process; `hidden` asks
  // for the window to be hidden (STARTF_USESHOWWINDOW, SW_HIDE). Null, with
  // the Windows error in `error`, when the process cannot be created.
  virtual std::unique_ptr<IProcess> Create(const std::string& commandLine, bool hidden,
                                           long& error) = 0;
};

// Waits until the process is idle for input, then polls it every 100 ms
// until it has ended; returns its exit code. A process that ended with the
// code 259 itself ends the wait too, rather than hanging the program.
inline uint32_t WaitForExit(IProcess& process) {
  process.WaitForInputIdle();
  for (;;) {
    const bool ended = process.Wait(100);
    const uint32_t code = process.ExitCode();
    if (ended || code != kStillActive) return code;
  }
}

}  // namespace velandra::platform
