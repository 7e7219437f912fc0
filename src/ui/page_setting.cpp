#include "ui/page_setting.h"

#include <algorithm>

#include "apply/apply_flow.h"
#include "apply/change_batch.h"
#include "system/place_settings_pc.h"
#include "system/platform/platform.h"
#include "ui/ordered_list.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

namespace {

platform::MessageAnswer Show(platform::Platform& platform, const std::string& text,
                             platform::MessageIcon icon,
                             platform::MessageButtons buttons = platform::MessageButtons::Ok) {
  return platform.messages.Show(platform::MessageOwner::MainWindow, text, kCaption, icon,
                                buttons);
}

}  // namespace

bool CDlgPlace::OnOK() {
  // An empty name gets the dialog's own word; the rest are the names the
  // sheet would refuse after the dialog had closed, taking the typed text
  // with it.
  const PlaceChange check = CheckPlaceName(Name);
  if (check == PlaceChange::Done) return true;
  Show(platform_, PlaceChangeMessage(check), platform::MessageIcon::Warning);
  Focus = IDC_PLACE_NAME;
  return false;
}

void CPageSetting::Warn(const std::string& text) const {
  Show(sheet_.GetContext().Platform(), text, platform::MessageIcon::Warning);
}

void CPageSetting::Inform(const std::string& text) const {
  Show(sheet_.GetContext().Platform(), text, platform::MessageIcon::Information);
}

void CPageSetting::WarnRefusal(PlaceChange change) const {
  // A write failure has been told, with the file's path, where it happened.
  const std::string text = PlaceChangeMessage(change);
  if (!text.empty()) Warn(text);
}

