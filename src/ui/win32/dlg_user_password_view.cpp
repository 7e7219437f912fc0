#include "ui/win32/dlg_user_password_view.h"

#include <string>

#include "ui/resource_ids.h"

namespace velandra::ui {

static_assert(IDD_USER_PASSWORD == CDlgUserPassword::kTemplateId);

namespace {

bool ReadItemText(HWND dialog, int id, std::string& text) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return false;
  // The length is an upper bound for ANSI text; the copy gives the true one.
  const int length = GetWindowTextLengthA(item);
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(item, buffer.data(), length + 1);
  buffer.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
  text = std::move(buffer);
  return true;
}

// Fields to controls, in the model's order.
void Fill(HWND hwnd, const CDlgUserPassword& dialog) {
  SetDlgItemTextA(hwnd, IDC_USER_PASSWORD_USER, dialog.UserName.c_str());
  SetDlgItemTextA(hwnd, IDC_USER_PASSWORD_PASSWORD, dialog.Password.c_str());
  SetDlgItemTextA(hwnd, IDC_USER_PASSWORD_MESSAGE, dialog.Message.c_str());
  HWND focus = GetDlgItem(hwnd, dialog.Focus == 1 ? IDC_USER_PASSWORD_PASSWORD
                                                  : IDC_USER_PASSWORD_USER);
  SetFocus(focus);
  SendMessageA(focus, EM_SETSEL, 0, -1);
}

// Controls to fields, in the model's order; the model changes only when
// every field was read.
bool Take(HWND hwnd, CDlgUserPassword& dialog) {
  std::string user, password, message;
  if (!ReadItemText(hwnd, IDC_USER_PASSWORD_USER, user) ||
      !ReadItemText(hwnd, IDC_USER_PASSWORD_PASSWORD, password) ||
      !ReadItemText(hwnd, IDC_USER_PASSWORD_MESSAGE, message))
    return false;
  dialog.UserName = std::move(user);
  dialog.Password = std::move(password);
  dialog.Message = std::move(message);
  return true;
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Nothing may leave a dialog procedure: a failure ends the dialog as
  // cancelled, the model untouched.
  try {
    switch (message) {
      case WM_INITDIALOG:
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        Fill(hwnd, *reinterpret_cast<const CDlgUserPassword*>(lParam));
        return FALSE;  // focus already placed by Fill
      case WM_COMMAND: {
        auto* dialog = reinterpret_cast<CDlgUserPassword*>(GetWindowLongPtrA(hwnd, DWLP_USER));
        if (LOWORD(wParam) == IDOK) {
          EndDialog(hwnd, dialog && Take(hwnd, *dialog) ? IDOK : IDCANCEL);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          EndDialog(hwnd, IDCANCEL);
          return TRUE;
        }
        break;
      }
    }
  } catch (...) {
    EndDialog(hwnd, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

Win32UserPasswordDialog::Win32UserPasswordDialog(HINSTANCE module, HWND owner)
    : module_(module ? module : GetModuleHandleA(nullptr)), owner_(owner) {}

Win32UserPasswordDialog::Win32UserPasswordDialog(const DLGTEMPLATE* dialogTemplate, HWND owner)
    : module_(GetModuleHandleA(nullptr)), owner_(owner), template_(dialogTemplate) {}

bool Win32UserPasswordDialog::DoModal(CDlgUserPassword& dialog) {
  const LPARAM param = reinterpret_cast<LPARAM>(&dialog);
  const INT_PTR result =
      template_ ? DialogBoxIndirectParamA(module_, template_, owner_, DialogProc, param)
                : DialogBoxParamA(module_, MAKEINTRESOURCEA(IDD_USER_PASSWORD), owner_,
                                  DialogProc, param);
  return result == IDOK;
}

}  // namespace velandra::ui
