// IMessages over user32's MessageBoxA.
#pragma once
#include <string>

#include "system/platform/messages.h"
#include "system/platform/win32/handles.h"

namespace velandra::platform::win32 {

class Win32Messages : public IMessages {
 public:
  // Owner of the boxes shown with MessageOwner::MainWindow; until it is set
  // they have no owner.
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  HWND MainWindow() const { return mainWindow_; }

  // A box that cannot be shown answers Cancel.
  MessageAnswer Show(MessageOwner owner, const std::string& text,
                     const std::string& caption, MessageIcon icon,
                     MessageButtons buttons) override;

 private:
  HWND mainWindow_ = nullptr;
};

// The MessageBoxA style for an icon and buttons.
UINT MessageBoxStyle(MessageIcon icon, MessageButtons buttons);

}  // namespace velandra::platform::win32
