// The native view of the Setting page and of the dialogs it opens.
#pragma once
#include <memory>

#include "ui/page_setting.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeSettingPageView(CPageSetting& page);
// The view of a dialog that the page opens; null for any other model.
std::unique_ptr<DialogView> MakeSettingDialogView(CDialogModel& dialog);

}  // namespace velandra::ui::win32
