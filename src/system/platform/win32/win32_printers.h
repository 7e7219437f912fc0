// IPrinters over the Windows calls (winspool).
#pragma once
#include "system/platform/printers.h"

namespace velandra::platform::win32 {

class Win32Printers : public IPrinters {
 public:
  bool EnumPrinterNames(std::vector<std::string>& names, long& error) override;
  bool GetDefault(std::string& name, long& error) override;
  bool SetDefault(const std::string& name, long& error) override;
};

}  // namespace velandra::platform::win32
