#include "ui/dlg_user_password.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "system/platform/sim/scripted_answers.h"
#include "system/platform/text.h"

#ifdef _WIN32
#include "system/platform/win32/win_api.h"

#include <functional>
#include <vector>

#include "ui/win32/dlg_user_password_view.h"
#include "ui/resource_ids.h"
#endif

namespace velandra::ui {
namespace {

using platform::Cp932ToUtf8;
using platform::sim::ScriptedAnswers;
using platform::sim::SimulationError;

CDlgUserPassword Prefilled(uint32_t focus, const char* user, const char* password = "") {
  CDlgUserPassword dialog;
  dialog.Focus = focus;
  dialog.UserName = user;
  dialog.Password = password;
  dialog.Message = "ローカルPCにAdministrators権限のあるユーザーとパスワードを入力してください";
  return dialog;
}

TEST(ScriptedUserPasswordDialog, Answers) {
  struct Row {
    const char* answer;
    bool ok;
    const char* user;      // after the answer
    const char* password;
  };
  // Prefilled with "admin" and the password "old".
  const Row rows[] = {
      {"cancel", false, "admin", "old"},
      {"ok", true, "admin", "old"},
      {"ok:taro:pw", true, "taro", "pw"},
      {"ok:taro:a:b::c", true, "taro", "a:b::c"},
      {"ok:taro:", true, "taro", ""},
      {"ok::", true, "", ""},
      {"ok::pw", true, "", "pw"},
      {"ok:管理者:パス表", true, "管理者", "パス表"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answer);
    ScriptedAnswers answers;
    answers.Push(row.answer);
    std::ostringstream out;
    ScriptedUserPasswordDialog view(answers, out);
    CDlgUserPassword dialog = Prefilled(1, "admin", "old");
    EXPECT_EQ(view.DoModal(dialog), row.ok);
    EXPECT_EQ(dialog.UserName, row.user);
    EXPECT_EQ(dialog.Password, row.password);
    EXPECT_EQ(dialog.Focus, 1u);
    EXPECT_TRUE(answers.Empty());
  }
}

TEST(ScriptedUserPasswordDialog, BadAnswersAreScriptErrorsAndChangeNothing) {
  for (const char* answer : {"", "OK", "Cancel", "yes", "ok:", "ok:taro", "cancel ", " ok"}) {
    SCOPED_TRACE(answer);
    ScriptedAnswers answers;
    answers.Push(answer);
    std::ostringstream out;
    ScriptedUserPasswordDialog view(answers, out);
    CDlgUserPassword dialog = Prefilled(0, "admin", "old");
    EXPECT_THROW(view.DoModal(dialog), SimulationError);
    EXPECT_EQ(dialog.UserName, "admin");
    EXPECT_EQ(dialog.Password, "old");
  }
  ScriptedAnswers none;
  std::ostringstream out;
  ScriptedUserPasswordDialog view(none, out);
  CDlgUserPassword dialog = Prefilled(0, "");
  EXPECT_THROW(view.DoModal(dialog), SimulationError);
}

// A ';' in a password goes through a whole list.
TEST(ScriptedUserPasswordDialog, AnswerListWithSemicolonInPassword) {
  ScriptedAnswers answers;
  answers.PushList("cancel;ok:root:a;;b");
  std::ostringstream out;
  ScriptedUserPasswordDialog view(answers, out);
  CDlgUserPassword dialog = Prefilled(0, "");
  EXPECT_FALSE(view.DoModal(dialog));
  EXPECT_TRUE(view.DoModal(dialog));
  EXPECT_EQ(dialog.UserName, "root");
  EXPECT_EQ(dialog.Password, "a;b");
}

TEST(ScriptedUserPasswordDialog, ShowsWhatTheDialogShowsButNoPassword) {
  struct Row {
    uint32_t focus;
    const char* user;
    const char* password;
    const char* focusLine;
    const char* passwordLine;
  };
  const Row rows[] = {
      {0, "", "", "フォーカス: ユーザー名", "パスワード: (空)"},
      {1, "管理者", "", "フォーカス: パスワード", "パスワード: (空)"},
      {2, "taro", "secret", "フォーカス: ユーザー名", "パスワード: (入力済み)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.focus);
    ScriptedAnswers answers;
    answers.Push("ok:taro:topsecret");
    std::ostringstream out;
    ScriptedUserPasswordDialog view(answers, out);
    CDlgUserPassword dialog = Prefilled(row.focus, row.user, row.password);
    ASSERT_TRUE(view.DoModal(dialog));
    const std::string shown = out.str();
    bool utf8 = false;
    platform::Utf8ToCp932(shown, &utf8);
    EXPECT_TRUE(utf8) << "output is UTF-8";
    for (const std::string& expected :
         {Cp932ToUtf8("[ユーザー名とパスワード]"), Cp932ToUtf8(dialog.Message),
          Cp932ToUtf8(std::string("ユーザー名: ") + row.user + "\n"), Cp932ToUtf8(row.focusLine),
          Cp932ToUtf8(row.passwordLine), Cp932ToUtf8("→ OK (ユーザー名: taro)")}) {
      EXPECT_NE(shown.find(expected), std::string::npos) << expected << "\nin\n" << shown;
    }
    EXPECT_EQ(shown.find("secret"), std::string::npos) << shown;
  }
}

#ifdef _WIN32

// The controls of a dialog template in memory, built the way the resource
// compiler lays out a DLGTEMPLATE, for driving the view without resources.
class TemplateBuilder {
 public:
  TemplateBuilder(DWORD style, short cx, short cy, const char16_t* title) {
    Dword(style | DS_SETFONT);
    Dword(0);
    count_ = words_.size();
    words_.push_back(0);
    for (short v : {short(0), short(0), cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // standard class
    Text(title);
    words_.push_back(9);
    Text(u"MS UI Gothic");
  }

  void Item(WORD atom, DWORD style, short x, short y, short cx, short cy, WORD id,
            const char16_t* text) {
    if (words_.size() % 2) words_.push_back(0);  // DWORD alignment
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(atom);
    Text(text);
    words_.push_back(0);  // no creation data
    ++words_[count_];
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void Text(const char16_t* text) {
    for (; *text; ++text) words_.push_back(static_cast<WORD>(*text));
    words_.push_back(0);
  }

  std::vector<WORD> words_;
  size_t count_ = 0;
};

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

TemplateBuilder MemoryTemplate() {
  TemplateBuilder t(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 230, 95,
                    u"ユーザー名とパスワード");
  t.Item(kStatic, SS_LEFT | SS_NOPREFIX, 7, 7, 216, 20, IDC_USER_PASSWORD_MESSAGE, u"");
  t.Item(kStatic, SS_LEFT, 7, 36, 62, 8, IDC_USER_PASSWORD_USER_LABEL, u"ユーザー名(&U):");
  t.Item(kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 72, 34, 151, 12, IDC_USER_PASSWORD_USER,
         u"");
  t.Item(kStatic, SS_LEFT, 7, 54, 62, 8, IDC_USER_PASSWORD_PASSWORD_LABEL, u"パスワード(&P):");
  t.Item(kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 72, 52, 151, 12,
         IDC_USER_PASSWORD_PASSWORD, u"");
  t.Item(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 119, 74, 50, 14, IDOK, u"OK");
  t.Item(kButton, BS_PUSHBUTTON | WS_TABSTOP, 173, 74, 50, 14, IDCANCEL, u"ｷｬﾝｾﾙ");
  return t;
}

std::string ItemText(HWND dialog, int id) {
  char buffer[512] = {};
  GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
  return buffer;
}

// Runs a modal dialog and, once it is up, hands it to `act` from a timer of
// the dialog's own modal loop. `act` must end the dialog by posting a button;
// it only records what it sees, the checks come after the dialog is gone.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act) : act_(std::move(act)) {}

  bool Run(IUserPasswordDialog& view, CDlgUserPassword& dialog) {
    current_ = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
    const bool ok = view.DoModal(dialog);
    KillTimer(nullptr, timer);
    current_ = nullptr;
    return ok;
  }
  bool acted() const { return acted_; }

 private:
  static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_ || current_->acted_) return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    current_->acted_ = true;
    current_->act_(dialog);
  }

  static inline DialogDriver* current_ = nullptr;
  std::function<void(HWND)> act_;
  bool acted_ = false;
};

// What the dialog showed when it came up.
struct Seen {
  std::string title, message, user, password;
  int focus = 0;
  bool passwordHidden = false;
  std::vector<int> tabOrder;
};

Seen Look(HWND dialog) {
  Seen seen;
  char title[128] = {};
  GetWindowTextA(dialog, title, sizeof title);
  seen.title = title;
  seen.message = ItemText(dialog, IDC_USER_PASSWORD_MESSAGE);
  seen.user = ItemText(dialog, IDC_USER_PASSWORD_USER);
  seen.password = ItemText(dialog, IDC_USER_PASSWORD_PASSWORD);
  seen.focus = GetDlgCtrlID(GetFocus());
  seen.passwordHidden =
      (GetWindowLongA(GetDlgItem(dialog, IDC_USER_PASSWORD_PASSWORD), GWL_STYLE) & ES_PASSWORD) != 0;
  HWND item = GetDlgItem(dialog, IDC_USER_PASSWORD_USER);
  for (int i = 0; i < 4 && item; ++i) {
    seen.tabOrder.push_back(GetDlgCtrlID(item));
    item = GetNextDlgTabItem(dialog, item, FALSE);
  }
  return seen;
}

bool HasResourceTemplate() {
  return FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_USER_PASSWORD),
                       MAKEINTRESOURCEA(5) /* RT_DIALOG */) != nullptr;
}

struct DialogRow {
  const char* name;
  uint32_t focus;
  const char* prefilledUser;
  int expectedFocus;
  const char* typedUser;  // nullptr: leave the field
  const char* typedPassword;
  int button;
  bool ok;
  const char* user;  // in the model afterwards
  const char* password;
};

const DialogRow kDialogRows[] = {
    {"focus 0, type both, OK", 0, "", IDC_USER_PASSWORD_USER, "管理者", "pa ss:表", IDOK, true,
     "管理者", "pa ss:表"},
    {"focus 1, prefilled user, type password, OK", 1, "admin", IDC_USER_PASSWORD_PASSWORD,
     nullptr, "secret", IDOK, true, "admin", "secret"},
    {"focus 2 is not 1: first field", 2, "admin", IDC_USER_PASSWORD_USER, nullptr, nullptr, IDOK,
     true, "admin", ""},
    {"typed then cancelled: model untouched", 1, "admin", IDC_USER_PASSWORD_PASSWORD, "other",
     "secret", IDCANCEL, false, "admin", ""},
};

void RunDialogRows(const std::function<Win32UserPasswordDialog()>& makeView) {
  for (const DialogRow& row : kDialogRows) {
    SCOPED_TRACE(row.name);
    Seen seen;
    DialogDriver driver([&](HWND dialog) {
      seen = Look(dialog);
      if (row.typedUser) SetDlgItemTextA(dialog, IDC_USER_PASSWORD_USER, row.typedUser);
      if (row.typedPassword) SetDlgItemTextA(dialog, IDC_USER_PASSWORD_PASSWORD, row.typedPassword);
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(row.button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, row.button)));
    });
    Win32UserPasswordDialog view = makeView();
    CDlgUserPassword dialog = Prefilled(row.focus, row.prefilledUser);
    const std::string message = dialog.Message;
    EXPECT_EQ(driver.Run(view, dialog), row.ok);
    ASSERT_TRUE(driver.acted()) << "dialog did not come up, error " << GetLastError();
    EXPECT_EQ(seen.title, "ユーザー名とパスワード");
    EXPECT_EQ(seen.message, message);
    EXPECT_EQ(seen.user, row.prefilledUser);
    EXPECT_EQ(seen.password, "");
    EXPECT_EQ(seen.focus, row.expectedFocus);
    EXPECT_TRUE(seen.passwordHidden);
    EXPECT_EQ(seen.tabOrder, (std::vector<int>{IDC_USER_PASSWORD_USER, IDC_USER_PASSWORD_PASSWORD,
                                               IDOK, IDCANCEL}));
    EXPECT_EQ(dialog.UserName, row.user);
    EXPECT_EQ(dialog.Password, row.password);
    EXPECT_EQ(dialog.Message, message);
  }
}

