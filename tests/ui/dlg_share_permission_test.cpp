#include "ui/dlg_share_permission.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/answering_dialog_host.h"

#ifdef _WIN32
#include "system/platform/win32/win_api.h"

#include "dns_wins_test_rig.h"
#include "support/window_driver.h"
#include "ui/win32/controls.h"
#include "ui/win32/dlg_share_permission_view.h"
#endif

namespace velandra::ui {
namespace {

using config::kAceAllowed;
using config::kAceDenied;
using config::SharePermission;
using velandra::testing::AnsweringDialogHost;
using Strings = std::vector<std::string>;
using Entries = std::vector<SharePermission>;

constexpr uint32_t kFull = config::kShareFullControl;
constexpr uint32_t kChangeRead = config::kShareChangeAndRead;
constexpr uint32_t kChange = config::kShareChange;
constexpr uint32_t kRead = config::kShareRead;

// Boxes recorded; every one is a warning captioned "Velandra" here.
class RecordedMessages : public platform::IMessages {
 public:
  platform::MessageAnswer Show(platform::MessageOwner, const std::string& text,
                               const std::string& caption, platform::MessageIcon icon,
                               platform::MessageButtons) override {
    EXPECT_EQ(caption, "Velandra");
    EXPECT_EQ(icon, platform::MessageIcon::Warning);
    Texts.push_back(text);
    return platform::MessageAnswer::Ok;
  }
  Strings Texts;
};

SharePermission Entry(const char* name, const char* domain, uint8_t type, uint32_t mask) {
  SharePermission entry;
  entry.AccountName = name;
  entry.AccountDomain = domain;
  entry.AceType = type;
  entry.AccessMask = mask;
  return entry;
}

// The six checks as '1' and '0' in the order of Checks: full allow, full
// deny, change allow, change deny, read allow, read deny.
std::string ChecksText(const CDlgSharePermission& dialog) {
  std::string text;
  for (bool check : dialog.Checks) text += check ? '1' : '0';
  return text;
}

void SetChecks(CDlgSharePermission& dialog, const std::string& text) {
  for (size_t i = 0; i < dialog.Checks.size(); ++i) dialog.Checks[i] = text[i] == '1';
}

// The mask of the line's working entry of `type`, or none.
std::optional<uint32_t> MaskOfLine(const CDlgSharePermission& dialog, const std::string& line,
                                   uint8_t type) {
  for (const SharePermission& entry : dialog.Working)
    if (config::PermissionDisplayName(entry) == line && entry.AceType == type)
      return entry.AccessMask;
  return std::nullopt;
}

AnsweringDialogHost::Press Type(const std::string& name) {
  return [name](CDialogModel& dialog) {
    dynamic_cast<CDlgUserName&>(dialog).UserName = name;
    return true;
  };
}

struct Rig {
  explicit Rig(Entries entries = {}) : list(std::move(entries)) { dialog.OnInitDialog(); }
  RecordedMessages messages;
  AnsweringDialogHost dialogs;
  Entries list;
  CDlgSharePermission dialog{messages, dialogs, list};
};

TEST(ShareCheckBoxes, ClickedCheckAndPriorChecksGiveChecksAndMasks) {
  struct Row {
    const char* prior;  // before the click, as ChecksText
    int clicked;        // its value toggled, then the handler
    const char* after;
    // The line's entries; none: it has none of that type.
    std::optional<uint32_t> allow, deny;
  };
  using D = CDlgSharePermission;
  const Row rows[] = {
      {"000000", D::kFullAllow, "101010", kFull, std::nullopt},
      {"010101", D::kFullAllow, "101010", kFull, 0},
      {"101010", D::kFullAllow, "001010", kChangeRead, std::nullopt},
      {"101010", D::kFullDeny, "010101", 0, kFull},
      {"010101", D::kFullDeny, "000101", 0, kChangeRead},
      {"101010", D::kChangeAllow, "000010", kRead, std::nullopt},
      {"000101", D::kChangeAllow, "001001", kChange, kRead},
      {"101010", D::kChangeDeny, "000110", kRead, kChange},
      {"010101", D::kChangeDeny, "000001", 0, kRead},
      {"000001", D::kReadAllow, "000010", kRead, 0},
      {"001010", D::kReadDeny, "001001", kChange, kRead},
      {"001010", D::kReadAllow, "001000", kChange, std::nullopt},
      {"010101", D::kReadDeny, "000100", 0, kChange},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.prior) + " click " + std::to_string(row.clicked));
    // One user whose entries give the prior checks.
    Rig rig({Entry("hoge", "", kAceAllowed, kFull)});
    SetChecks(rig.dialog, row.prior);
    // Stored as they are: every prior either leaves full allow clear or is
    // "101010", which full allow leaves unchanged.
    rig.dialog.OnCheckClicked(D::kFullAllow);
    SetChecks(rig.dialog, row.prior);
    rig.dialog.Checks[row.clicked] = !rig.dialog.Checks[row.clicked];
    rig.dialog.OnCheckClicked(row.clicked);
    EXPECT_EQ(ChecksText(rig.dialog), row.after);
    EXPECT_EQ(MaskOfLine(rig.dialog, "hoge", kAceAllowed), row.allow);
    EXPECT_EQ(MaskOfLine(rig.dialog, "hoge", kAceDenied), row.deny);
    // Shown again from the entries, the line gives the same checks.
    rig.dialog.OnSelChange();
    EXPECT_EQ(ChecksText(rig.dialog), row.after);
    EXPECT_TRUE(rig.messages.Texts.empty());
  }
}

