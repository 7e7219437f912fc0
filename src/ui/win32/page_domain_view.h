// The native view of the Domain page and of the account dialog it opens.
#pragma once
#include <memory>

#include "ui/page_domain.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeDomainPageView(CPageDomain& page);
// The view of a dialog that the page opens; null for any other model.
std::unique_ptr<DialogView> MakeDomainDialogView(CDialogModel& dialog);

}  // namespace velandra::ui::win32
