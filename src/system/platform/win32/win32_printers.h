// IPrinters over the Windows calls.
#pragma once
#include "system/platform/printers.h"

namespace velandra::platform::win32 {

class Win32Printers : public IPrinters {};

}  // namespace velandra::platform::win32
