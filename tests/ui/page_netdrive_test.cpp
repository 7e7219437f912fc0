#include "ui/page_netdrive.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/place_settings.h"
#include "support/answering_dialog_host.h"
#include "support/demo_pc_facts.h"
#include "support/place_records.h"
#include "support/scratch_dir.h"
#include "system/context.h"
#include "system/os_info.h"
#include "ui/dlg_share_permission.h"
#include "ui/velandra_sheet.h"

#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include <memory>
#include <sstream>

#include "dns_wins_test_rig.h"
#include "support/window_driver.h"
#include "ui/dlg_user_password.h"
#include "ui/sheet_pages.h"
#include "ui/win32/controls.h"
#include "ui/win32/dlg_exit_view.h"
#include "ui/win32/page_netdrive_view.h"
#include "ui/win32/sheet_view.h"
#endif

namespace velandra::ui {
namespace {

using velandra::testing::AnsweringDialogHost;
using velandra::testing::kDemoIniPath;
using velandra::testing::ScratchPc;
using Strings = std::vector<std::string>;
using TableRows = std::vector<std::vector<std::string>>;
using config::SharePermission;

// The demo PC with its sheet loaded and 本店 current: its drives Z: and X:,
// the installed printer "経理部 EPSON LP-9000C" as default, and the share
// 資料 with an allowed and a denied entry. `volumes` adds drives of the PC
// ("D", "CDFS, cdrom") before it is opened.
using Volumes = std::vector<std::pair<std::string, std::string>>;
struct Rig {
  explicit Rig(Volumes volumes = {}) {
    for (const auto& [drive, kind] : volumes) pc.SetMachine("volumes", drive, kind);
    auto& sim = pc.Open();
    context.emplace(sim.platform(), kDemoIniPath, ReadOsInfo(sim.platform().system));
    sheet.emplace(*context);
    EXPECT_TRUE(sheet->LoadAll());
    Select("本店");
  }
  void Select(const std::string& name) {
    const int64_t number = sheet->FindPlaceNumber(name);
    ASSERT_GE(number, 0) << name;
    sheet->CurrentPlace = sheet->FindPlace(static_cast<uint32_t>(number));
  }
  config::PlaceSettings& Place() { return *sheet->FindPlaceSettings(*sheet->CurrentPlace); }
  std::string Dump() { return velandra::testing::Dump(Place()); }
  const std::vector<platform::sim::ShownMessage>& Messages() { return pc.Open().Messages(); }
  Strings MessageTexts() {
    Strings texts;
    for (const auto& m : Messages()) texts.push_back(m.Text);
    return texts;
  }

