#include "ui/win32/page_setting_view.h"

#include <string>
#include <vector>

#include "ui/win32/controls.h"

namespace velandra::ui::win32 {

namespace {

// Whether drop-down list `id` holds exactly `items`, texts and data.
bool ComboHolds(HWND page, int id, const std::vector<CPageSetting::Item>& items) {
  HWND combo = GetDlgItem(page, id);
  if (!combo) return false;
  if (SendMessageA(combo, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(items.size())) return false;
  for (size_t i = 0; i < items.size(); ++i) {
    const WPARAM at = static_cast<WPARAM>(i);
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, at, 0);
    if (length == CB_ERR) return false;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(combo, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    if (text != items[i].Text) return false;
    if (static_cast<uint32_t>(SendMessageA(combo, CB_GETITEMDATA, at, 0)) != items[i].Data)
      return false;
  }
  return true;
}

// Refills the list only when its items changed: a list refilled while the
// user runs through it with the arrow keys would lose its place.
void ShowCombo(HWND page, int id, const std::vector<CPageSetting::Item>& items, int selected) {
  if (!ComboHolds(page, id, items)) {
    std::vector<std::string> texts;
    std::vector<LPARAM> data;
    for (const CPageSetting::Item& item : items) {
      texts.push_back(item.Text);
      data.push_back(static_cast<LPARAM>(item.Data));
    }
    SetComboItems(page, id, texts, data, selected);
    return;
  }
  if (ComboSelection(page, id) != selected)
    SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

class SettingPageView : public PageView {
 public:
  explicit SettingPageView(CPageSetting& page) : PageView(page), page_(page) {}

  void Show(HWND hwnd) override {
    ShowCombo(hwnd, IDC_SETTING_PLACE, page_.PlaceItems, page_.PlaceSelection);
    ShowCombo(hwnd, IDC_SETTING_ADAPTER, page_.AdapterItems, page_.AdapterSelection);
    SetItemText(hwnd, IDC_SETTING_CONNECTION, page_.ConnectionName);
  }

  bool Read(HWND hwnd) override {
    page_.PlaceSelection = ComboSelection(hwnd, IDC_SETTING_PLACE);
    page_.AdapterSelection = ComboSelection(hwnd, IDC_SETTING_ADAPTER);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code == CBN_SELCHANGE) {
      if (id == IDC_SETTING_PLACE) return Run(hwnd, &CPageSetting::OnPlaceSelChange);
      if (id == IDC_SETTING_ADAPTER) return Run(hwnd, &CPageSetting::OnAdapterSelChange);
      return false;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDC_SETTING_ADD: return Run(hwnd, &CPageSetting::OnAdd);
      case IDC_SETTING_EDIT: return Run(hwnd, &CPageSetting::OnEdit);
      case IDC_SETTING_DELETE: return Run(hwnd, &CPageSetting::OnDelete);
      case IDC_SETTING_GET_CURRENT: return Run(hwnd, &CPageSetting::OnGetCurrent);
      case IDC_SETTING_APPLY_NOW: return Run(hwnd, &CPageSetting::OnApplyNow);
    }
    return false;
  }

 private:
  bool Run(HWND hwnd, void (CPageSetting::*handler)()) {
    Handle(hwnd, [&] { (page_.*handler)(); });
    return true;
  }

  CPageSetting& page_;
};

class PlaceDialogView : public DialogView {
 public:
  explicit PlaceDialogView(CDlgPlace& dialog) : DialogView(dialog), dialog_(dialog) {}

  void Show(HWND hwnd) override { SetItemText(hwnd, IDC_PLACE_NAME, dialog_.Name); }
  bool Read(HWND hwnd) override {
    dialog_.Name = ItemText(hwnd, IDC_PLACE_NAME);
    return true;
  }

 private:
  CDlgPlace& dialog_;
};

}  // namespace

std::unique_ptr<PageView> MakeSettingPageView(CPageSetting& page) {
  return std::make_unique<SettingPageView>(page);
}

std::unique_ptr<DialogView> MakeSettingDialogView(CDialogModel& dialog) {
  if (auto* place = dynamic_cast<CDlgPlace*>(&dialog)) return std::make_unique<PlaceDialogView>(*place);
  return nullptr;
}

}  // namespace velandra::ui::win32