TEST(Win32UserPasswordDialog, TemplateInMemory) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  const TemplateBuilder memory = MemoryTemplate();
  RunDialogRows([&] { return Win32UserPasswordDialog(memory.Get(), nullptr); });
}

TEST(Win32UserPasswordDialog, ResourceTemplate) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  if (!HasResourceTemplate())
    GTEST_SKIP() << "dialog 148 is not linked into this executable (src/ui/win32/dlg_user_password.rc)";
  RunDialogRows([] { return Win32UserPasswordDialog(); });
}

// The texts of the resource as Windows gives them to an ANSI program, and
// room for each in its control with the dialog's own font.
TEST(Win32UserPasswordDialog, ResourceTextsFitTheirControls) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display: windows cannot be created";
  if (!HasResourceTemplate())
    GTEST_SKIP() << "dialog 148 is not linked into this executable (src/ui/win32/dlg_user_password.rc)";
  struct Fit {
    int id;
    std::string text;
    bool wraps;
  };
  std::vector<Fit> fits;
  std::vector<std::string> failures;
  DialogDriver driver([&](HWND dialog) {
    const Fit items[] = {
        {IDC_USER_PASSWORD_MESSAGE, ItemText(dialog, IDC_USER_PASSWORD_MESSAGE), true},
        {IDC_USER_PASSWORD_USER_LABEL, ItemText(dialog, IDC_USER_PASSWORD_USER_LABEL), false},
        {IDC_USER_PASSWORD_PASSWORD_LABEL, ItemText(dialog, IDC_USER_PASSWORD_PASSWORD_LABEL), false},
        {IDOK, ItemText(dialog, IDOK), false},
        {IDCANCEL, ItemText(dialog, IDCANCEL), false},
    };
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    for (const Fit& item : items) {
      fits.push_back(item);
      HWND control = GetDlgItem(dialog, item.id);
      RECT client{};
      GetClientRect(control, &client);
      HDC dc = GetDC(control);
      HGDIOBJ old = SelectObject(dc, font);
      RECT need = client;
      DrawTextA(dc, item.text.c_str(), -1, &need,
                DT_CALCRECT | (item.wraps ? DT_WORDBREAK | DT_NOPREFIX : DT_SINGLELINE));
      SelectObject(dc, old);
      ReleaseDC(control, dc);
      // Buttons draw inside a 3D frame: keep two pixels each side free.
      const LONG frame = (item.id == IDOK || item.id == IDCANCEL) ? 4 : 0;
      if (need.right - need.left > client.right - client.left - frame ||
          need.bottom - need.top > client.bottom - client.top)
        failures.push_back(Cp932ToUtf8(item.text) + " needs " +
                           std::to_string(need.right - need.left) + "x" +
                           std::to_string(need.bottom - need.top) + ", has " +
                           std::to_string(client.right) + "x" + std::to_string(client.bottom));
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  Win32UserPasswordDialog view;
  CDlgUserPassword dialog = Prefilled(0, "");
  EXPECT_FALSE(driver.Run(view, dialog));
  ASSERT_TRUE(driver.acted());
  ASSERT_EQ(fits.size(), 5u);
  EXPECT_EQ(fits[0].text, dialog.Message);
  EXPECT_EQ(fits[1].text, "ユーザー名(&U):");
  EXPECT_EQ(fits[2].text, "パスワード(&P):");
  EXPECT_EQ(fits[3].text, "OK");
  EXPECT_EQ(fits[4].text, "ｷｬﾝｾﾙ");
  for (const std::string& failure : failures) ADD_FAILURE() << "clipped: " << failure;
}

TEST(Win32UserPasswordDialog, MissingTemplateIsNoOk) {
  Win32UserPasswordDialog view(GetModuleHandleA("kernel32.dll"), nullptr);
  CDlgUserPassword dialog = Prefilled(0, "admin");
  EXPECT_FALSE(view.DoModal(dialog));
  EXPECT_EQ(dialog.UserName, "admin");
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
