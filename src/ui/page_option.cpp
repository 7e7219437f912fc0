#include "ui/page_option.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "config/place_settings.h"
#include "ui/ordered_list.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

bool CPageOption::ParseWaitTime(const std::string& text, int& value) {
  // Only digits: a pasted sign, blank or letter is no number of milliseconds.
  if (text.empty()) return false;
  int64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
    if (number > std::numeric_limits<int>::max()) return false;
  }
  value = static_cast<int>(number);
  return true;
}

void CPageOption::OnSetActive() {
  const Context& context = sheet_.GetContext();
  NoAdminCheck = !context.AdminCheck;
  DiffCheck = context.DiffCheck;
  HidePrompt = sheet_.Common.HIDEPROMPT;
  DeleteBat = sheet_.Common.DELETEBAT;
  Editor = sheet_.Common.EDITOR;
  WaitTime = std::to_string(sheet_.Common.DELAYSLEEP);
}

bool CPageOption::OnKillActive() {
  platform::IMessages& messages = sheet_.GetContext().Platform().messages;
  int wait = 0;
  if (!ParseWaitTime(WaitTime, wait)) {
    ShowWarning(messages, kMsgWaitTimeNotNumber);
    Focus = IDC_OPTION_WAIT;
    return false;
  }
  if (Editor.size() > kMaxEditor) {
    ShowWarning(messages, kMsgEditorTooLong);
    Focus = IDC_OPTION_EDITOR;
    return false;
  }
  Context& context = sheet_.GetContext();
  context.AdminCheck = !NoAdminCheck;
  context.DiffCheck = DiffCheck;
  sheet_.Common.HIDEPROMPT = HidePrompt;
  sheet_.Common.DELETEBAT = DeleteBat;
  sheet_.Common.EDITOR = Editor;
  sheet_.Common.DELAYSLEEP = wait;
  return true;
}

void CPageOption::OnBrowse() {
  std::string path;
  if (dialogs_.ChooseFile(kEditorFilter, path)) Editor = path;
}

config::PlaceSettings* CPageProxy::Place() const {
  if (!sheet_.CurrentPlace) return nullptr;
  return sheet_.FindPlaceSettings(*sheet_.CurrentPlace);
}

void CPageProxy::OnSetActive() {
  Names.clear();
  Selected = -1;
  const config::PlaceSettings* place = Place();
  if (!place) return;
  const config::ProxyChoice& proxy = place->Proxy;
  if (!proxy.ProxyNames.empty()) {
    Names = proxy.ProxyNames;
    const auto same = std::find(Names.begin(), Names.end(), proxy.ProxyName);
    if (same != Names.end()) {
      Selected = static_cast<int>(same - Names.begin());
    } else {
      Names.insert(Names.begin(), proxy.ProxyName);
      Selected = 0;
    }
  }
  Disable = proxy.DisableProxy;
  ListEnabled = !Disable;
}

void CPageProxy::OnDisableClicked() { ListEnabled = !Disable; }

bool CPageProxy::OnKillActive() {
  config::PlaceSettings* place = Place();
  if (!place) return true;
  if (Selected >= 0 && static_cast<size_t>(Selected) < Names.size())
    place->Proxy.ProxyName = Names[Selected];
  place->Proxy.DisableProxy = Disable;
  return true;
}

}  // namespace velandra::ui