TEST(ShareCheckBoxes, MaskOfEachCombination) {
  struct Row {
    bool full, change, read;
    uint32_t mask;
  };
  const Row rows[] = {
      {true, true, true, kFull},   {true, false, false, kFull}, {true, true, false, kFull},
      {false, true, true, kChangeRead}, {false, true, false, kChange},
      {false, false, true, kRead}, {false, false, false, 0},
  };
  for (const Row& row : rows)
    EXPECT_EQ(CDlgSharePermission::MaskOf(row.full, row.change, row.read), row.mask)
        << row.full << row.change << row.read;
}

TEST(ShareCheckBoxes, EntriesOfALineShowTheirChecks) {
  struct Row {
    Entries entries;  // all of user "hoge"
    const char* checks;
  };
  const Row rows[] = {
      {{Entry("hoge", "", kAceAllowed, kFull)}, "101010"},
      {{Entry("hoge", "", kAceDenied, kChangeRead)}, "000101"},
      {{Entry("hoge", "", kAceAllowed, kChange)}, "001000"},
      {{Entry("hoge", "", kAceDenied, kRead)}, "000001"},
      {{Entry("hoge", "", kAceAllowed, 0x120089)}, "000000"},  // a mask of its own
      {{Entry("hoge", "", kAceAllowed, kRead), Entry("hoge", "", kAceDenied, kChange)}, "000110"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.checks);
    Rig rig(row.entries);
    EXPECT_EQ(rig.dialog.Users, Strings{"hoge"});
    EXPECT_EQ(rig.dialog.Selected, 0);
    EXPECT_EQ(ChecksText(rig.dialog), row.checks);
  }
}

TEST(ShareUsers, DisplayNamesWithAndWithoutDomain) {
  Rig rig({Entry("hoge", "", kAceAllowed, kFull), Entry("hoge", "TP600", kAceAllowed, kRead),
           Entry("Everyone", "", kAceDenied, kFull), Entry("hoge", "", kAceDenied, kChange)});
  EXPECT_EQ(rig.dialog.Users, (Strings{"hoge", "TP600\\hoge", "Everyone"}));
  EXPECT_EQ(ChecksText(rig.dialog), "101110");
  rig.dialog.Selected = 1;
  rig.dialog.OnSelChange();
  EXPECT_EQ(ChecksText(rig.dialog), "000010");
  rig.dialog.Selected = 2;
  rig.dialog.OnSelChange();
  EXPECT_EQ(ChecksText(rig.dialog), "010101");
  EXPECT_TRUE(rig.messages.Texts.empty());
}

TEST(ShareUsers, LineSplitAtTheFirstRealBackslash) {
  struct Row {
    const char* line;
    const char* domain;
    const char* name;
  };
  const Row rows[] = {
      {"hoge", "", "hoge"},
      {"tp600\\hoge", "tp600", "hoge"},
      {"a\\b\\c", "a", "b\\c"},
      {"ソフト部\\表", "ソフト部", "表"},  // 0x5C trail bytes in ソ and 表
      {"表示", "", "表示"},
  };
  for (const Row& row : rows) {
    const SharePermission entry = CDlgSharePermission::EntryOf(row.line, kAceDenied, kRead);
    EXPECT_EQ(entry, Entry(row.name, row.domain, kAceDenied, kRead)) << row.line;
    EXPECT_EQ(config::PermissionDisplayName(entry), row.line);
  }
}

