#include "config/places.h"

#include <algorithm>

namespace velandra::config {

void ReadPlaceList(const ConfigFile& config, PlaceList& places) {
  for (const auto& entry : config.ReadNumberedList("PLACELIST")) {
    auto place = std::make_unique<Place>();
    place->Number = entry.Number;
    place->Name = entry.Value;
    places.push_back(std::move(place));
  }
  if (places.empty()) {
    auto place = std::make_unique<Place>();
    place->Number = 0;
    place->Name = kDefaultPlaceName;
    places.push_back(std::move(place));
  }
}

bool WritePlaceList(const ConfigFile& config, const PlaceList& places) {
  bool ok = true;
  for (const auto& p : places)
    ok &= config.WriteString("PLACELIST", "P" + std::to_string(p->Number), p->Name);
  return ok;
}

int64_t FindPlaceNumber(const PlaceList& places, const std::string& name) {
  for (const auto& p : places)
    if (p->Name == name) return p->Number;
  return -1;
}

Place* FindPlace(const PlaceList& places, uint32_t number) {
  for (const auto& p : places)
    if (p->Number == number) return p.get();
  return nullptr;
}

uint32_t NextPlaceNumber(const PlaceList& places) {
  std::vector<uint32_t> used;
  for (const auto& p : places) used.push_back(p->Number);
  std::sort(used.begin(), used.end());
  uint32_t next = 0;
  for (uint32_t n : used) {
    if (n == next) ++next;
    else if (n > next) break;
  }
  return next;
}

}  // namespace velandra::config
