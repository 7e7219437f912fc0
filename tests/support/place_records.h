// Place-wide records as the tests compare them.
#pragma once
#include <string>

#include "config/place_settings.h"

namespace velandra::testing {

// Every field a page of the sheet can edit, one "Name=value" line each, so
// that a failed comparison shows the field that differs. Lists are joined
// with ','; drives, shares and their permissions, and programs one per line.
// The comparison results (ChangeKind, Same) are left out.
std::string Dump(const config::PlaceSettings& s);

}  // namespace velandra::testing
