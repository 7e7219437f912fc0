// The native view of the DNS page and of the dialogs it opens.
#pragma once
#include <memory>

#include "ui/page_dns.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeDnsPageView(CPageDNS& page);
// The view of a dialog that the page opens; null for any other model.
std::unique_ptr<DialogView> MakeDnsDialogView(CDialogModel& dialog);

}  // namespace velandra::ui::win32
