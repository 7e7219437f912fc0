// Printing (winspool): the installed printers and the default printer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velandra::platform {

class IPrinters {
 public:
  virtual ~IPrinters() = default;
};

}  // namespace velandra::platform
