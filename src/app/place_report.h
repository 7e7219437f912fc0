// A plain-text account of the loaded data: the PC's adapters, the places,
// and for each place which of the nine adapter groups differ from the PC.
// For the command-line front ends; the text is CP932.
#pragma once
#include <string>

#include "ui/velandra_sheet.h"

namespace velandra::app {

// The groups' names, in the order of AdapterSettings::Same.
const char* AdapterGroupName(size_t group);

// Compares every place with the PC (which sets the records' Same flags and
// ChangeKind) and describes the result.
std::string DescribePlaces(ui::CVelandraSheet& sheet);

}  // namespace velandra::app
