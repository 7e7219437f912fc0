// The native view of the DNS page and of the dialogs it opens.
#pragma once
#include <memory>

#include "ui/ordered_list.h"
#include "ui/page_dns.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeDnsPageView(CPageDNS& page);
// The view of a dialog that the page opens; null for any other model.
std::unique_ptr<DialogView> MakeDnsDialogView(CDialogModel& dialog);

// The view of a server address dialog (DNS or WINS).
std::unique_ptr<DialogView> MakeServerAddressView(CServerAddressDialog& dialog);

// An ordered list into its list box: the items only when they differ from
// what the box holds (so that its scroll position stays), then the selection.
void ShowOrderedList(HWND dialog, int id, const OrderedList& list);
// The up and down icons on the buttons of a list; a missing icon leaves the
// button's text.
void SetUpDownIcons(HWND dialog, int up, int down);

}  // namespace velandra::ui::win32
