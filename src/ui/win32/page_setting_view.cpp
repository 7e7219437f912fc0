#include "ui/win32/page_setting_view.h"

namespace velandra::ui::win32 {

// Not built yet: the sheet shows its stand-in page, the host its refusal.
std::unique_ptr<PageView> MakeSettingPageView(CPageSetting&) { return nullptr; }
std::unique_ptr<DialogView> MakeSettingDialogView(CDialogModel&) { return nullptr; }

}  // namespace velandra::ui::win32
