// The native views of the share permission dialog and of the user name
// dialog it opens.
#pragma once
#include <memory>

#include "ui/dlg_share_permission.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

// The view of either dialog; null for any other model.
std::unique_ptr<DialogView> MakeSharePermissionDialogView(CDialogModel& dialog);

}  // namespace velandra::ui::win32
