// The native view of the WINS page and of the dialogs it opens.
#pragma once
#include <memory>

#include "ui/page_wins.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeWinsPageView(CPageWINS& page);
// The view of a dialog that the page opens; null for any other model.
std::unique_ptr<DialogView> MakeWinsDialogView(CDialogModel& dialog);

}  // namespace velandra::ui::win32