TEST(ShareUsers, AddRefusesADuplicateAndGivesANewLineFullControl) {
  Rig rig({Entry("hoge", "", kAceDenied, kRead), Entry("fuga", "", kAceAllowed, kRead)});
  // Without a domain and with one: two users.
  rig.dialogs.Answer({Type("tp600\\hoge")});
  rig.dialog.OnAdd();
  EXPECT_EQ(rig.dialog.Users, (Strings{"hoge", "fuga", "tp600\\hoge"}));
  EXPECT_EQ(rig.dialog.Selected, 2);
  EXPECT_EQ(ChecksText(rig.dialog), "101010");
  EXPECT_EQ(rig.dialog.Working.back(), Entry("hoge", "tp600", kAceAllowed, kFull));
  // The same text again: refused, that line selected with its checks.
  rig.dialogs.Answer({Type("hoge")});
  rig.dialog.OnAdd();
  EXPECT_EQ(rig.dialog.Users, (Strings{"hoge", "fuga", "tp600\\hoge"}));
  EXPECT_EQ(rig.dialog.Selected, 0);
  EXPECT_EQ(ChecksText(rig.dialog), "000001");
  EXPECT_EQ(rig.messages.Texts, Strings{"すでに同じユーザーが存在します"});
  // Cancel adds nothing.
  rig.dialogs.Answer({[](CDialogModel&) { return false; }});
  rig.dialog.OnAdd();
  EXPECT_EQ(rig.dialog.Users.size(), 3u);
  EXPECT_EQ(rig.dialog.Working.size(), 3u);
  EXPECT_EQ(rig.dialogs.Shown, (std::vector<uint32_t>{IDD_USER_NAME, IDD_USER_NAME,
                                                       IDD_USER_NAME}));
  EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST(ShareUsers, UserNameDialogRefusesWhatNoAccountCanBe) {
  const std::string unusable = kMsgUserNameUnusable;
  struct Row {
    std::string typed;
    std::string message;  // empty: accepted
  };
  const Row rows[] = {
      {"", "ユーザー名を入力してください。"},
      {"hoge", ""},
      {"tp600\\hoge", ""},
      {"ソフト部\\表", ""},
      {"\\hoge", unusable},
      {"tp600\\", unusable},
      {"a\\b\\c", unusable},
      {"ho,ge", unusable},
      {"ho\tge", unusable},
      {"tp:600\\hoge", unusable},
      {std::string(250, 'a'), unusable},  // longer than a stored value keeps
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    RecordedMessages messages;
    CDlgUserName dialog(messages);
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.UserName, "");
    dialog.UserName = row.typed;
    EXPECT_EQ(dialog.OnOK(), row.message.empty());
    EXPECT_EQ(messages.Texts, row.message.empty() ? Strings{} : Strings{row.message});
    EXPECT_EQ(dialog.Focus, row.message.empty() ? 0 : IDC_USER_NAME_TEXT);
    EXPECT_EQ(dialog.UserName, row.typed);
  }
}

TEST(ShareUsers, DeleteRefusesWithoutSelectionAndTheOnlyLine) {
  struct Row {
    Entries entries;
    int selected;
    const char* message;
  };
  const Row rows[] = {
      {{Entry("hoge", "", kAceAllowed, kFull), Entry("fuga", "", kAceAllowed, kFull)}, -1,
       "削除するユーザーを選択してください"},
      {{Entry("hoge", "", kAceAllowed, kFull), Entry("hoge", "", kAceDenied, kRead)}, 0,
       "ユーザーリストが空になるので、削除できません"},
      {{}, 0, "ユーザーリストが空になるので、削除できません"},  // the Everyone line
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    Rig rig(row.entries);
    const Strings users = rig.dialog.Users;
    const Entries working = rig.dialog.Working;
    rig.dialog.Selected = row.selected;
    rig.dialog.OnDelete();
    EXPECT_EQ(rig.messages.Texts, Strings{row.message});
    EXPECT_EQ(rig.dialog.Users, users);
    EXPECT_EQ(rig.dialog.Working, working);
  }
}

