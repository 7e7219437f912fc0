#include "ui/win32/page_option_view.h"

#include <string>
#include <vector>

#include "ui/resource_ids.h"
#include "ui/win32/controls.h"

namespace velandra::ui::win32 {

namespace {

class OptionPageView : public PageView {
 public:
  explicit OptionPageView(CPageOption& page) : PageView(page), page_(page) {}

  void Prepare(HWND hwnd) override {
    SendDlgItemMessageA(hwnd, IDC_OPTION_EDITOR, EM_LIMITTEXT, kMaxEditor, 0);
  }

  void Show(HWND hwnd) override {
    SetItemChecked(hwnd, IDC_OPTION_NO_ADMIN_CHECK, page_.NoAdminCheck);
    SetItemChecked(hwnd, IDC_OPTION_DIFF_CHECK, page_.DiffCheck);
    SetItemChecked(hwnd, IDC_OPTION_HIDE_PROMPT, page_.HidePrompt);
    SetItemChecked(hwnd, IDC_OPTION_DELETE_BAT, page_.DeleteBat);
    SetItemText(hwnd, IDC_OPTION_EDITOR, page_.Editor);
    SetItemText(hwnd, IDC_OPTION_WAIT, page_.WaitTime);
  }

  bool Read(HWND hwnd) override {
    page_.NoAdminCheck = ItemChecked(hwnd, IDC_OPTION_NO_ADMIN_CHECK);
    page_.DiffCheck = ItemChecked(hwnd, IDC_OPTION_DIFF_CHECK);
    page_.HidePrompt = ItemChecked(hwnd, IDC_OPTION_HIDE_PROMPT);
    page_.DeleteBat = ItemChecked(hwnd, IDC_OPTION_DELETE_BAT);
    page_.Editor = ItemText(hwnd, IDC_OPTION_EDITOR);
    page_.WaitTime = NumberText(hwnd, IDC_OPTION_WAIT);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (id != IDC_OPTION_BROWSE || code != BN_CLICKED) return false;
    Handle(hwnd, [&] { page_.OnBrowse(); });
    return true;
  }

 private:
  CPageOption& page_;
};

class ProxyPageView : public PageView {
 public:
  explicit ProxyPageView(CPageProxy& page) : PageView(page), page_(page) {}

  void Show(HWND hwnd) override {
    SetComboItems(hwnd, IDC_PROXY_NAME, page_.Names, {}, page_.Selected);
    SetItemChecked(hwnd, IDC_PROXY_DISABLE, page_.Disable);
    EnableItem(hwnd, IDC_PROXY_NAME, page_.ListEnabled);
  }

  bool Read(HWND hwnd) override {
    page_.Selected = ComboSelection(hwnd, IDC_PROXY_NAME);
    page_.Disable = ItemChecked(hwnd, IDC_PROXY_DISABLE);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (id != IDC_PROXY_DISABLE || code != BN_CLICKED) return false;
    Handle(hwnd, [&] { page_.OnDisableClicked(); });
    return true;
  }

 private:
  CPageProxy& page_;
};

}  // namespace

std::unique_ptr<PageView> MakeOptionPageView(CPageOption& page) {
  return std::make_unique<OptionPageView>(page);
}

std::unique_ptr<PageView> MakeProxyPageView(CPageProxy& page) {
  return std::make_unique<ProxyPageView>(page);
}

}  // namespace velandra::ui::win32
