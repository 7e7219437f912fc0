// Adapter records as the tests compare them.
#pragma once
#include <string>
#include <vector>

#include "config/adapter_settings.h"

namespace velandra::testing {

// Every field but the links and the comparison results, in one line.
std::string Dump(const config::AdapterSettings& s);

// The Same flags of a comparison in which only `differing` differ.
config::AdapterGroupFlags SameExcept(const std::vector<config::AdapterGroup>& differing);

}  // namespace velandra::testing