TEST(ShareUsers, DeleteRemovesTheUsersEntriesAndSelectsTheSamePosition) {
  Rig rig({Entry("a", "", kAceAllowed, kFull), Entry("b", "", kAceAllowed, kRead),
           Entry("c", "", kAceDenied, kFull), Entry("b", "", kAceDenied, kChange),
           Entry("b", "PC", kAceAllowed, kFull)});
  rig.dialog.Selected = 1;
  rig.dialog.OnDelete();
  EXPECT_EQ(rig.dialog.Users, (Strings{"a", "c", "PC\\b"}));
  EXPECT_EQ(rig.dialog.Selected, 1);
  EXPECT_EQ(ChecksText(rig.dialog), "010101");
  EXPECT_EQ(rig.dialog.Working,
            (Entries{Entry("a", "", kAceAllowed, kFull), Entry("c", "", kAceDenied, kFull),
                     Entry("b", "PC", kAceAllowed, kFull)}));
  rig.dialog.Selected = 2;  // the last: the new last is selected
  rig.dialog.OnDelete();
  EXPECT_EQ(rig.dialog.Users, (Strings{"a", "c"}));
  EXPECT_EQ(rig.dialog.Selected, 1);
  EXPECT_EQ(ChecksText(rig.dialog), "010101");
  EXPECT_TRUE(rig.messages.Texts.empty());
}

// Checks cleared on every line (full allow, then full allow off again, then
// change and read off).
void ClearAllChecks(CDlgSharePermission& dialog) {
  for (size_t line = 0; line < dialog.Users.size(); ++line) {
    dialog.Selected = static_cast<int>(line);
    dialog.OnSelChange();
    dialog.Checks = {};
    dialog.OnCheckClicked(CDlgSharePermission::kReadAllow);
  }
}