  ScratchPc pc;
  std::optional<Context> context;
  std::optional<CVelandraSheet> sheet;
  AnsweringDialogHost dialogs;
};

config::NetworkDrive Drive(const char* local, const char* remote, const char* user = "",
                           const char* password = "") {
  config::NetworkDrive d;
  d.LocalName = local;
  d.RemoteName = remote;
  d.UserName = user;
  d.Password = password;
  return d;
}

SharePermission Entry(const char* name, const char* domain, uint8_t type, uint32_t mask) {
  SharePermission p;
  p.AccountName = name;
  p.AccountDomain = domain;
  p.AceType = type;
  p.AccessMask = mask;
  return p;
}

config::NetShare Share(const char* name, const char* path, int32_t maxUses,
                       std::vector<SharePermission> access = {}) {
  config::NetShare s;
  s.ShareName = name;
  s.SharePath = path;
  s.Remark = std::string(name) + "のコメント";
  s.MaxUses = maxUses;
  s.Access = std::move(access);
  return s;
}

// Presses in the drive and share dialogs.
using Press = AnsweringDialogHost::Press;
Press OnDrive(std::function<void(CDlgNetDrive&)> fill, bool ok = true) {
  return [fill, ok](CDialogModel& d) {
    fill(dynamic_cast<CDlgNetDrive&>(d));
    return ok;
  };
}
Press OnShare(std::function<void(CDlgShare&)> fill, bool ok = true) {
  return [fill, ok](CDialogModel& d) {
    fill(dynamic_cast<CDlgShare&>(d));
    return ok;
  };
}
const Press kCancel = [](CDialogModel&) { return false; };

void SelectLocal(CDlgNetDrive& d, const std::string& name) {
  for (size_t i = 0; i < d.LocalNames.size(); ++i)
    if (d.LocalNames[i] == name) d.LocalSelection = static_cast<int>(i);
}

void TypeShare(CDlgShare& d, const char* path, const char* name, const char* comment,
               const char* maxUsers = nullptr) {
  d.SharePath = path;
  d.ShareName = name;
  d.Remark = comment;
  if (maxUsers) {
    d.OnLimitedClicked();
    d.MaxUsersText = maxUsers;
  }
}

// Every field the page edits filled, with and without passwords and
// permission entries, for an installed, a missing and an empty default
// printer: entering and leaving changes nothing.
TEST(PageNetDrive, EnterThenLeaveOnAFullyFilledPlaceChangesNothing) {
  struct Row {
    const char* printer;
    Strings items;
    int selection;
  };
  const Row rows[] = {
      {"経理部 EPSON LP-9000C",
       {"Canon LBP-1310", "経理部 EPSON LP-9000C", "\\\\fs01\\営業部カラー"},
       1},
      {"旧 総務部プリンタ",
       {"旧 総務部プリンタ", "Canon LBP-1310", "経理部 EPSON LP-9000C", "\\\\fs01\\営業部カラー"},
       0},
      {"", {"", "Canon LBP-1310", "経理部 EPSON LP-9000C", "\\\\fs01\\営業部カラー"}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.printer);
    Rig rig;
    config::PlaceSettings& place = rig.Place();
    place.NetworkDrives.Drives = {Drive("Z:", "\\\\fs01\\総務", "yamada", "p@ss,word"),
                                  Drive("X:", "\\\\fs01\\経理"),
                                  Drive("W:", "\\\\nas-home\\写真", "", "secret")};
    place.NetShares = {
        Share("資料", "C:\\共有\\資料", 10,
              {Entry("Everyone", "", config::kAceAllowed, config::kShareRead),
               Entry("Guest", "VELANDRA-PC", config::kAceDenied, config::kShareFullControl)}),
        Share("公開", "C:\\共有\\公開", -1)};
    place.DefaultPrinter = row.printer;
    const std::string before = rig.Dump();
    CPageNetDrive page(*rig.sheet, rig.dialogs);
    page.OnSetActive();
    EXPECT_EQ(page.DriveRows(), (TableRows{{"Z:", "\\\\fs01\\総務", "yamada", "********"},
                                           {"X:", "\\\\fs01\\経理", "", ""},
                                           {"W:", "\\\\nas-home\\写真", "", "********"}}));
    EXPECT_EQ(page.ShareRows(), (TableRows{{"C:\\共有\\資料", "資料", "資料のコメント", "10"},
                                           {"C:\\共有\\公開", "公開", "公開のコメント", "無制限"}}));
    EXPECT_EQ(page.PrinterItems, row.items);
    EXPECT_EQ(page.PrinterSelection, row.selection);
    EXPECT_TRUE(page.OnKillActive());
    EXPECT_EQ(rig.Dump(), before);
    EXPECT_TRUE(rig.Messages().empty());
  }
}

// Every refusal says why with a warning, leaves the records as they were,
// and keeps a dialog open (the press after the refusal cancels it).
TEST(PageNetDrive, RefusalsSayWhyAndChangeNothing) {
  struct Row {
    const char* what;
    void (CPageNetDrive::*button)();
    std::optional<Press> refused;  // in the dialog the button opens, if any
    std::string message;
  };
  const Row rows[] = {
      {"drive edit, none selected", &CPageNetDrive::OnDriveEdit, std::nullopt,
       "編集するネットワークドライブを選択してください"},
      {"drive delete, none selected", &CPageNetDrive::OnDriveDelete, std::nullopt,
       "削除したいネットワークドライブを選択してください"},
      {"share edit, none selected", &CPageNetDrive::OnShareEdit, std::nullopt,
       "変更したい共有情報を選択してください"},
      {"share delete, none selected", &CPageNetDrive::OnShareDelete, std::nullopt,
       "削除したい共有情報を選択してください"},
      {"no local name", &CPageNetDrive::OnDriveAdd, OnDrive([](CDlgNetDrive& d) {
         d.LocalSelection = -1;
         d.RemoteName = "\\\\fs01\\public";
       }),
       "ローカル名を選択してください"},
      {"empty remote name", &CPageNetDrive::OnDriveAdd,
       OnDrive([](CDlgNetDrive& d) { d.UserName = "yamada"; }), "接続先を入力してください"},
      {"comma in the remote name", &CPageNetDrive::OnDriveAdd,
       OnDrive([](CDlgNetDrive& d) { d.RemoteName = "\\\\fs01\\a,b"; }),
       "ネットワークドライブ D: の設定に「,」が含まれているため保存できません"},
      {"password the file cannot keep", &CPageNetDrive::OnDriveAdd, OnDrive([](CDlgNetDrive& d) {
         d.RemoteName = "\\\\fs01\\public";
         d.Password = std::string(86, 'p');
       }),
       kMsgDrivePasswordTooLong},
      {"empty path", &CPageNetDrive::OnShareAdd,
       OnShare([](CDlgShare& d) { TypeShare(d, "", "予備", ""); }),
       "共有するパスを入力してください"},
      {"empty share name", &CPageNetDrive::OnShareAdd,
       OnShare([](CDlgShare& d) { TypeShare(d, "C:\\共有\\予備", "", ""); }),
       "共有名を入力してください"},
      {"max users 0", &CPageNetDrive::OnShareAdd,
       OnShare([](CDlgShare& d) { TypeShare(d, "C:\\共有\\予備", "予備", "", "0"); }),
       "最大ユーザー数を入力してください"},
      {"max users empty", &CPageNetDrive::OnShareAdd,
       OnShare([](CDlgShare& d) { TypeShare(d, "C:\\共有\\予備", "予備", "", ""); }),
       "最大ユーザー数を入力してください"},
      {"max users too large", &CPageNetDrive::OnShareAdd,
       OnShare([](CDlgShare& d) { TypeShare(d, "C:\\共有\\予備", "予備", "", "2147483648"); }),
       "最大ユーザー数を入力してください"},
      {"relative path", &CPageNetDrive::OnShareAdd,
       OnShare([](CDlgShare& d) { TypeShare(d, "共有\\予備", "予備", ""); }),
       "共有 予備 のパス 共有\\予備 は使用できません。ドライブ名から始まるローカルのパスを指定してください。"},
      {"comma in the comment", &CPageNetDrive::OnShareAdd,
       OnShare([](CDlgShare& d) { TypeShare(d, "C:\\共有\\予備", "予備", "a,b"); }),
       "共有 予備 のコメントにはカンマや制御文字を使用できません。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Rig rig;
    CPageNetDrive page(*rig.sheet, rig.dialogs);
    const std::string before = rig.Dump();
    page.OnSetActive();
    if (row.refused) rig.dialogs.Answer({*row.refused, kCancel});
    (page.*row.button)();
    ASSERT_EQ(rig.Messages().size(), 1u);
    EXPECT_EQ(rig.Messages()[0].Text, row.message);
    EXPECT_EQ(rig.Messages()[0].Icon, platform::MessageIcon::Warning);
    EXPECT_EQ(rig.Messages()[0].Caption, "Velandra");
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    EXPECT_TRUE(page.OnKillActive());
    EXPECT_EQ(rig.Dump(), before);
  }
}

// The letters offered leave out the PC's local disks, CD-ROM, RAM disk and
// removable drives and the letters of the other drives (in either case);
// when editing, the drive's own letter is offered and selected.
TEST(PageNetDrive, DriveLettersOffered) {
  struct Row {
    const char* what;
    std::vector<config::NetworkDrive> drives;
    int edit;  // the row edited, -1 for a drive added
    Strings offered;
    std::string selected;
  };
  const Strings kFreeBesidesXYZ = {"G:", "I:", "J:", "K:", "L:", "M:", "N:", "O:",
                                   "P:", "Q:", "R:", "S:", "T:", "U:", "V:", "W:"};
  auto with = [&](Strings more) {
    Strings all = kFreeBesidesXYZ;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  const Row rows[] = {
      {"add", {Drive("Z:", "\\\\fs01\\総務"), Drive("X:", "\\\\fs01\\経理")}, -1, with({"Y:"}),
       "G:"},
      {"edit X:", {Drive("Z:", "\\\\fs01\\総務"), Drive("X:", "\\\\fs01\\経理")}, 1,
       with({"X:", "Y:"}), "X:"},
      {"lower-case names", {Drive("z:", "\\\\fs01\\総務"), Drive("y:", "\\\\fs01\\経理")}, -1,
       with({"X:"}), "G:"},
      {"edit lower-case y:", {Drive("z:", "\\\\fs01\\総務"), Drive("y:", "\\\\fs01\\経理")}, 1,
       with({"X:", "Y:"}), "Y:"},
      {"edit a letter never offered", {Drive("D:", "\\\\fs01\\総務")}, 0,
       with({"X:", "Y:", "Z:"}), "G:"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Rig rig(Volumes{{"D", "CDFS, cdrom"},
             {"E", "FAT, removable"},
             {"F", "FAT, ramdisk"},
             {"G", "NTFS, remote"},
             {"H", "FAT32"}});
    rig.Place().NetworkDrives.Drives = row.drives;
    CPageNetDrive page(*rig.sheet, rig.dialogs);
    page.OnSetActive();
    Strings offered;
    std::string selected, title;
    rig.dialogs.Answer({OnDrive(
        [&](CDlgNetDrive& d) {
          offered = d.LocalNames;
          if (d.LocalSelection >= 0) selected = d.LocalNames[static_cast<size_t>(d.LocalSelection)];
          title = d.Title;
        },
        false)});
    page.DriveSelection = row.edit;
    if (row.edit < 0) page.OnDriveAdd(); else page.OnDriveEdit();
    EXPECT_EQ(offered, row.offered);
    EXPECT_EQ(selected, row.selected);
    EXPECT_EQ(title, row.edit < 0 ? "ネットワークドライブの追加" : "ネットワークドライブの変更");
    EXPECT_TRUE(rig.Messages().empty());
  }
}

TEST(PageNetDrive, DrivesAddedBeforeTheSelectedRowEditedAndDeletedWithoutAsking) {
  Rig rig;
  CPageNetDrive page(*rig.sheet, rig.dialogs);
  page.OnSetActive();  // Z:, X:
  page.DriveSelection = 1;
  rig.dialogs.Answer({OnDrive([](CDlgNetDrive& d) {
    SelectLocal(d, "Y:");
    d.RemoteName = "\\\\fs01\\ソフト開発";
    d.UserName = "yamada";
    d.Password = "himitsu";
  })});
  page.OnDriveAdd();
  EXPECT_EQ(page.DriveSelection, 2);  // X: stays selected
  page.DriveSelection = -1;
  rig.dialogs.Answer({OnDrive([](CDlgNetDrive& d) {
    SelectLocal(d, "W:");
    d.RemoteName = "\\\\fs01\\public";
  })});
  page.OnDriveAdd();  // appended
  page.DriveSelection = 1;
  rig.dialogs.Answer({OnDrive([](CDlgNetDrive& d) {
    EXPECT_EQ(d.RemoteName, "\\\\fs01\\ソフト開発");
    EXPECT_EQ(d.UserName, "yamada");
    EXPECT_EQ(d.Password, "himitsu");
    d.Password.clear();
  })});
  page.OnDriveEdit();
  page.DriveSelection = 0;
  page.OnDriveDelete();  // Z:, without a question
  rig.dialogs.Answer({OnDrive([](CDlgNetDrive& d) { d.RemoteName = "\\\\fs01\\経理"; }, false)});
  page.DriveSelection = 1;
  page.OnDriveEdit();  // cancelled: nothing changes
  EXPECT_EQ(page.DriveRows(), (TableRows{{"Y:", "\\\\fs01\\ソフト開発", "yamada", ""},
                                         {"X:", "\\\\fs01\\経理", "", ""},
                                         {"W:", "\\\\fs01\\public", "", ""}}));
  // Nothing reaches the place before the page is left.
  EXPECT_EQ(rig.Place().NetworkDrives.Drives.size(), 2u);
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(rig.Place().NetworkDrives.Drives,
            (std::vector<config::NetworkDrive>{Drive("Y:", "\\\\fs01\\ソフト開発", "yamada"),
                                               Drive("X:", "\\\\fs01\\経理"),
                                               Drive("W:", "\\\\fs01\\public")}));
  EXPECT_TRUE(rig.Messages().empty());
  EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST(PageNetDrive, DefaultPrinterIsTheSelectedEntry) {
  Rig rig;
  CPageNetDrive page(*rig.sheet, rig.dialogs);
  rig.Place().DefaultPrinter = "旧 総務部プリンタ";
  page.OnSetActive();
  page.PrinterSelection = 2;  // "経理部 EPSON LP-9000C" after the missing one
  EXPECT_TRUE(page.OnKillActive());
  EXPECT_EQ(rig.Place().DefaultPrinter, "経理部 EPSON LP-9000C");
  page.OnSetActive();
  EXPECT_EQ(page.PrinterItems.size(), 3u);  // the stored one is installed now
  EXPECT_EQ(page.PrinterSelection, 1);
}

// Shares change in the place's record at once: inserted before the
// selected row, edited, and deleted by their row without a question, also
// when two rows have one name.
TEST(PageNetDrive, SharesAddedBeforeTheSelectedRowEditedAndDeleted) {
  Rig rig;
  CPageNetDrive page(*rig.sheet, rig.dialogs);
  page.OnSetActive();  // 資料
  page.ShareSelection = 0;
  std::string title = "unset";
  rig.dialogs.Answer({OnShare([&](CDlgShare& d) {
    title = d.Title;
    EXPECT_EQ(d.LimitChoice, CDlgShare::kUnlimited);
    EXPECT_EQ(d.Permissions, (std::vector<SharePermission>{
                                 Entry("Everyone", "", config::kAceAllowed,
                                       config::kShareFullControl)}));
    TypeShare(d, "C:\\共有\\予備", "予備", "予備の場所", "5");
  })});
  page.OnShareAdd();
  EXPECT_EQ(title, "");  // the template's "共有情報の追加"
  EXPECT_EQ(page.ShareSelection, 1);
  page.ShareSelection = -1;
  rig.dialogs.Answer({OnShare([](CDlgShare& d) { TypeShare(d, "C:\\共有\\公開", "予備", ""); })});
  page.OnShareAdd();  // appended; a second share named 予備
  page.ShareSelection = 1;
  rig.dialogs.Answer({OnShare([&](CDlgShare& d) {
    title = d.Title;
    EXPECT_EQ(d.SharePath, "C:\\共有\\資料");
    EXPECT_EQ(d.LimitChoice, CDlgShare::kLimited);
    EXPECT_EQ(d.MaxUsersText, "10");
    EXPECT_EQ(d.Permissions.size(), 2u);
    d.Remark = "部署の資料 (更新)";
    d.OnUnlimitedClicked();
    EXPECT_EQ(d.MaxUsersText, "");
  })});
  page.OnShareEdit();
  EXPECT_EQ(title, "共有資源の編集");
  page.ShareSelection = 2;
  page.OnShareDelete();  // the second 予備, not the first
  EXPECT_EQ(page.ShareRows(), (TableRows{{"C:\\共有\\予備", "予備", "予備の場所", "5"},
                                         {"C:\\共有\\資料", "資料", "部署の資料 (更新)", "無制限"}}));
  const auto& shares = rig.Place().NetShares;
  ASSERT_EQ(shares.size(), 2u);
  EXPECT_TRUE(shares[0].Access.empty());
  EXPECT_EQ(shares[1].Access,
            (std::vector<SharePermission>{
                Entry("Everyone", "", config::kAceAllowed, config::kShareRead),
                Entry("Guest", "VELANDRA-PC", config::kAceDenied, config::kShareFullControl)}));
  EXPECT_TRUE(rig.Messages().empty());
  EXPECT_TRUE(rig.dialogs.AllAnswered());
}

// What the share dialog's OK leaves in the share's permission list.
TEST(PageNetDrive, PermissionListStoredByTheShareDialog) {
  struct Row {
    const char* what;
    std::vector<SharePermission> working;
    bool keepGiven;  // the list the page gives, not `working`
    std::vector<SharePermission> stored;
  };
  const auto everyoneFull = Entry("Everyone", "", config::kAceAllowed, config::kShareFullControl);
  const auto guestDenied = Entry("Guest", "VELANDRA-PC", config::kAceDenied, config::kShareChange);
  const Row rows[] = {
      {"untouched: Everyone full control", {}, true, {}},
      {"every mask 0",
       {Entry("Everyone", "", config::kAceAllowed, 0), Entry("yamada", "", config::kAceDenied, 0)},
       false,
       {}},
      {"masks 0 dropped, order kept",
       {Entry("Everyone", "", config::kAceAllowed, 0), guestDenied,
        Entry("yamada", "", config::kAceAllowed, config::kShareRead)},
       false,
       {guestDenied, Entry("yamada", "", config::kAceAllowed, config::kShareRead)}},
      {"Everyone full control twice", {everyoneFull, everyoneFull}, false, {}},
      {"Everyone denied", {Entry("Everyone", "", config::kAceDenied, config::kShareFullControl)},
       false,
       {Entry("Everyone", "", config::kAceDenied, config::kShareFullControl)}},
      {"Everyone of a domain",
       {Entry("Everyone", "PC", config::kAceAllowed, config::kShareFullControl)},
       false,
       {Entry("Everyone", "PC", config::kAceAllowed, config::kShareFullControl)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Rig rig;
    CPageNetDrive page(*rig.sheet, rig.dialogs);
    page.OnSetActive();
    rig.dialogs.Answer({OnShare([&](CDlgShare& d) {
      TypeShare(d, "C:\\共有\\予備", "予備", "");
      if (!row.keepGiven) d.Permissions = row.working;
    })});
    page.OnShareAdd();
    ASSERT_EQ(rig.Place().NetShares.size(), 2u);
    EXPECT_EQ(rig.Place().NetShares.back().Access, row.stored);
    EXPECT_EQ(rig.Place().NetShares.back().MaxUses, -1);
  }
}

TEST(PageNetDrive, ShareDialogCancelledChangesNothing) {
  Rig rig;
  CPageNetDrive page(*rig.sheet, rig.dialogs);
  page.OnSetActive();
  const std::string before = rig.Dump();
  page.ShareSelection = 0;
  rig.dialogs.Answer({OnShare(
      [](CDlgShare& d) {
        d.ShareName = "別名";
        d.Permissions.clear();
      },
      false)});
  page.OnShareEdit();
  rig.dialogs.Answer({OnShare([](CDlgShare& d) { TypeShare(d, "C:\\a", "a", ""); }, false)});
  page.OnShareAdd();
  EXPECT_EQ(rig.Dump(), before);
}

TEST(PageNetDrive, ShareDialogBrowsesForTheFolder) {
  Rig rig;
  std::vector<SharePermission> access;
  CDlgShare dialog(rig.pc.Open().platform().messages, rig.dialogs, access);
  dialog.SharePath = "C:\\共有";
  dialog.OnInitDialog();
  rig.dialogs.AnswerChoice("C:\\共有\\予備");
  dialog.OnBrowse();
  EXPECT_EQ(dialog.SharePath, "C:\\共有\\予備");
  rig.dialogs.AnswerChoice(std::nullopt);
  dialog.OnBrowse();  // cancelled: the path stays
  EXPECT_EQ(dialog.SharePath, "C:\\共有\\予備");
  EXPECT_EQ(rig.dialogs.Choosers,
            (Strings{"共有対象を選択してください||C:\\共有", "共有対象を選択してください||C:\\共有\\予備"}));
}

// "現在の…を取得" replaces the lists by the PC's, without a question; when
// the PC's list cannot be read the page's stays and a warning says so.
TEST(PageNetDrive, GetDrivesAndSharesReplaceTheListsFromThePc) {
  Rig rig;
  CPageNetDrive page(*rig.sheet, rig.dialogs);
  page.OnSetActive();
  page.DriveSelection = 0;
  page.ShareSelection = 0;
  page.OnGetDrives();
  page.OnGetShares();
  EXPECT_EQ(page.DriveRows(), (TableRows{{"Z:", "\\\\fs01\\総務", "", ""},
                                         {"Y:", "\\\\fs01\\ソフト開発", "", ""}}));
  EXPECT_EQ(page.ShareRows(), (TableRows{{"C:\\共有\\資料", "資料", "部署の資料", "10"},
                                         {"C:\\共有\\公開", "公開", "", "無制限"}}));
  EXPECT_EQ(page.DriveSelection, -1);
  EXPECT_EQ(page.ShareSelection, -1);
  ASSERT_EQ(rig.Place().NetShares.size(), 2u);
  EXPECT_EQ(rig.Place().NetShares[0].Access.size(), 3u);
  EXPECT_TRUE(rig.Messages().empty());

  rig.pc.WriteFile("drives.ini", "[connections\n");
  rig.pc.WriteFile("shares.ini", "[broken\n");
  const TableRows drives = page.DriveRows();
  const config::NetShareList shares = rig.Place().NetShares;
  page.OnGetDrives();
  page.OnGetShares();
  EXPECT_EQ(page.DriveRows(), drives);
  EXPECT_EQ(rig.Place().NetShares, shares);
  const Strings texts = rig.MessageTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].rfind(kMsgGetDrivesFailed, 0), 0u) << texts[0];
  EXPECT_EQ(texts[1].rfind(kMsgGetSharesFailed, 0), 0u) << texts[1];
}

// The permission dialog works on the share dialog's working list: a user
// added and the checks set there reach the share only through both OKs, and
// are saved with the place.
TEST(PageNetDrive, PermissionsSetThroughThePermissionDialogAreSaved) {
  Rig rig;
  CPageNetDrive page(*rig.sheet, rig.dialogs);
  page.OnSetActive();
  auto onPermission = [](std::function<void(CDlgSharePermission&)> fill, bool ok) -> Press {
    return [fill, ok](CDialogModel& d) {
      fill(dynamic_cast<CDlgSharePermission&>(d));
      return ok;
    };
  };
  auto click = [](CDlgSharePermission& d, int check, bool value) {
    d.Checks[static_cast<size_t>(check)] = value;
    d.OnCheckClicked(check);
  };
  // First a permission dialog cancelled: the working list stays.
  rig.dialogs.Answer({OnShare([](CDlgShare& d) {
    TypeShare(d, "C:\\共有\\予備", "予備", "予備の場所");
    d.OnPermission();
    EXPECT_EQ(d.Permissions, (std::vector<SharePermission>{Entry(
                                 "Everyone", "", config::kAceAllowed, config::kShareFullControl)}));
    d.OnPermission();
  })});
  rig.dialogs.Answer({onPermission([&](CDlgSharePermission& d) { click(d, d.kFullAllow, false); },
                                   false)});
  rig.dialogs.Answer({onPermission(
      [&](CDlgSharePermission& d) {
        ASSERT_EQ(d.Users, Strings{"Everyone"});
        click(d, d.kFullAllow, false);
        click(d, d.kChangeAllow, false);  // Everyone: read
        d.OnAdd();
        click(d, d.kFullDeny, true);  // yamada: denied everything
      },
      true)});
  rig.dialogs.Answer({[](CDialogModel& d) {
    dynamic_cast<CDlgUserName&>(d).UserName = "VELANDRA-PC\\yamada";
    return true;
  }});
  page.OnShareAdd();
  EXPECT_EQ(rig.dialogs.Shown, (std::vector<uint32_t>{IDD_SHARE, IDD_SHARE_PERMISSION,
                                                      IDD_SHARE_PERMISSION, IDD_USER_NAME}));
  EXPECT_TRUE(rig.dialogs.AllAnswered());
  ASSERT_EQ(rig.Place().NetShares.size(), 2u);
  EXPECT_EQ(rig.Place().NetShares[1].Access,
            (std::vector<SharePermission>{
                Entry("Everyone", "", config::kAceAllowed, config::kShareRead),
                Entry("yamada", "VELANDRA-PC", config::kAceDenied, config::kShareFullControl)}));
  EXPECT_TRUE(page.OnKillActive());
  ASSERT_TRUE(rig.sheet->SaveAll());
  const std::string ini = rig.pc.ReadFile(velandra::testing::kDemoIniFile);
  EXPECT_NE(ini.find("NetShare02=予備,0,予備の場所,0,-1,0,C:\\共有\\予備,\r\n"
                     "NetShare0201=Everyone,,ACCESS_ALLOWED_ACE_TYPE,0,001200a9\r\n"
                     "NetShare0202=yamada,VELANDRA-PC,ACCESS_DENIED_ACE_TYPE,0,001f01ff\r\n"),
            std::string::npos)
      << ini;
  EXPECT_TRUE(rig.Messages().empty());
}

#ifdef _WIN32

using velandra::testing::ClippedTexts;
using velandra::testing::ComboItems;
using velandra::testing::FindExitDialog;
using velandra::testing::FindSheet;
using velandra::testing::FindDialog;
using velandra::testing::LayoutFaults;
using velandra::testing::PageOf;
using velandra::testing::PostClick;
using velandra::testing::ClickCheck;
using velandra::testing::RunPageAlone;
using velandra::testing::TabOrder;
using velandra::testing::WindowDriver;
using velandra::testing::WindowTitle;

win32::Win32DialogHost NetDriveDialogs() {
  return win32::Win32DialogHost(GetModuleHandleA(nullptr), {&win32::MakeNetDriveDialogView});
}

// A list view's columns as "title width", and its rows.
Strings Columns(HWND dialog, int id) {
  Strings columns;
  for (int i = 0;; ++i) {
    char text[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    if (!SendDlgItemMessageA(dialog, id, LVM_GETCOLUMNA, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&column)))
      break;
    columns.push_back(std::string(text) + " " + std::to_string(column.cx));
  }
  return columns;
}

TableRows ListRows(HWND dialog, int id) {
  TableRows rows;
  const size_t columns = Columns(dialog, id).size();
  const LRESULT count = SendDlgItemMessageA(dialog, id, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT r = 0; r < count; ++r) {
    std::vector<std::string> row;
    for (size_t c = 0; c < columns; ++c) {
      char text[300] = {};
      LVITEMA item{};
      item.iSubItem = static_cast<int>(c);
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendDlgItemMessageA(dialog, id, LVM_GETITEMTEXTA, static_cast<WPARAM>(r),
                          reinterpret_cast<LPARAM>(&item));
      row.push_back(text);
    }
    rows.push_back(row);
  }
  return rows;
}

void SelectRow(HWND dialog, int id, int row) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageA(dialog, id, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(&state));
}

void SelectComboText(HWND dialog, int id, const std::string& text) {
  SendDlgItemMessageA(dialog, id, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(text.c_str()));
}

TEST(Win32NetDrivePage, ShowsTheRecordsAndStoresThemOnLeaving) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  Rig rig;
  rig.Place().NetworkDrives.Drives.push_back(Drive("W:", "\\\\fs01\\public", "yamada", "pw"));
  win32::Win32DialogHost host = NetDriveDialogs();
  CPageNetDrive page(*rig.sheet, host);
  std::unique_ptr<win32::PageView> view = win32::MakeNetDrivePageView(page);

  Strings driveColumns, shareColumns, printers, clipped, layout;
  TableRows drives, shares, drivesAfter;
  std::string printer;
  std::vector<int> tabs;
  WindowDriver driver;
  driver
      .ThenDialog("Velandra",
                  [&](HWND sheet) {
                    HWND p = PageOf(sheet);
                    driveColumns = Columns(p, IDC_NETDRIVE_DRIVE_LIST);
                    shareColumns = Columns(p, IDC_NETDRIVE_SHARE_LIST);
                    drives = ListRows(p, IDC_NETDRIVE_DRIVE_LIST);
                    shares = ListRows(p, IDC_NETDRIVE_SHARE_LIST);
                    printers = ComboItems(p, IDC_NETDRIVE_PRINTER);
                    printer = win32::ItemText(p, IDC_NETDRIVE_PRINTER);
                    clipped = ClippedTexts(sheet);
                    layout = LayoutFaults(p);
                    tabs = TabOrder(p, IDC_NETDRIVE_DRIVE_LIST);
                    SelectRow(p, IDC_NETDRIVE_DRIVE_LIST, 1);
                    PostClick(p, IDC_NETDRIVE_DRIVE_DELETE);
                  })
      .ThenDialog("Velandra", [&](HWND sheet) {
        HWND p = PageOf(sheet);
        drivesAfter = ListRows(p, IDC_NETDRIVE_DRIVE_LIST);
        SelectComboText(p, IDC_NETDRIVE_PRINTER, "Canon LBP-1310");
        PostClick(sheet, IDOK);
      });
  EXPECT_TRUE(RunPageAlone(*view, driver)) << driver.Stuck();
  EXPECT_EQ(driveColumns, (Strings{"ドライブ 50", "接続先 170", "ユーザー名 100", "パスワード 100"}));
  EXPECT_EQ(shareColumns, (Strings{"パス 120", "共有名 100", "コメント 100", "同時アクセス 80"}));
  EXPECT_EQ(drives, (TableRows{{"Z:", "\\\\fs01\\総務", "", ""},
                               {"X:", "\\\\fs01\\経理", "", ""},
                               {"W:", "\\\\fs01\\public", "yamada", "********"}}));
  EXPECT_EQ(shares, (TableRows{{"C:\\共有\\資料", "資料", "部署の資料", "10"}}));
  EXPECT_EQ(printers,
            (Strings{"Canon LBP-1310", "経理部 EPSON LP-9000C", "\\\\fs01\\営業部カラー"}));
  EXPECT_EQ(printer, "経理部 EPSON LP-9000C");
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(tabs, (std::vector<int>{IDC_NETDRIVE_DRIVE_LIST, IDC_NETDRIVE_DRIVE_ADD,
                                    IDC_NETDRIVE_DRIVE_EDIT, IDC_NETDRIVE_DRIVE_DELETE,
                                    IDC_NETDRIVE_GET_DRIVES, IDC_NETDRIVE_PRINTER,
                                    IDC_NETDRIVE_SHARE_LIST, IDC_NETDRIVE_SHARE_ADD,
                                    IDC_NETDRIVE_SHARE_EDIT, IDC_NETDRIVE_SHARE_DELETE,
                                    IDC_NETDRIVE_GET_SHARES}));
  EXPECT_EQ(drivesAfter, (TableRows{{"Z:", "\\\\fs01\\総務", "", ""},
                                    {"W:", "\\\\fs01\\public", "yamada", "********"}}));
  EXPECT_EQ(rig.Place().NetworkDrives.Drives,
            (std::vector<config::NetworkDrive>{Drive("Z:", "\\\\fs01\\総務"),
                                               Drive("W:", "\\\\fs01\\public", "yamada", "pw")}));
  EXPECT_EQ(rig.Place().DefaultPrinter, "Canon LBP-1310");
  EXPECT_TRUE(rig.Messages().empty());
}

TEST(Win32NetDriveDialog, OffersTheFreeLettersAndRefusesAnEmptyRemoteName) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  Rig rig(Volumes{{"D", "CDFS, cdrom"}});
  platform::Platform& platform = rig.pc.Open().platform();
  CDlgNetDrive dialog(platform.messages, platform.system, {"Z:"},
                      Drive("X:", "\\\\fs01\\経理", "yamada", "pw"), kNetDriveEditTitle);
  std::string title, local, password;
  Strings letters, clipped, layout;
  std::vector<int> tabs;
  bool stayed = false;
  WindowDriver driver;
  driver
      .ThenDialog("ネットワークドライブの変更",
                  [&](HWND d) {
                    title = WindowTitle(d);
                    letters = ComboItems(d, IDC_NET_DRIVE_LOCAL);
                    local = win32::ItemText(d, IDC_NET_DRIVE_LOCAL);
                    password = win32::ItemText(d, IDC_NET_DRIVE_PASSWORD);
                    clipped = ClippedTexts(d);
                    layout = LayoutFaults(d);
                    tabs = TabOrder(d, IDC_NET_DRIVE_LOCAL);
                    SetDlgItemTextA(d, IDC_NET_DRIVE_REMOTE, "");
                    PostClick(d, IDOK);
                  })
      .ThenDialog("ネットワークドライブの変更", [&](HWND d) {
        stayed = GetFocus() == GetDlgItem(d, IDC_NET_DRIVE_REMOTE);
        SelectComboText(d, IDC_NET_DRIVE_LOCAL, "Y:");
        SetDlgItemTextA(d, IDC_NET_DRIVE_REMOTE, "\\\\fs01\\ソフト開発");
        PostClick(d, IDOK);
      });
  win32::Win32DialogHost host = NetDriveDialogs();
  bool ok = false;
  EXPECT_TRUE(driver.Run([&] { ok = host.DoModal(dialog); })) << driver.Stuck();
  EXPECT_TRUE(ok);
  EXPECT_EQ(title, "ネットワークドライブの変更");
  ASSERT_FALSE(letters.empty());
  EXPECT_EQ(letters.front(), "E:");  // C: a disk, D: the CD-ROM
  EXPECT_EQ(letters.back(), "Y:");   // Z: in use
  EXPECT_EQ(local, "X:");
  EXPECT_EQ(password, "pw");
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(tabs, (std::vector<int>{IDC_NET_DRIVE_LOCAL, IDC_NET_DRIVE_REMOTE, IDC_NET_DRIVE_USER,
                                    IDC_NET_DRIVE_PASSWORD, IDOK, IDCANCEL}));
  EXPECT_TRUE(stayed);
  EXPECT_EQ(dialog.Drive, Drive("Y:", "\\\\fs01\\ソフト開発", "yamada", "pw"));
  EXPECT_EQ(rig.MessageTexts(), Strings{"接続先を入力してください"});
}

TEST(Win32ShareDialog, LimitChoiceSpinAndTitle) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  Rig rig;
  std::vector<SharePermission> access = rig.Place().NetShares[0].Access;
  win32::Win32DialogHost host = NetDriveDialogs();
  CDlgShare dialog(rig.pc.Open().platform().messages, host, access, kShareEditTitle);
  dialog.MaxUses = -1;
  dialog.SharePath = "C:\\共有\\資料";
  dialog.ShareName = "資料";
  std::string title, field, fieldAfterLimited, fieldAfterUnlimited;
  bool unlimited = false, buddy = false;
  int low = -1, high = -1;
  Strings clipped, layout;
  std::vector<int> tabs;
  WindowDriver driver;
  driver
      .ThenDialog("共有資源の編集",
                  [&](HWND d) {
                    title = WindowTitle(d);
                    unlimited = win32::ItemChecked(d, IDC_SHARE_UNLIMITED);
                    field = win32::ItemText(d, IDC_SHARE_MAX_USERS);
                    buddy = reinterpret_cast<HWND>(SendDlgItemMessageA(
                                d, IDC_SHARE_MAX_USERS_SPIN, UDM_GETBUDDY, 0, 0)) ==
                            GetDlgItem(d, IDC_SHARE_MAX_USERS);
                    SendDlgItemMessageA(d, IDC_SHARE_MAX_USERS_SPIN, UDM_GETRANGE32,
                                        reinterpret_cast<WPARAM>(&low),
                                        reinterpret_cast<LPARAM>(&high));
                    clipped = ClippedTexts(d);
                    layout = LayoutFaults(d);
                    tabs = TabOrder(d, IDC_SHARE_PATH);
                    PostClick(d, IDC_SHARE_LIMITED);
                  })
      .Then([] { return FindDialog("共有資源の編集"); },
            [&](HWND d) {
              fieldAfterLimited = win32::ItemText(d, IDC_SHARE_MAX_USERS);
              PostClick(d, IDC_SHARE_UNLIMITED);
            })
      .Then([] { return FindDialog("共有資源の編集"); },
            [&](HWND d) {
              fieldAfterUnlimited = win32::ItemText(d, IDC_SHARE_MAX_USERS);
              win32::SetRadioIndex(d, {IDC_SHARE_UNLIMITED, IDC_SHARE_LIMITED}, 1);
              SetDlgItemTextA(d, IDC_SHARE_MAX_USERS, "3");
              SetDlgItemTextA(d, IDC_SHARE_COMMENT, "新しいコメント");
              PostClick(d, IDOK);
            });
  bool ok = false;
  EXPECT_TRUE(driver.Run([&] { ok = host.DoModal(dialog); })) << driver.Stuck();
  EXPECT_TRUE(ok);
  EXPECT_EQ(title, "共有資源の編集");
  EXPECT_TRUE(unlimited);
  EXPECT_EQ(field, "");
  EXPECT_TRUE(buddy);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 10);
  EXPECT_EQ(fieldAfterLimited, "10");
  EXPECT_EQ(fieldAfterUnlimited, "");
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(tabs, (std::vector<int>{IDC_SHARE_PATH, IDC_SHARE_BROWSE, IDC_SHARE_NAME,
                                    IDC_SHARE_COMMENT, IDC_SHARE_UNLIMITED, IDC_SHARE_MAX_USERS,
                                    IDC_SHARE_PERMISSION, IDOK, IDCANCEL}));
  EXPECT_EQ(dialog.MaxUses, 3);
  EXPECT_EQ(dialog.Remark, "新しいコメント");
  EXPECT_EQ(access.size(), 2u);
  EXPECT_TRUE(rig.Messages().empty());
}

// A click as the user makes it: the check box toggles, then tells the dialog.
// The dialog captioned `title` once `ready` holds for it.
WindowDriver::Find DialogWhen(const char* title, std::function<bool(HWND)> ready) {
  return [title, ready]() -> HWND {
    HWND d = FindDialog(title);
    return d && ready(d) ? d : nullptr;
  };
}

// The whole sheet on the rig's PC: the NetDrive tab entered, the steps of
// `work` (given the NetDrive page when it is current and the sheet
// enabled), then OK and "保存のみ". The configuration file afterwards.
using SheetWork = std::function<void(WindowDriver&, WindowDriver::Find)>;
std::string SaveThroughTheSheet(Rig& rig, const SheetWork& work) {
  CVelandraSheet& sheet = *rig.sheet;
  int tab = -1;
  const std::vector<SheetPageEntry> entries = SheetPages(sheet);
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].Page == SheetPage::NetDrive) tab = static_cast<int>(i);
  EXPECT_GE(tab, 0);
  std::ostringstream out;
  ScriptedUserPasswordDialog logon(rig.pc.Open().answers(), out);
  win32::Win32ExitDialog exitDialog;
  win32::Win32SheetWindow window(GetModuleHandleA(nullptr), &exitDialog, logon);
  const WindowDriver::Find page = []() -> HWND {
    HWND s = FindSheet();
    HWND p = s && IsWindowEnabled(s) ? PropSheet_GetCurrentPageHwnd(s) : nullptr;
    return p && GetDlgItem(p, IDC_NETDRIVE_DRIVE_ADD) ? p : nullptr;
  };
  WindowDriver driver;
  driver.Then(FindSheet,
              [tab](HWND s) { PostMessageA(s, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0); });
  work(driver, page);
  driver.Then(page, [](HWND) { PostClick(FindSheet(), IDOK); });
  driver.Then(FindExitDialog, [](HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_EXIT_MODE, CB_SETCURSEL, 3, 0);
    PostClick(dialog, IDOK);
  });
  EXPECT_TRUE(driver.Run([&] { window.DoModal(sheet); })) << driver.Stuck();
  for (const auto& m : rig.Messages()) ADD_FAILURE() << "message: " << m.Text;
  return rig.pc.ReadFile(velandra::testing::kDemoIniFile);
}