bool CPageSetting::AskYes(const std::string& text) const {
  return Show(sheet_.GetContext().Platform(), text, platform::MessageIcon::Question,
              platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes;
}

config::Place* CPageSetting::SelectedPlace() const {
  if (!Selected(PlaceSelection, PlaceItems.size())) return nullptr;
  return sheet_.FindPlace(PlaceItems[static_cast<size_t>(PlaceSelection)].Data);
}

void CPageSetting::OnInitDialog() {
  PlaceItems.clear();
  PlaceSelection = -1;
  for (const auto& place : sheet_.Places) {
    if (place.get() == sheet_.CurrentPlace) PlaceSelection = static_cast<int>(PlaceItems.size());
    PlaceItems.push_back({place->Name, place->Number});
  }
  if (PlaceSelection < 0 && !PlaceItems.empty()) PlaceSelection = 0;

  AdapterItems.clear();
  AdapterSelection = -1;
  if (sheet_.Adapters.empty()) return;
  for (const auto& adapter : sheet_.Adapters) {
    if (adapter.get() == sheet_.CurrentAdapter)
      AdapterSelection = static_cast<int>(AdapterItems.size());
    AdapterItems.push_back({adapter->DriverDesc, adapter->Number});
  }
  if (AdapterSelection < 0) AdapterSelection = 0;
  ConnectionName = sheet_.Adapters[static_cast<size_t>(AdapterSelection)]->ConnectionName;
}

void CPageSetting::OnPlaceSelChange() {
  if (config::Place* place = SelectedPlace()) sheet_.CurrentPlace = place;
}

void CPageSetting::OnAdapterSelChange() {
  if (!Selected(AdapterSelection, AdapterItems.size())) return;
  AdapterInfo* adapter =
      sheet_.FindAdapter(AdapterItems[static_cast<size_t>(AdapterSelection)].Data);
  if (!adapter) return;
  sheet_.CurrentAdapter = adapter;
  ConnectionName = adapter->ConnectionName;
}

bool CPageSetting::OnKillActive() {
  OnPlaceSelChange();
  if (Selected(AdapterSelection, AdapterItems.size())) {
    if (AdapterInfo* adapter =
            sheet_.FindAdapter(AdapterItems[static_cast<size_t>(AdapterSelection)].Data))
      sheet_.CurrentAdapter = adapter;
  }
  return true;
}

void CPageSetting::OnAdd() {
  CDlgPlace dialog(sheet_.GetContext().Platform());
  if (!dialogs_.DoModal(dialog)) return;
  for (const Item& item : PlaceItems) {
    if (item.Text == dialog.Name) {
      Warn(kMsgPlaceExists);
      return;
    }
  }
  // The sheet numbers the place, builds its records from the PC and makes
  // it current; nothing is written before the sheet's OK.
  const PlaceChange change = sheet_.AddPlace(dialog.Name);
  if (change != PlaceChange::Done) {
    WarnRefusal(change);
    return;
  }
  PlaceItems.push_back({sheet_.CurrentPlace->Name, sheet_.CurrentPlace->Number});
  PlaceSelection = static_cast<int>(PlaceItems.size()) - 1;
}

void CPageSetting::OnEdit() {
  if (!Selected(PlaceSelection, PlaceItems.size())) {
    Warn(kMsgSelectPlaceToEdit);
    return;
  }
  const size_t selected = static_cast<size_t>(PlaceSelection);
  CDlgPlace dialog(sheet_.GetContext().Platform(), PlaceItems[selected].Text);
  if (!dialogs_.DoModal(dialog)) return;
  // In list order, so that a duplicate before the selected item is told
  // before an unchanged name.
  for (size_t i = 0; i < PlaceItems.size(); ++i) {
    if (PlaceItems[i].Text != dialog.Name) continue;
    Warn(i == selected ? kMsgNotChanged : kMsgPlaceExists);
    return;
  }
  config::Place* place = sheet_.FindPlace(PlaceItems[selected].Data);
  if (!place) return;
  const PlaceChange change = sheet_.RenamePlace(*place, dialog.Name);
  if (change != PlaceChange::Done) {
    WarnRefusal(change);
    return;
  }
  // The place keeps its Number, and with it its sections in the file.
  PlaceItems[selected].Text = place->Name;
}

void CPageSetting::OnDelete() {
  if (!AskYes(kMsgConfirmDelete)) {
    Inform(kMsgDeleteCancelled);
    return;
  }
  if (PlaceItems.size() == 1) {
    Warn(kMsgOnlyPlace);
    return;
  }
  if (!Selected(PlaceSelection, PlaceItems.size())) {
    Warn(kMsgSelectPlaceToDelete);
    return;
  }
  config::Place* place = SelectedPlace();
  if (!place) return;
  // The file first: when it cannot be changed the place stays, in the list
  // too, and the sheet has said so.
  const PlaceChange change = sheet_.DeletePlace(*place);
  if (change != PlaceChange::Done) {
    WarnRefusal(change);
    return;
  }
  PlaceItems.erase(PlaceItems.begin() + PlaceSelection);
  PlaceSelection = PlaceItems.empty() ? -1 : 0;
  if (config::Place* first = SelectedPlace()) sheet_.CurrentPlace = first;
}

void CPageSetting::OnGetCurrent() {
  if (!AskYes(kMsgConfirmGetCurrent)) {
    Inform(kMsgGetCurrentCancelled);
    return;
  }
  sheet_.RefreshFromPc();
}

void CPageSetting::OnApplyNow() {
  config::Place* place = SelectedPlace();
  if (!place) {
    Warn(kMsgSelectPlaceToApply);
    return;
  }
  Context& context = sheet_.GetContext();
  if (context.DiffCheck) {
    config::PlaceSettings* record = sheet_.FindPlaceSettings(*place);
    if (!record) {
      Warn(apply::kMsgNoPlaceRecord + place->Name);
      return;
    }
    // The comparisons leave ChangeKind and the Same flags in the records,
    // from which the batch leaves out what is already so.
    sheet_.CompareWithPc(*place);
    uint32_t adapters = 0;
    for (const auto& adapter : sheet_.Adapters)
      if (const config::AdapterSettings* s = sheet_.FindAdapterSettings(*place, *adapter))
        adapters = std::max(adapters, s->ChangeKind);
    const uint32_t placeWide = CompareWithPC(context, *record);
    if (adapters < 1 && placeWide < 1) {
      Inform(apply::kMsgNothingToChange);
      return;
    }
  }
  // Reports its own failures; the configuration file is not written.
  apply::RunChangeBatch(sheet_, *place);
}

void CPageSetting::OnOK() {
  Applied = apply::CApplyFlow(sheet_, exitDialog_, logonDialog_).ApplyPlace(true);
}

}  // namespace velandra::ui
