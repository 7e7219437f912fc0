// The native exit-mode dialog, template IDD_EXIT, over the CDlgExit model.
#pragma once
#include "system/platform/win32/win_api.h"

#include "ui/dlg_exit.h"

namespace velandra::ui::win32 {

class Win32ExitDialog : public IExitDialog {
 public:
  // The template is resource IDD_EXIT of `module` (the executable when
  // null). The dialog is owned by the active window: the sheet after its
  // OK; none for -d, when it is centred on the screen.
  explicit Win32ExitDialog(HINSTANCE module = nullptr)
      : module_(module ? module : GetModuleHandleA(nullptr)) {}

  // Failed, after a box naming the error, when the dialog cannot be shown.
  DialogResult DoModal(CDlgExit& dialog) override;

 private:
  HINSTANCE module_;
};

}  // namespace velandra::ui::win32