TEST(ShareOk, TheListFromTheWorkingEntries) {
  struct Row {
    const char* what;
    Entries before;
    void (*edit)(Rig&);
    Entries after;
    Strings messages;
  };
  const Row rows[] = {
      {"untouched default", {}, [](Rig&) {}, {}, {}},
      {"Everyone full stays the default", {Entry("Everyone", "", kAceAllowed, kFull)},
       [](Rig&) {}, {}, {}},
      {"Everyone only read",
       {},
       [](Rig& r) {
         r.dialog.Checks = {false, false, false, false, true, false};
         r.dialog.OnCheckClicked(CDlgSharePermission::kChangeAllow);
       },
       {Entry("Everyone", "", kAceAllowed, kRead)},
       {}},
      {"default, all cleared", {}, [](Rig& r) { ClearAllChecks(r.dialog); }, {}, {}},
      {"entries, all cleared",
       {Entry("hoge", "", kAceAllowed, kRead), Entry("fuga", "PC", kAceDenied, kFull)},
       [](Rig& r) { ClearAllChecks(r.dialog); },
       {},
       {"アクセス許可が指定されていません。Everyoneのフルアクセスで設定し直します。"}},
      {"masks 0 dropped, order kept",
       {Entry("a", "", kAceDenied, kRead), Entry("b", "", kAceAllowed, kFull),
        Entry("a", "", kAceAllowed, kChange)},
       [](Rig& r) {
         r.dialog.Selected = 1;
         r.dialog.OnSelChange();
         r.dialog.Checks = {};
         r.dialog.OnCheckClicked(CDlgSharePermission::kFullAllow);
       },
       {Entry("a", "", kAceDenied, kRead), Entry("a", "", kAceAllowed, kChange)},
       {}},
      // The default's line stands for a real entry: adding a user keeps it.
      {"user added to the default",
       {},
       [](Rig& r) {
         r.dialogs.Answer({Type("hoge")});
         r.dialog.OnAdd();
         r.dialog.Selected = 0;
         r.dialog.OnSelChange();
         EXPECT_EQ(ChecksText(r.dialog), "101010");
       },
       {Entry("Everyone", "", kAceAllowed, kFull), Entry("hoge", "", kAceAllowed, kFull)},
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Rig rig(row.before);
    row.edit(rig);
    EXPECT_EQ(rig.list, row.before);  // nothing before OK
    EXPECT_TRUE(rig.dialog.OnOK());
    EXPECT_EQ(rig.list, row.after);
    EXPECT_EQ(rig.messages.Texts, row.messages);
  }
}

TEST(ShareOk, InitialisationShowsEveryoneFullForAnEmptyList) {
  Rig rig;
  EXPECT_EQ(rig.dialog.Users, Strings{"Everyone"});
  EXPECT_EQ(rig.dialog.Selected, 0);
  EXPECT_EQ(ChecksText(rig.dialog), "101010");
}


#ifdef _WIN32

using velandra::testing::ClippedTexts;
using velandra::testing::ControlText;
using velandra::testing::LayoutFaults;
using velandra::testing::PostClick;
using velandra::testing::ClickCheck;
using velandra::testing::TabOrder;
using velandra::testing::WindowDriver;

// A click as the user makes it: the check box toggles, then tells the dialog.
// Both templates: Everyone's read shown, an empty name refused with the
// dialog kept open, a user added through the real name dialog and denied
// everything, then OK: the share holds the two entries.
TEST(Win32SharePermission, UserAddedThroughTheNameDialogAndChecksSet) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  RecordedMessages messages;
  win32::Win32DialogHost host(GetModuleHandleA(nullptr), {&win32::MakeSharePermissionDialogView});
  Entries list = {Entry("Everyone", "", kAceAllowed, kRead)};
  CDlgSharePermission dialog(messages, host, list);

  Strings clipped, layout, nameClipped, nameLayout, notes;
  std::vector<int> tabs;
  bool everyoneRead = false, nameStayed = false;
  WindowDriver driver;
  driver
      .ThenDialog("共有の許可",
                  [&](HWND d) {
                    clipped = ClippedTexts(d);
                    layout = LayoutFaults(d);
                    tabs = TabOrder(d, IDC_SHARE_PERMISSION_USERS);
                    everyoneRead = win32::ItemChecked(d, IDC_SHARE_PERMISSION_READ_ALLOW) &&
                                   !win32::ItemChecked(d, IDC_SHARE_PERMISSION_FULL_ALLOW) &&
                                   !win32::ItemChecked(d, IDC_SHARE_PERMISSION_CHANGE_ALLOW);
                    PostClick(d, IDC_SHARE_PERMISSION_ADD);
                  })
      .ThenDialog("ユーザーの追加",
                  [&](HWND d) {
                    nameClipped = ClippedTexts(d);
                    nameLayout = LayoutFaults(d);
                    for (int id : {IDC_USER_NAME_NOTE1, IDC_USER_NAME_NOTE2, IDC_USER_NAME_NOTE3,
                                   IDC_USER_NAME_NOTE4})
                      notes.push_back(ControlText(d, id));
                    PostClick(d, IDOK);  // empty: refused
                  })
      .ThenDialog("ユーザーの追加",
                  [&](HWND d) {
                    nameStayed = GetFocus() == GetDlgItem(d, IDC_USER_NAME_TEXT);
                    win32::SetItemText(d, IDC_USER_NAME_TEXT, "tp600\\hoge");
                    PostClick(d, IDOK);
                  })
      .ThenDialog("共有の許可",
                  [&](HWND d) {
                    if (win32::ListBoxSelection(d, IDC_SHARE_PERMISSION_USERS) != 1) return;
                    ClickCheck(d, IDC_SHARE_PERMISSION_FULL_DENY);
                  })
      .ThenDialog("共有の許可", [&](HWND d) {
        if (!win32::ItemChecked(d, IDC_SHARE_PERMISSION_READ_DENY) ||
            win32::ItemChecked(d, IDC_SHARE_PERMISSION_FULL_ALLOW))
          return;
        PostClick(d, IDOK);
      });
  bool ok = false;
  EXPECT_TRUE(driver.Run([&] { ok = host.DoModal(dialog); })) << driver.Stuck();
  EXPECT_TRUE(ok);
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(nameClipped, Strings{});
  EXPECT_EQ(nameLayout, Strings{});
  EXPECT_EQ(tabs, (std::vector<int>{IDC_SHARE_PERMISSION_USERS, IDC_SHARE_PERMISSION_ADD,
                                    IDC_SHARE_PERMISSION_DELETE, IDC_SHARE_PERMISSION_FULL_ALLOW,
                                    IDC_SHARE_PERMISSION_FULL_DENY,
                                    IDC_SHARE_PERMISSION_CHANGE_ALLOW,
                                    IDC_SHARE_PERMISSION_CHANGE_DENY,
                                    IDC_SHARE_PERMISSION_READ_ALLOW,
                                    IDC_SHARE_PERMISSION_READ_DENY, IDOK, IDCANCEL}));
  EXPECT_TRUE(everyoneRead);
  EXPECT_TRUE(nameStayed);
  EXPECT_EQ(notes, (Strings{"※場所名\\ユーザー名というように入力してください。",
                            "例えば、ローカルPC(tp600)上のユーザー(hoge)なら、", "tp600\\hoge",
                            "となります。"}));
  EXPECT_EQ(messages.Texts, Strings{"ユーザー名を入力してください。"});
  // The user's allow entry, left with no access, is dropped.
  EXPECT_EQ(list, (Entries{Entry("Everyone", "", kAceAllowed, kRead),
                           Entry("hoge", "tp600", kAceDenied, kFull)}));
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
