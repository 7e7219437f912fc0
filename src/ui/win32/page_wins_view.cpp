#include "ui/win32/page_wins_view.h"

namespace velandra::ui::win32 {

// Not built yet: the sheet shows its stand-in page, the host its refusal.
std::unique_ptr<PageView> MakeWinsPageView(CPageWINS&) { return nullptr; }
std::unique_ptr<DialogView> MakeWinsDialogView(CDialogModel&) { return nullptr; }

}  // namespace velandra::ui::win32
