#include "system/place_settings_pc.h"

namespace velandra {

// Not built yet.
void ReadFromPC(Context&, config::PlaceSettings&, bool) {}
void ReadWinlogon(Context&, config::PlaceSettings&) {}
void ReadServerComment(Context&, config::PlaceSettings&) {}

PlaceComparison ComparePlaceSettings(Context&, const config::PlaceSettings&,
                                     const config::PlaceSettings&) {
  return {};
}

uint32_t CompareWithPC(Context&, config::PlaceSettings& record) {
  record.Same = {};
  record.ChangeKind = 2;
  return record.ChangeKind;
}

bool WriteToPC(Context&, const config::PlaceSettings&, ui::IUserPasswordDialog&) { return false; }
bool WriteWinlogon(Context&, const config::PlaceSettings&) { return false; }

}  // namespace velandra
