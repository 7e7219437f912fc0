// The native view of the network drive and share page and of the dialogs
// it opens.
#pragma once
#include <memory>

#include "ui/page_netdrive.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeNetDrivePageView(CPageNetDrive& page);
// The view of a dialog that the page opens; null for any other model.
std::unique_ptr<DialogView> MakeNetDriveDialogView(CDialogModel& dialog);

}  // namespace velandra::ui::win32
