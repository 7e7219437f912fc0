// Drives the program's real windows from a test: a list of steps run from
// a timer of the modal loop that shows them (the sheet's, or a dialog's),
// each waiting for its window and then acting on it. Steps post their
// clicks, so that a click that opens another modal window returns at once.
#pragma once
#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/win32/view_base.h"

namespace velandra::testing {

bool CanCreateWindows();

// The enabled, visible top-level dialog of this thread with caption
// `title` (CP932), or null. With an empty title: the active one.
HWND FindDialog(const std::string& title = {});
// The caption and the text of control `id`.
std::string WindowTitle(HWND window);
std::string ControlText(HWND dialog, int id);
// Posts a click of button `id` (also IDOK and IDCANCEL).
void PostClick(HWND dialog, int id);
// Posts a click of check box `id`, which turns it over as a user's would.
void ClickCheck(HWND dialog, int id);
bool Visible(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
// The main sheet ("Velandra" with a tab control), and the exit-mode dialog
// (also captioned "Velandra"), when they are up and enabled; else null.
HWND FindSheet();
HWND FindExitDialog();
// The items of a list box and of a drop-down list, in order.
std::vector<std::string> ListBoxItems(HWND dialog, int id);
std::vector<std::string> ComboItems(HWND dialog, int id);
// The texts of the static controls and buttons of `dialog` (and of its
// child dialogs, such as a sheet's page) that do not fit their control in
// the dialog's font: "text needs WxH, has WxH" each.
std::vector<std::string> ClippedTexts(HWND dialog);

class WindowDriver {
 public:
  using Find = std::function<HWND()>;
  using Act = std::function<void(HWND)>;

  // Adds a step: once `find` gives a window, `act` runs on it.
  WindowDriver& Then(Find find, Act act);
  // Shorthand: waits for the dialog captioned `title` (CP932).
  WindowDriver& ThenDialog(const std::string& title, Act act);

  // Runs `modal` with the steps running from a timer. Steps that have not
  // run after `limitMs` are given up: the driver then cancels every dialog
  // it finds so that `modal` returns, and Run gives false.
  bool Run(const std::function<void()>& modal, DWORD limitMs = 30000);
  size_t StepsDone() const { return next_; }
  // What the step that did not come gave up waiting for, for the failure.
  std::string Stuck() const;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  struct Step {
    Find find;
    Act act;
  };
  std::vector<Step> steps_;
  size_t next_ = 0;
  DWORD deadline_ = 0;
  bool givenUp_ = false;
  bool busy_ = false;
  static inline WindowDriver* current_ = nullptr;
};

// Shows `page` alone in a modal property sheet captioned "Velandra" while
// `driver` runs its steps; the steps end it with the sheet's OK or Cancel.
bool RunPageAlone(ui::win32::PageView& page, WindowDriver& driver);

}  // namespace velandra::testing
#endif  // _WIN32
