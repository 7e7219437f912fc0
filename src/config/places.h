// Places (接続場所): numbered, named, listed in section PLACELIST.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/config_file.h"

namespace velandra::config {

struct Place {
  virtual ~Place() = default;
  uint32_t Number = 0;
  std::string Name;
};

using PlaceList = std::vector<std::unique_ptr<Place>>;

// The name of the default place, number 0, used when PLACELIST has none.
inline constexpr char kDefaultPlaceName[] = "標準";

// Appends one place per PLACELIST entry in file order, then the default
// place when the list is still empty.
void ReadPlaceList(const ConfigFile& config, PlaceList& places);
// False when a write failed.
bool WritePlaceList(const ConfigFile& config, const PlaceList& places);

// Number of the place named `name` (exact, case-sensitive), or -1.
int64_t FindPlaceNumber(const PlaceList& places, const std::string& name);
Place* FindPlace(const PlaceList& places, uint32_t number);
// The smallest number, counting from 0, that no place has.
uint32_t NextPlaceNumber(const PlaceList& places);

}  // namespace velandra::config
