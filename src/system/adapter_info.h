// One network adapter of the PC that can carry place settings.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velandra {

struct AdapterInfo {
  virtual ~AdapterInfo() = default;
  uint32_t Number = 0;           // m of ADAPTERLIST and of the sections P<n>A<m>
  std::string DriverDesc;        // the device description
  std::string NetCfgInstanceId;  // the interface GUID, braces included
  std::string ConnectionName;    // the connection's name as the user sees it
};

using AdapterList = std::vector<std::unique_ptr<AdapterInfo>>;

}  // namespace velandra
