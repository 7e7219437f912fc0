#include "config/place_settings.h"

#include "system/context.h"
#include "system/place_settings_pc.h"

namespace velandra::config {

// Not built yet: the record is the PC's, so that nothing is stored or
// applied from it silently.
PlaceSettings::PlaceSettings(Context& context, const Place& owner_, PlaceSource,
                             bool snapshotHostsFiles)
    : owner(owner_) {
  ReadFromPC(context, *this, snapshotHostsFiles);
}

PlaceSettings::~PlaceSettings() { ClearLists(); }

std::string PlaceSettings::SectionName() const { return "P" + std::to_string(owner.Number); }

bool PlaceSettings::ReadFromConfig(Context&) { return false; }

bool PlaceSettings::WriteToConfig(Context&) const { return false; }

void PlaceSettings::ClearLists() {
  DNS_Suffix.clear();
  Printers.clear();
  NetShares.clear();
  Programs.clear();
}

}  // namespace velandra::config
