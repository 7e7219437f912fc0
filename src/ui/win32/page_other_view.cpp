#include "ui/win32/page_other_view.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "config/hosts_files.h"
#include "ui/resource_ids.h"
#include "ui/win32/controls.h"

namespace velandra::ui::win32 {

namespace {

// The shell wants COM on the thread for its icons.
class ComScope {
 public:
  ComScope() : result_(CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

// The shell's small icon of `path` in the system image list, or
// I_IMAGENONE when the shell has none for it (a path that is not there):
// the row then shows no icon, which tells that the path is missing.
int ShellIconOf(const std::string& path) {
  SHFILEINFOA info{};
  if (path.empty() || !SHGetFileInfoA(path.c_str(), 0, &info, sizeof info,
                                      SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
    return I_IMAGENONE;
  return info.iIcon;
}

void SelectOnly(HWND list, int row) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = 0;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  if (row < 0) return;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

class OtherPageView : public PageView {
 public:
  explicit OtherPageView(CPageOther& page) : PageView(page), page_(page) {}

  void Prepare(HWND hwnd) override {
    LimitText(hwnd, IDC_OTHER_HOSTS, config::kMaxHostsPath);
    LimitText(hwnd, IDC_OTHER_LMHOSTS, config::kMaxHostsPath);
    HWND list = GetDlgItem(hwnd, IDC_OTHER_PROGRAM_LIST);
    if (!list) return;
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const char* const titles[] = {kColumnProgram, kColumnArguments, kColumnType,
                                  kColumnDirectory, kColumnWindowSize};
    for (int i = 0; i < 5; ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      column.cx = kProgramColumnWidths[i];
      column.pszText = const_cast<char*>(titles[i]);
      column.iSubItem = i;
      SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&column));
    }
    // The shell's own list of small icons, shared (the template says
    // LVS_SHAREIMAGELISTS): the list view must not destroy it.
    const ComScope com;
    SHFILEINFOA info{};
    const auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(".exe", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    if (icons) ListView_SetImageList(list, icons, LVSIL_SMALL);
  }

  void Show(HWND hwnd) override {
    SetItemText(hwnd, IDC_OTHER_HOSTS, page_.Hosts);
    SetItemText(hwnd, IDC_OTHER_LMHOSTS, page_.Lmhosts);
    HWND list = GetDlgItem(hwnd, IDC_OTHER_PROGRAM_LIST);
    if (!list) return;
    // Filled again only when the rows changed, so that the user's several
    // selected rows and the scroll position stay.
    if (page_.Rows != shown_) {
      FillList(list);
      SelectOnly(list, page_.Selection);
    } else if (ListViewSelection(hwnd, IDC_OTHER_PROGRAM_LIST) != page_.Selection) {
      SelectOnly(list, page_.Selection);
    }
  }

  bool Read(HWND hwnd) override {
    page_.Hosts = ItemText(hwnd, IDC_OTHER_HOSTS);
    page_.Lmhosts = ItemText(hwnd, IDC_OTHER_LMHOSTS);
    page_.Selection = ListViewSelection(hwnd, IDC_OTHER_PROGRAM_LIST);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code != BN_CLICKED) return false;
    void (CPageOther::*handler)() = nullptr;
    switch (id) {
      case IDC_OTHER_HOSTS_COPY: handler = &CPageOther::OnHostsCopy; break;
      case IDC_OTHER_HOSTS_EDIT: handler = &CPageOther::OnHostsEdit; break;
      case IDC_OTHER_LMHOSTS_COPY: handler = &CPageOther::OnLmhostsCopy; break;
      case IDC_OTHER_LMHOSTS_EDIT: handler = &CPageOther::OnLmhostsEdit; break;
      case IDC_OTHER_PROGRAM_ADD: handler = &CPageOther::OnAdd; break;
      case IDC_OTHER_PROGRAM_EDIT: handler = &CPageOther::OnEdit; break;
      case IDC_OTHER_PROGRAM_DELETE: handler = &CPageOther::OnDelete; break;
      default: return false;
    }
    Handle(hwnd, [&] { (page_.*handler)(); });
    return true;
  }

 private:
  void FillList(HWND list) {
    const ComScope com;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t r = 0; r < page_.Rows.size(); ++r) {
      const ProgramRow& row = page_.Rows[r];
      const std::string* texts[] = {&row.Path, &row.Arguments, &row.TypeText, &row.Directory,
                                    &row.SizeText};
      for (int c = 0; c < 5; ++c) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(r);
        item.iSubItem = c;
        item.pszText = const_cast<char*>(texts[c]->c_str());
        if (c == 0) {
          item.mask |= LVIF_IMAGE;
          item.iImage = ShellIconOf(row.Path);
        }
        SendMessageA(list, c == 0 ? LVM_INSERTITEMA : LVM_SETITEMA, 0,
                     reinterpret_cast<LPARAM>(&item));
      }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    shown_ = page_.Rows;
  }

  CPageOther& page_;
  std::vector<ProgramRow> shown_;
};

constexpr int kBrowseButtons[] = {IDC_PROGRAM_BROWSE_PROGRAM, IDC_PROGRAM_BROWSE_FOLDER,
                                  IDC_PROGRAM_BROWSE_FILE};

class ProgramDialogView : public DialogView {
 public:
  explicit ProgramDialogView(CDlgProgram& dialog) : DialogView(dialog), dialog_(dialog) {}

