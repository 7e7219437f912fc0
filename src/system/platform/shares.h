// Shared folders (netapi32) and their access lists (advapi32).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velandra::platform {

class IShares {
 public:
  virtual ~IShares() = default;
};

}  // namespace velandra::platform
