// The native views of the Option and Proxy pages.
#pragma once
#include <memory>

#include "ui/page_option.h"
#include "ui/win32/view_base.h"

namespace velandra::ui::win32 {

std::unique_ptr<PageView> MakeOptionPageView(CPageOption& page);
std::unique_ptr<PageView> MakeProxyPageView(CPageProxy& page);

}  // namespace velandra::ui::win32
