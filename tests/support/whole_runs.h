// Whole runs on a simulated PC: booting until the queued work is done, and
// comparing a place with the PC the way the sheet loads it anew.
#pragma once
#include <sstream>
#include <string>
#include <vector>

#include "config/place_settings.h"
#include "support/scratch_dir.h"
#include "system/platform/sim/simulated_pc.h"

namespace velandra::testing {

// The shortcuts in the common Startup folder.
std::vector<std::string> StartupShortcuts(const ScratchPc& pc);

// Boots until the Startup folder is empty, at most `mostBoots` times; false
// when it never settles. `exitCodes` gets the exit code of every start, in
// order; without it every start must succeed.
bool BootUntilSettled(ScratchPc& pc, platform::sim::SimulatedPc& s, std::ostringstream& out,
                      std::vector<int>* exitCodes = nullptr, int mostBoots = 5);

// The names of the place-wide comparison groups, in their order.
extern const char* const kPlaceGroupNames[config::kPlaceGroupCount];

// The comparison of place `place` with the PC after loading the sheet anew.
struct PlaceComparison {
  std::vector<uint32_t> adapterKinds;
  uint32_t placeKind = 2;
  config::PlaceGroupFlags same{};
  std::string differing;  // names of the groups that are not the same
};
PlaceComparison ComparePlaceWithPc(platform::sim::SimulatedPc& s, const std::string& place);

// The messages the PC showed, "[text] " each, in UTF-8.
std::string MessagesText(platform::sim::SimulatedPc& s);

}  // namespace velandra::testing