  void Prepare(HWND hwnd) override {
    LimitText(hwnd, IDC_PROGRAM_PATH, kMaxProgramPath);
    LimitText(hwnd, IDC_PROGRAM_ARGUMENTS, kMaxProgramArguments);
    LimitText(hwnd, IDC_PROGRAM_DIRECTORY, kMaxProgramPath);
    SetComboItems(hwnd, IDC_PROGRAM_SIZE, CDlgProgram::SizeItems(), {}, -1);
  }

  void Show(HWND hwnd) override {
    char title[128] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (dialog_.Title != title) SetWindowTextA(hwnd, dialog_.Title.c_str());
    SetRadioIndex(hwnd, {IDC_PROGRAM_TYPE_PROGRAM, IDC_PROGRAM_TYPE_FOLDER, IDC_PROGRAM_TYPE_FILE},
                  dialog_.Type);
    SetItemText(hwnd, IDC_PROGRAM_PATH_LABEL, dialog_.PathLabel);
    // A hidden button is disabled too, so that its mnemonic does nothing.
    for (int button : kBrowseButtons) {
      const bool shown = button == dialog_.BrowseShown;
      if (HWND item = GetDlgItem(hwnd, button)) ShowWindow(item, shown ? SW_SHOWNA : SW_HIDE);
      EnableItem(hwnd, button, shown);
    }
    SetItemText(hwnd, IDC_PROGRAM_PATH, dialog_.Path);
    SetItemText(hwnd, IDC_PROGRAM_ARGUMENTS, dialog_.Arguments);
    SetItemText(hwnd, IDC_PROGRAM_DIRECTORY, dialog_.Directory);
    EnableItems(hwnd,
                {IDC_PROGRAM_ARGUMENTS_LABEL, IDC_PROGRAM_ARGUMENTS, IDC_PROGRAM_DIRECTORY_LABEL,
                 IDC_PROGRAM_DIRECTORY, IDC_PROGRAM_BROWSE_DIRECTORY},
                dialog_.DetailsEnabled);
    if (ComboSelection(hwnd, IDC_PROGRAM_SIZE) != dialog_.SizeChoice)
      SendDlgItemMessageA(hwnd, IDC_PROGRAM_SIZE, CB_SETCURSEL,
                          static_cast<WPARAM>(dialog_.SizeChoice), 0);
  }

  bool Read(HWND hwnd) override {
    dialog_.Type = RadioIndex(
        hwnd, {IDC_PROGRAM_TYPE_PROGRAM, IDC_PROGRAM_TYPE_FOLDER, IDC_PROGRAM_TYPE_FILE});
    dialog_.Path = ItemText(hwnd, IDC_PROGRAM_PATH);
    dialog_.Arguments = ItemText(hwnd, IDC_PROGRAM_ARGUMENTS);
    dialog_.Directory = ItemText(hwnd, IDC_PROGRAM_DIRECTORY);
    dialog_.SizeChoice = ComboSelection(hwnd, IDC_PROGRAM_SIZE);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (code != BN_CLICKED) return false;
    void (CDlgProgram::*handler)() = nullptr;
    switch (id) {
      case IDC_PROGRAM_TYPE_PROGRAM:
      case IDC_PROGRAM_TYPE_FOLDER:
      case IDC_PROGRAM_TYPE_FILE: handler = &CDlgProgram::OnTypeClicked; break;
      case IDC_PROGRAM_BROWSE_PROGRAM: handler = &CDlgProgram::OnBrowseProgram; break;
      case IDC_PROGRAM_BROWSE_FOLDER: handler = &CDlgProgram::OnBrowseFolder; break;
      case IDC_PROGRAM_BROWSE_FILE: handler = &CDlgProgram::OnBrowseFile; break;
      case IDC_PROGRAM_BROWSE_DIRECTORY: handler = &CDlgProgram::OnBrowseDirectory; break;
      default: return false;
    }
    Handle(hwnd, [&] { (dialog_.*handler)(); });
    return true;
  }

 private:
  CDlgProgram& dialog_;
};

}  // namespace

std::unique_ptr<PageView> MakeOtherPageView(CPageOther& page) {
  return std::make_unique<OtherPageView>(page);
}

std::unique_ptr<DialogView> MakeOtherDialogView(CDialogModel& dialog) {
  if (auto* program = dynamic_cast<CDlgProgram*>(&dialog))
    return std::make_unique<ProgramDialogView>(*program);
  return nullptr;
}

}  // namespace velandra::ui::win32
