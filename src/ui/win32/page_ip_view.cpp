#include "ui/win32/page_ip_view.h"

namespace velandra::ui::win32 {

// Not built yet: the sheet shows its stand-in page, the host its refusal.
std::unique_ptr<PageView> MakeIpPageView(CPageIP&) { return nullptr; }
std::unique_ptr<DialogView> MakeIpDialogView(CDialogModel&) { return nullptr; }

}  // namespace velandra::ui::win32
