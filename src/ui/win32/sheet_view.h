// The main sheet's window: a modal comctl32 property sheet over the page
// models.
#pragma once
#include "system/platform/win32/win_api.h"

#include <memory>

#include "ui/sheet_pages.h"
#include "ui/sheet_window.h"
#include "ui/win32/view_base.h"

namespace velandra::platform::win32 {
class Win32Messages;
}

namespace velandra::ui {
class IExitDialog;
class IUserPasswordDialog;
}

namespace velandra::ui::win32 {

class Win32SheetWindow : public ISheetWindow {
 public:
  // Templates, icons and the cursor come from `module`. `exitDialog` and
  // `logonDialog` serve the apply flow of OK. With `boxes`, the sheet is the
  // owner of its message boxes while it is up.
  Win32SheetWindow(HINSTANCE module, IExitDialog* exitDialog, IUserPasswordDialog& logonDialog,
                   platform::win32::Win32Messages* boxes = nullptr)
      : module_(module), exitDialog_(exitDialog), logonDialog_(logonDialog), boxes_(boxes) {}

  // The sheet "Velandra" with its tabs in order, from the first page, until
  // OK or Cancel. False, after a box saying so, when it cannot be shown.
  bool DoModal(CVelandraSheet& sheet) override;

 private:
  static int CALLBACK SheetCallback(HWND, UINT, LPARAM);

  HINSTANCE module_;
  IExitDialog* exitDialog_;
  IUserPasswordDialog& logonDialog_;
  platform::win32::Win32Messages* boxes_;
};

// The About page's view.
std::unique_ptr<PageView> MakeAboutPageView(CPageAbout& page, HINSTANCE module);

// The classes of common controls the pages use; true when registered.
bool InitSheetControls();

}  // namespace velandra::ui::win32
