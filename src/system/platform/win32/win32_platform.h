// The real Windows behind the platform interfaces.
#pragma once
#include <memory>

#include "system/platform/platform.h"

namespace velandra::platform::win32 {

class Win32Messages;

class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& platform() { return *platform_; }
  Win32Messages& messages();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
  std::unique_ptr<Platform> platform_;
};

}  // namespace velandra::platform::win32
