#include "ui/velandra_sheet.h"

#include <algorithm>
#include <map>
#include <utility>

#include "config/adapter_list.h"
#include "config/config_backup.h"
#include "system/adapter_enum.h"
#include "system/network_drives.h"
#include "system/platform/profile.h"
#include "system/platform/text.h"

namespace velandra::ui {

namespace {

constexpr char kPlaceList[] = "PLACELIST";

}  // namespace

std::string PlaceChangeMessage(PlaceChange change) {
  switch (change) {
    case PlaceChange::Done: return {};
    case PlaceChange::NameTaken: return kMsgPlaceExists;
    case PlaceChange::SameName: return kMsgNotChanged;
    case PlaceChange::OnlyPlace: return kMsgOnlyPlace;
    case PlaceChange::EmptyName: return kMsgPlaceNameEmpty;
    case PlaceChange::UnusableName: return kMsgPlaceNameUnusable;
    case PlaceChange::NameTooLong: return kMsgPlaceNameTooLong;
    case PlaceChange::WriteFailed: return {};  // shown, with the path, where it failed
  }
  return {};
}

PlaceChange CheckPlaceName(const std::string& name) {
  if (name.empty()) return PlaceChange::EmptyName;
  if (name.size() > kMaxPlaceName) return PlaceChange::NameTooLong;
  // The profile functions trim blanks around a value and take off one pair
  // of enclosing quotes, and a line break would end the entry: such a name
  // would come back as another one, and -p could never find it again.
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return PlaceChange::UnusableName;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (blank(name.front()) || blank(name.back())) return PlaceChange::UnusableName;
  if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') &&
      name.back() == name.front())
    return PlaceChange::UnusableName;
  bool valid = true;
  platform::Cp932ToUtf8(name, &valid);
  return valid ? PlaceChange::Done : PlaceChange::UnusableName;
}

bool CVelandraSheet::LoadAll() {
  config::RestoreInterruptedSave(context_);
  const config::ConfigFile& config = context_.Config();
  // One consistent reading of the file, read once.
  platform::ProfileBatch batch(config.Profile());
  config::LoadCommonSettings(config, Common, context_.DiffCheck);

  config::ReadPlaceList(config, Places);
  const int lastPlace = config.ReadInt(config::kLastSection, "LASTPLACE", 0);
  CurrentPlace = FindPlace(static_cast<uint32_t>(lastPlace));
  if (!CurrentPlace) CurrentPlace = Places.front().get();

  EnumerateAdapters(context_, Adapters);
  if (Adapters.empty()) {
    Warn(context_, kMsgNoAdapter, platform::MessageOwner::None);
    return false;
  }
  const int lastAdapter = config.ReadInt(config::kLastSection, "LASTADAPTER", 0);
  CurrentAdapter = FindAdapter(static_cast<uint32_t>(lastAdapter));
  if (!CurrentAdapter) CurrentAdapter = Adapters.front().get();

  const std::vector<std::string> printers = ListPrinters(context_.Platform().printers);
  for (const auto& place : Places) {
    for (const auto& adapter : Adapters)
      AdapterSettingsList.push_back(
          config::AdapterSettings::Build(context_, *place, *adapter, false));
    PlaceSettingsList.push_back(std::make_unique<config::PlaceSettings>(
        context_, *place, config::PlaceSource::ConfigFile, false, &printers));
  }
  return true;
}

bool CVelandraSheet::SaveAll() {
  const config::ConfigFile& config = context_.Config();
  config::ConfigWriteGuard guard(context_, platform::MessageOwner::MainWindow);
  if (!guard.Begin()) return false;
  platform::ProfileBatch batch(config.Profile());
  bool ok = config::SaveCommonSettings(config, Common, context_.AdminCheck, context_.DiffCheck);
  ok &= config::WritePlaceList(config, Places);
  ok &= config::WriteAdapterList(config, Adapters);
  ok &= config::WriteLast(config, CurrentPlace->Number, CurrentAdapter->Number);
  // The records by place and adapter, first match first as the lookups
  // give them: a lookup per record would make save all grow with the
  // square of the places.
  std::map<std::pair<const config::Place*, const AdapterInfo*>, const config::AdapterSettings*>
      adapterRecords;
  for (const auto& s : AdapterSettingsList)
    adapterRecords.emplace(std::pair(s->Place, s->Adapter), s.get());
  std::map<const config::Place*, const config::PlaceSettings*> placeRecords;
  for (const auto& s : PlaceSettingsList) placeRecords.emplace(&s->owner, s.get());
  for (const auto& place : Places) {
    for (const auto& adapter : Adapters) {
      auto it = adapterRecords.find(std::pair(place.get(), adapter.get()));
      if (it != adapterRecords.end()) ok &= it->second->WriteToFile(config);
    }
    if (auto it = placeRecords.find(place.get()); it != placeRecords.end())
      ok &= it->second->WriteToConfig(context_);
  }
  ok &= batch.End();
  return guard.Finish(ok);
}