// A drive and a share added through their real dialogs are saved with 本店.
TEST(Win32NetDriveSheet, DriveAndShareAddedThroughTheDialogsAreSaved) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  Rig rig;
  const std::string ini = SaveThroughTheSheet(rig, [](WindowDriver& driver, auto page) {
    driver.Then(page, [](HWND p) { PostClick(p, IDC_NETDRIVE_DRIVE_ADD); });
    driver.ThenDialog("ネットワークドライブの追加", [](HWND d) {
      SelectComboText(d, IDC_NET_DRIVE_LOCAL, "W:");
      SetDlgItemTextA(d, IDC_NET_DRIVE_REMOTE, "\\\\fs01\\public");
      SetDlgItemTextA(d, IDC_NET_DRIVE_USER, "yamada");
      SetDlgItemTextA(d, IDC_NET_DRIVE_PASSWORD, "pw");
      PostClick(d, IDOK);
    });
    driver.Then(page, [](HWND p) { PostClick(p, IDC_NETDRIVE_SHARE_ADD); });
    driver.ThenDialog("共有情報の追加", [](HWND d) {
      SetDlgItemTextA(d, IDC_SHARE_PATH, "C:\\共有\\予備");
      SetDlgItemTextA(d, IDC_SHARE_NAME, "予備");
      SetDlgItemTextA(d, IDC_SHARE_COMMENT, "予備の場所");
      PostClick(d, IDOK);
    });
  });
  const size_t at = ini.find("[P3]\r\n");
  ASSERT_NE(at, std::string::npos) << ini;
  const std::string place = ini.substr(at, ini.find("\r\n[", at + 1) - at);
  EXPECT_NE(place.find("NetworkDrive01=Z:,\\\\fs01\\総務,,\r\n"
                       "NetworkDrive02=X:,\\\\fs01\\経理,,\r\n"
                       "NetworkDrive03=W:,\\\\fs01\\public,yamada,143136\r\n"),
            std::string::npos)
      << place;
  EXPECT_NE(place.find("NetShare02=予備,0,予備の場所,0,-1,0,C:\\共有\\予備,\r\n"), std::string::npos)
      << place;
  EXPECT_EQ(place.find("NetShare0201="), std::string::npos) << place;
}

