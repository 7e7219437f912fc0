#include "support/window_driver.h"

#include "ui/resource_ids.h"

#ifdef _WIN32
namespace velandra::testing {

bool CanCreateWindows() {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

std::string WindowTitle(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ControlText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? WindowTitle(item) : std::string();
}

namespace {

struct Search {
  std::string title;
  HWND found = nullptr;
};

bool IsDialog(HWND hwnd) {
  char name[16] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return std::string(name) == "#32770";
}

BOOL CALLBACK FindTitled(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!IsDialog(hwnd) || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
  if (WindowTitle(hwnd) != search->title) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

HWND FindDialog(const std::string& title) {
  if (title.empty()) {
    HWND active = GetActiveWindow();
    return active && IsDialog(active) && IsWindowEnabled(active) ? active : nullptr;
  }
  Search search{title};
  EnumThreadWindows(GetCurrentThreadId(), FindTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PostClick(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickCheck(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

HWND FindSheet() {
  HWND sheet = FindDialog("Velandra");
  return sheet && PropSheet_GetTabControl(sheet) ? sheet : nullptr;
}

HWND FindExitDialog() {
  HWND dialog = FindDialog("Velandra");
  return dialog && GetDlgItem(dialog, IDC_EXIT_MODE) ? dialog : nullptr;
}

namespace {

std::vector<std::string> Items(HWND dialog, int id, UINT countMessage, UINT textMessage,
                               UINT lengthMessage) {
  std::vector<std::string> items;
  const LRESULT count = SendDlgItemMessageA(dialog, id, countMessage, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendDlgItemMessageA(dialog, id, lengthMessage, static_cast<WPARAM>(i), 0);
    std::string text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
    SendDlgItemMessageA(dialog, id, textMessage, static_cast<WPARAM>(i),
                        reinterpret_cast<LPARAM>(text.data()));
    items.push_back(text.c_str());
  }
  return items;
}

}  // namespace

std::vector<std::string> ListBoxItems(HWND dialog, int id) {
  return Items(dialog, id, LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN);
}

std::vector<std::string> ComboItems(HWND dialog, int id) {
  return Items(dialog, id, CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN);
}

namespace {

BOOL CALLBACK CollectClipped(HWND control, LPARAM param) {
  auto* failures = reinterpret_cast<std::vector<std::string>*>(param);
  char name[32] = {};
  GetClassNameA(control, name, sizeof name);
  const std::string kind = name;
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  if (!IsWindowVisible(control)) return TRUE;
  const bool isStatic = kind == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
  const LONG buttonType = style & BS_TYPEMASK;
  const bool isButton = kind == "Button" && !(style & (BS_ICON | BS_BITMAP)) &&
                        buttonType != BS_GROUPBOX;
  if (!isStatic && !isButton) return TRUE;
  const std::string text = WindowTitle(control);
  if (text.empty()) return TRUE;
  RECT client{};
  GetClientRect(control, &client);
  HDC dc = GetDC(control);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font);
  const bool wraps = isStatic && !(style & SS_LEFTNOWORDWRAP) && client.bottom > 20;
  RECT need = client;
  DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  // Push buttons draw in a 3D frame; check boxes and radios give their box
  // about 16 pixels.
  LONG room = client.right;
  if (isButton) {
    const bool pushButton = buttonType == BS_PUSHBUTTON || buttonType == BS_DEFPUSHBUTTON;
    room -= pushButton ? 4 : 16;
  }
  if (need.right - need.left > room || need.bottom - need.top > client.bottom)
    failures->push_back(text + " needs " + std::to_string(need.right - need.left) + "x" +
                        std::to_string(need.bottom - need.top) + ", has " +
                        std::to_string(room) + "x" + std::to_string(client.bottom));
  return TRUE;
}

}  // namespace

std::vector<std::string> ClippedTexts(HWND dialog) {
  std::vector<std::string> failures;
  EnumChildWindows(dialog, CollectClipped, reinterpret_cast<LPARAM>(&failures));
  return failures;
}

WindowDriver& WindowDriver::Then(Find find, Act act) {
  steps_.push_back({std::move(find), std::move(act)});
  return *this;
}

WindowDriver& WindowDriver::ThenDialog(const std::string& title, Act act) {
  return Then([title] { return FindDialog(title); }, std::move(act));
}

std::string WindowDriver::Stuck() const {
  if (next_ >= steps_.size()) return {};
  return "step " + std::to_string(next_ + 1) + " of " + std::to_string(steps_.size()) +
         " found no window; the active one is \"" + WindowTitle(GetActiveWindow()) + "\"";
}

void CALLBACK WindowDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
  WindowDriver* self = current_;
  if (!self || self->busy_) return;
  self->busy_ = true;
  if (!self->givenUp_ && GetTickCount() > self->deadline_) self->givenUp_ = true;
  if (self->givenUp_) {
    // Cancel whatever is up, until the modal call returns.
    if (HWND active = GetActiveWindow()) PostMessageA(active, WM_COMMAND, IDCANCEL, 0);
  } else if (self->next_ < self->steps_.size()) {
    if (HWND window = self->steps_[self->next_].find()) {
      Step& step = self->steps_[self->next_++];
      step.act(window);
    }
  }
  self->busy_ = false;
}

bool WindowDriver::Run(const std::function<void()>& modal, DWORD limitMs) {
  WindowDriver* outer = current_;
  current_ = this;
  next_ = 0;
  givenUp_ = false;
  deadline_ = GetTickCount() + limitMs;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
  modal();
  KillTimer(nullptr, timer);
  current_ = outer;
  return !givenUp_ && next_ == steps_.size();
}

bool RunPageAlone(ui::win32::PageView& page, WindowDriver& driver) {
  PROPSHEETPAGEA sheetPage = page.Page(GetModuleHandleA(nullptr));
  HPROPSHEETPAGE pages[] = {CreatePropertySheetPageA(&sheetPage)};
  if (!pages[0]) return false;
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_NOAPPLYNOW;
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszCaption = "Velandra";
  header.nPages = 1;
  header.phpage = pages;
  return driver.Run([&] { PropertySheetA(&header); });
}


}  // namespace velandra::testing
#endif  // _WIN32