config::Place* CVelandraSheet::FindPlace(uint32_t number) const {
  return config::FindPlace(Places, number);
}

int64_t CVelandraSheet::FindPlaceNumber(const std::string& name) const {
  return config::FindPlaceNumber(Places, name);
}

AdapterInfo* CVelandraSheet::FindAdapter(uint32_t number) const {
  for (const auto& a : Adapters)
    if (a->Number == number) return a.get();
  return nullptr;
}

config::AdapterSettings* CVelandraSheet::FindAdapterSettings(const config::Place& place,
                                                             const AdapterInfo& adapter) const {
  for (const auto& s : AdapterSettingsList)
    if (s->Place == &place && s->Adapter == &adapter) return s.get();
  return nullptr;
}

config::PlaceSettings* CVelandraSheet::FindPlaceSettings(const config::Place& place) const {
  for (const auto& s : PlaceSettingsList)
    if (&s->owner == &place) return s.get();
  return nullptr;
}

uint32_t CVelandraSheet::NextPlaceNumber() const { return config::NextPlaceNumber(Places); }

PlaceChange CVelandraSheet::AddPlace(const std::string& name) {
  if (PlaceChange check = CheckPlaceName(name); check != PlaceChange::Done) return check;
  if (FindPlaceNumber(name) >= 0) return PlaceChange::NameTaken;
  auto place = std::make_unique<config::Place>();
  place->Number = NextPlaceNumber();
  place->Name = name;
  for (const auto& adapter : Adapters)
    AdapterSettingsList.push_back(config::AdapterSettings::Build(context_, *place, *adapter, true));
  PlaceSettingsList.push_back(
      std::make_unique<config::PlaceSettings>(context_, *place, config::PlaceSource::Pc, true));
  CurrentPlace = place.get();
  Places.push_back(std::move(place));
  return PlaceChange::Done;
}

PlaceChange CVelandraSheet::RenamePlace(config::Place& place, const std::string& name) {
  // The page reports a duplicate standing before the place ahead of an
  // unchanged name; walking the list in order keeps that.
  for (const auto& p : Places) {
    if (p.get() == &place) {
      if (p->Name == name) return PlaceChange::SameName;
    } else if (p->Name == name) {
      return PlaceChange::NameTaken;
    }
  }
  if (PlaceChange check = CheckPlaceName(name); check != PlaceChange::Done) return check;
  place.Name = name;
  return PlaceChange::Done;
}

PlaceChange CVelandraSheet::DeletePlace(config::Place& place) {
  if (Places.size() <= 1) return PlaceChange::OnlyPlace;
  auto it = std::find_if(Places.begin(), Places.end(),
                         [&](const auto& p) { return p.get() == &place; });
  if (it == Places.end()) return PlaceChange::Done;
  const config::ConfigFile& config = context_.Config();
  const uint32_t number = place.Number;
  config::Place* first = (it == Places.begin()) ? Places[1].get() : Places.front().get();

  config::ConfigWriteGuard guard(context_, platform::MessageOwner::MainWindow);
  if (!guard.Begin()) return PlaceChange::WriteFailed;
  bool ok = config.DeleteKey(kPlaceList, "P" + std::to_string(number));
  if (config.ReadInt(config::kLastSection, "LASTPLACE", 0) == static_cast<int>(number))
    ok &= config.WriteString(config::kLastSection, "LASTPLACE", std::to_string(first->Number));
  for (const auto& adapter : Adapters)
    ok &= config.DeleteSection(config::AdapterSectionName(number, adapter->Number));
  ok &= config.DeleteSection("P" + std::to_string(number));
  if (!guard.Finish(ok)) {
    // The file is as it was (or is put back at the next start), and the
    // place stays in memory with it.
    return PlaceChange::WriteFailed;
  }

  std::erase_if(AdapterSettingsList, [&](const auto& s) { return s->Place == &place; });
  std::erase_if(PlaceSettingsList, [&](const auto& s) { return &s->owner == &place; });
  if (CurrentPlace == &place) CurrentPlace = first;
  Places.erase(it);
  return PlaceChange::Done;
}

void CVelandraSheet::RefreshFromPc() {
  if (!CurrentPlace || !CurrentAdapter) return;
  std::erase_if(AdapterSettingsList, [&](const auto& s) {
    return s->Place == CurrentPlace && s->Adapter == CurrentAdapter;
  });
  AdapterSettingsList.push_back(
      config::AdapterSettings::Build(context_, *CurrentPlace, *CurrentAdapter, true));
  std::erase_if(PlaceSettingsList, [&](const auto& s) { return &s->owner == CurrentPlace; });
  PlaceSettingsList.push_back(std::make_unique<config::PlaceSettings>(
      context_, *CurrentPlace, config::PlaceSource::Pc, true));
}

void CVelandraSheet::CompareWithPc(const config::Place& place) {
  for (const auto& adapter : Adapters)
    if (config::AdapterSettings* s = FindAdapterSettings(place, *adapter)) s->CompareWithPc(context_);
}

}  // namespace velandra::ui
