// IShares over the Windows calls.
#pragma once
#include "system/platform/shares.h"

namespace velandra::platform::win32 {

class Win32Shares : public IShares {};

}  // namespace velandra::platform::win32
