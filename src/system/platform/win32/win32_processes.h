// Child processes through CreateProcessA and the wait functions.
#pragma once
#include "system/platform/processes.h"

namespace velandra::platform::win32 {

class Win32Processes : public IProcesses {
 public:
  std::unique_ptr<IProcess> Create(const std::string& commandLine, bool hidden,
                                   long& error) override;
};

}  // namespace velandra::platform::win32
