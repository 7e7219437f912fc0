// Printing (winspool): the installed printers and the default printer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "system/platform/win_types.h"

namespace velandra::platform {

class IPrinters {
 public:
  virtual ~IPrinters() = default;
  // EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL,
  // level 1): once for the size, then into a buffer of that size. Appends
  // the printer names in enumeration order; false with the error otherwise.
  virtual bool EnumPrinterNames(std::vector<std::string>& names, long& error) = 0;
  // GetDefaultPrinterA into a 256-byte buffer: false with the error when the
  // PC has no default printer or its name does not fit; `name` untouched then.
  virtual bool GetDefault(std::string& name, long& error) = 0;
  // SetDefaultPrinterA(name): false with the error when Windows refuses.
  virtual bool SetDefault(const std::string& name, long& error) = 0;
};

}  // namespace velandra::platform
