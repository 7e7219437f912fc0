#include "system/platform/win32/win32_messages.h"

namespace velandra::platform::win32 {

UINT MessageBoxStyle(MessageIcon icon, MessageButtons buttons) {
  UINT style = 0;
  switch (icon) {
    case MessageIcon::Error: style = MB_ICONERROR; break;
    case MessageIcon::Warning: style = MB_ICONWARNING; break;
    case MessageIcon::Information: style = MB_ICONINFORMATION; break;
    case MessageIcon::Question: style = MB_ICONQUESTION; break;
  }
  switch (buttons) {
    case MessageButtons::Ok: style |= MB_OK; break;
    case MessageButtons::YesNo: style |= MB_YESNO; break;
  }
  return style;
}

MessageAnswer Win32Messages::Show(MessageOwner owner, const std::string& text,
                                  const std::string& caption, MessageIcon icon,
                                  MessageButtons buttons) {
  // A box of the main window belongs to whatever window of ours is active:
  // the sheet, or a dialog over it, which must not stay usable behind it.
  HWND window = nullptr;
  if (owner == MessageOwner::MainWindow) {
    HWND active = GetActiveWindow();
    window = active ? active : mainWindow_;
  }
  // c_str() stops at an embedded zero: the box shows the text up to there.
  switch (::MessageBoxA(window, text.c_str(), caption.c_str(),
                        MessageBoxStyle(icon, buttons))) {
    case IDOK: return MessageAnswer::Ok;
    case IDYES: return MessageAnswer::Yes;
    case IDNO: return MessageAnswer::No;
    default: return MessageAnswer::Cancel;
  }
}

}  // namespace velandra::platform::win32
