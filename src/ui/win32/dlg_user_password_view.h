// The native user name and password dialog, template IDD_USER_PASSWORD.
#pragma once
#include "system/platform/win32/win_api.h"

#include "ui/dlg_user_password.h"

namespace velandra::ui {

class Win32UserPasswordDialog : public ui::IUserPasswordDialog {
 public:
  // The template is resource IDD_USER_PASSWORD of `module` (the executable
  // when null). With no owner the dialog is centred on the screen and brought
  // to the foreground: the logon prompt of -logon has no window behind it.
  explicit Win32UserPasswordDialog(HINSTANCE module = nullptr, HWND owner = nullptr);
  // A template given in memory (DLGTEMPLATE or DLGTEMPLATEEX) with the same
  // control ids; it must outlive DoModal.
  Win32UserPasswordDialog(const DLGTEMPLATE* dialogTemplate, HWND owner);

  // False on Cancel and when the dialog cannot be created (no template, no
  // window station); GetLastError() then tells which.
  bool DoModal(CDlgUserPassword& dialog) override;

 private:
  HINSTANCE module_;
  HWND owner_;
  const DLGTEMPLATE* template_ = nullptr;
};

}  // namespace velandra::ui
