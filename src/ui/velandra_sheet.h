// The main sheet's data, apart from any window: it owns every record while
// the program runs (places, adapters, the settings of every place and
// adapter, the common options), keeps the current place and adapter, and
// loads and saves them all.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/adapter_settings.h"
#include "config/common_settings.h"
#include "config/place_settings.h"
#include "config/places.h"
#include "system/adapter_info.h"
#include "system/context.h"

namespace velandra::ui {

inline constexpr char kMsgNoAdapter[] = "ネットワークアダプタが見つかりませんでした";
inline constexpr char kMsgPlaceExists[] = "入力された場所はすでに存在しています";
inline constexpr char kMsgNotChanged[] = "変更されていません";
inline constexpr char kMsgOnlyPlace[] = "場所情報は最低１つは必要ですので削除できません";
inline constexpr char kMsgPlaceNameEmpty[] = "場所の名前を入力してください";
// A name the configuration file would not give back as it was typed.
inline constexpr char kMsgPlaceNameUnusable[] =
    "場所の名前に改行などの制御文字、前後の空白、前後を囲む引用符、"
    "正しくない文字は使えません";
inline constexpr char kMsgPlaceNameTooLong[] = "場所の名前は64バイト(全角32文字)までです";
// A write outside the guarded runs (save all and the deletion of a place have
// their own messages, config/config_backup.h) failed.
inline constexpr char kMsgSaveFailed[] =
    "設定ファイルに書き込めませんでした。設定の一部が保存されていない可能性があります: ";

// The longest place name, in bytes: it goes into file names beside the
// executable and into command lines, which all have a length limit.
inline constexpr size_t kMaxPlaceName = 64;

enum class PlaceChange {
  Done,
  NameTaken,      // another place has exactly that name
  SameName,       // renamed to its own name
  OnlyPlace,      // the last place cannot be deleted
  EmptyName,
  UnusableName,   // see kMsgPlaceNameUnusable
  NameTooLong,
  WriteFailed,    // delete could not change the file
};
// The message that a refusal shows (warning icon); empty for Done and for
// WriteFailed, whose message the sheet has shown already.
std::string PlaceChangeMessage(PlaceChange change);
// Why `name` cannot be a place's name, or Done.
PlaceChange CheckPlaceName(const std::string& name);

class CVelandraSheet {
 public:
  explicit CVelandraSheet(Context& context) : context_(context) {}
  CVelandraSheet(const CVelandraSheet&) = delete;
  CVelandraSheet& operator=(const CVelandraSheet&) = delete;

  // Load all: first the file is put back if the last save was cut short;
  // then the common options, the places, the current place, the PC's
  // adapters, the current adapter, then for every place one settings record
  // per adapter and its place-wide record. False, after "ネットワークアダプタが見つかりませんでした",
  // when the PC has no adapter; nothing further is loaded then.
  bool LoadAll();
  // Save all, key by key over the file, in the fixed order, guarded by a
  // whole copy of the file (config/config_backup.h). False, after a warning,
  // when the copy could not be written (the file is then untouched) or a
  // write failed (the file is then put back as it was).
  bool SaveAll();

  // Lookups, linear and first match wins.
  config::Place* FindPlace(uint32_t number) const;
  int64_t FindPlaceNumber(const std::string& name) const;
  AdapterInfo* FindAdapter(uint32_t number) const;
  config::AdapterSettings* FindAdapterSettings(const config::Place& place,
                                               const AdapterInfo& adapter) const;
  config::PlaceSettings* FindPlaceSettings(const config::Place& place) const;
  uint32_t NextPlaceNumber() const;

  // Place operations. Add and rename change only memory; delete changes the
  // file at once. A refused change changes nothing; the caller shows the
  // refusal's message.
  PlaceChange AddPlace(const std::string& name);
  PlaceChange RenamePlace(config::Place& place, const std::string& name);
  PlaceChange DeletePlace(config::Place& place);
  // The current place's settings for the current adapter, and its
  // place-wide settings, read anew from the PC.
  void RefreshFromPc();
  // Compares every adapter's settings of `place` with the PC (DIFFCHECK).
  void CompareWithPc(const config::Place& place);

  Context& GetContext() const { return context_; }

  config::PlaceList Places;
  AdapterList Adapters;
  config::Place* CurrentPlace = nullptr;
  AdapterInfo* CurrentAdapter = nullptr;
  std::vector<std::unique_ptr<config::AdapterSettings>> AdapterSettingsList;
  std::vector<std::unique_ptr<config::PlaceSettings>> PlaceSettingsList;
  config::CommonSettings Common;

 private:
  Context& context_;
};

}  // namespace velandra::ui