// A share with two permission entries made through the real share,
// permission and user name dialogs: Everyone may read, yamada is denied.
TEST(Win32NetDriveSheet, ShareWithPermissionsThroughTheDialogsIsSaved) {
  if (!velandra::testing::CanCreateWindows()) GTEST_SKIP() << "no display";
  Rig rig;
  auto checked = [](int id) { return [id](HWND d) { return win32::ItemChecked(d, id); }; };
  auto unchecked = [](int id) { return [id](HWND d) { return !win32::ItemChecked(d, id); }; };
  const std::string ini = SaveThroughTheSheet(rig, [&](WindowDriver& driver, auto page) {
    driver.Then(page, [](HWND p) { PostClick(p, IDC_NETDRIVE_SHARE_ADD); });
    driver.ThenDialog("共有情報の追加", [](HWND d) {
      SetDlgItemTextA(d, IDC_SHARE_PATH, "C:\\共有\\予備");
      SetDlgItemTextA(d, IDC_SHARE_NAME, "予備");
      PostClick(d, IDC_SHARE_PERMISSION);
    });
    driver.Then(DialogWhen("共有の許可", checked(IDC_SHARE_PERMISSION_FULL_ALLOW)),
                [](HWND d) { ClickCheck(d, IDC_SHARE_PERMISSION_FULL_ALLOW); });
    driver.Then(DialogWhen("共有の許可", unchecked(IDC_SHARE_PERMISSION_FULL_ALLOW)),
                [](HWND d) { ClickCheck(d, IDC_SHARE_PERMISSION_CHANGE_ALLOW); });
    driver.Then(DialogWhen("共有の許可", unchecked(IDC_SHARE_PERMISSION_CHANGE_ALLOW)),
                [](HWND d) { PostClick(d, IDC_SHARE_PERMISSION_ADD); });
    driver.ThenDialog("ユーザーの追加", [](HWND d) {
      SetDlgItemTextA(d, IDC_USER_NAME_TEXT, "VELANDRA-PC\\yamada");
      PostClick(d, IDOK);
    });
    driver.Then(DialogWhen("共有の許可",
                           [](HWND d) {
                             return win32::ListBoxSelection(d, IDC_SHARE_PERMISSION_USERS) == 1;
                           }),
                [](HWND d) { ClickCheck(d, IDC_SHARE_PERMISSION_FULL_DENY); });
    driver.Then(DialogWhen("共有の許可", checked(IDC_SHARE_PERMISSION_READ_DENY)),
                [](HWND d) { PostClick(d, IDOK); });
    driver.ThenDialog("共有情報の追加", [](HWND d) { PostClick(d, IDOK); });
  });
  EXPECT_NE(ini.find("NetShare02=予備,0,,0,-1,0,C:\\共有\\予備,\r\n"
                     "NetShare0201=Everyone,,ACCESS_ALLOWED_ACE_TYPE,0,001200a9\r\n"
                     "NetShare0202=yamada,VELANDRA-PC,ACCESS_DENIED_ACE_TYPE,0,001f01ff\r\n"),
            std::string::npos)
      << ini;
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
