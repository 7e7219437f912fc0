// The native view of the Other page and of its program dialog.
#pragma once
#include <memory>

#include "ui/page_other.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeOtherPageView(CPageOther& page);
// The view of a dialog that the page opens; null for any other model.
std::unique_ptr<DialogView> MakeOtherDialogView(CDialogModel& dialog);

}  // namespace velandra::ui::win32
