// A plain-text account of the loaded data: the PC's adapters, the places,
// and for each place which of the nine adapter groups differ from the PC.
// For the command-line front ends; the text is CP932.
#pragma once
#include <string>

#include "ui/velandra_sheet.h"

namespace velandra::app {

// The groups' names, in the order of AdapterSettings::Same and of
// PlaceSettings::Same.
const char* AdapterGroupName(size_t group);
const char* PlaceGroupName(size_t group);

// Compares every place with the PC, adapter by adapter and place-wide
// (which sets the records' Same flags and ChangeKind), and describes the
// result.
std::string DescribePlaces(ui::CVelandraSheet& sheet);

// The place-wide pieces `place` stores in its section P<n> (network drives,
// default printer, shares, hosts variants, proxy entry), each beside what the
// PC has now. Reads only; a missing key is shown as taken from the PC.
std::string DescribePlacePieces(Context& context, const config::Place& place);

}  // namespace velandra::app
