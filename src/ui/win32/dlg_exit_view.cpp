#include "ui/win32/dlg_exit_view.h"

#include <string>

#include "ui/resource_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

static_assert(IDD_EXIT == CDlgExit::kTemplateId);

namespace {

constexpr int kUserControls[] = {IDC_EXIT_USER_LABEL, IDC_EXIT_USER, IDC_EXIT_PASSWORD_LABEL,
                                 IDC_EXIT_PASSWORD};

// CDlgExit keeps its own interface (the apply flow and the scripted view
// use it); this gives it the one the Win32 dialog view works.
class ExitModel : public CDialogModel {
 public:
  explicit ExitModel(CDlgExit& dialog) : dialog_(dialog) {}
  uint32_t TemplateId() const override { return IDD_EXIT; }
  void OnInitDialog() override { dialog_.OnInitDialog(); }
  bool OnOK() override { return dialog_.OnOK(); }

 private:
  CDlgExit& dialog_;
};

class ExitView : public DialogView {
 public:
  ExitView(ExitModel& model, CDlgExit& dialog) : DialogView(model), dialog_(dialog) {}

  void Show(HWND hwnd) override {
    SetComboItems(hwnd, IDC_EXIT_MODE, dialog_.ExitModes(), {}, dialog_.ExitMode);
    SetItemChecked(hwnd, IDC_EXIT_POWER_OFF, dialog_.PowerOff != 0);
    SetItemChecked(hwnd, IDC_EXIT_CHANGE_USER, dialog_.ChangeUser != 0);
    SetComboItems(hwnd, IDC_EXIT_USER, dialog_.Users(), {}, dialog_.SelectedUser());
    SetItemText(hwnd, IDC_EXIT_PASSWORD, dialog_.Password);
    const bool enabled = dialog_.UserControlsEnabled();
    for (int id : kUserControls) EnableItem(hwnd, id, enabled);
  }

  bool Read(HWND hwnd) override {
    dialog_.ExitMode = ComboSelection(hwnd, IDC_EXIT_MODE);
    dialog_.PowerOff = ItemChecked(hwnd, IDC_EXIT_POWER_OFF) ? 1 : 0;
    dialog_.ChangeUser = ItemChecked(hwnd, IDC_EXIT_CHANGE_USER) ? 1 : 0;
    dialog_.SelectUser(ComboSelection(hwnd, IDC_EXIT_USER));
    dialog_.Password = ItemText(hwnd, IDC_EXIT_PASSWORD);
    return true;
  }

  bool OnCommand(HWND hwnd, int id, int code) override {
    if (id != IDC_EXIT_CHANGE_USER || code != BN_CLICKED) return false;
    Handle(hwnd, [&] { dialog_.OnChangeUserClicked(dialog_.ChangeUser != 0); });
    return true;
  }

 private:
  CDlgExit& dialog_;
};

}  // namespace

DialogResult Win32ExitDialog::DoModal(CDlgExit& dialog) {
  // The controls are read into the model as the dialog goes: a Cancel must
  // leave nothing of them, so the view works on a copy and OK hands over
  // the exchanged fields.
  CDlgExit working = dialog;
  ExitModel model(working);
  ExitView view(model, working);
  const INT_PTR result = view.Run(module_);
  if (result == IDOK) {
    dialog.ExitMode = working.ExitMode;
    dialog.PowerOff = working.PowerOff;
    dialog.ChangeUser = working.ChangeUser;
    dialog.Password = working.Password;
    dialog.UserName = working.UserName;
    return DialogResult::Ok;
  }
  if (result == -1) {
    const std::string text = "終了方法のダイアログを表示できませんでした (エラー " +
                             std::to_string(GetLastError()) + ")";
    MessageBoxA(GetActiveWindow(), text.c_str(), kExitDialogTitle, MB_ICONERROR | MB_OK);
    return DialogResult::Failed;
  }
  return DialogResult::Cancel;
}

}  // namespace velandra::ui::win32
