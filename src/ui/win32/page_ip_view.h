// The native view of the IP page and of the dialogs it opens.
#pragma once
#include <memory>

#include "ui/page_ip.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeIpPageView(CPageIP& page);
// The view of a dialog that the page opens; null for any other model.
std::unique_ptr<DialogView> MakeIpDialogView(CDialogModel& dialog);

}  // namespace velandra::ui::win32
