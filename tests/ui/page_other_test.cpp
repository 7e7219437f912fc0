#include "ui/page_other.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "config/place_settings.h"
#include "support/answering_dialog_host.h"
#include "support/demo_pc_facts.h"
#include "support/place_records.h"
#include "support/scratch_dir.h"
#include "system/hosts_files.h"
#include "system/os_info.h"
#include "system/platform/text.h"
#include "ui/velandra_sheet.h"

#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include "dns_wins_test_rig.h"
#include "support/window_driver.h"
#include "ui/dlg_user_password.h"
#include "ui/win32/controls.h"
#include "ui/win32/dlg_exit_view.h"
#include "ui/win32/page_other_view.h"
#include "ui/win32/sheet_view.h"
#endif

namespace velandra::ui {
namespace {

using config::ProgramEntry;
using velandra::testing::AnsweringDialogHost;
using velandra::testing::kDemoIniPath;
using velandra::testing::ScratchPc;
using Strings = std::vector<std::string>;

constexpr char kExplorer[] = "C:\\WINDOWS\\explorer.exe";
constexpr char kSystemHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
constexpr char kProgramDir[] = "C:\\Program Files\\Velandra";

// The demo PC's sheet, loaded, with a dialog host answering the page's
// dialogs and choosers.
struct OtherRig {
  OtherRig()
      : context(pc.Open().platform(), kDemoIniPath, ReadOsInfo(pc.Open().platform().system)),
        sheet(context),
        page(sheet, dialogs) {
    EXPECT_TRUE(sheet.LoadAll());
  }
  void Select(const std::string& name) {
    const int64_t number = sheet.FindPlaceNumber(name);
    ASSERT_GE(number, 0) << name;
    sheet.CurrentPlace = sheet.FindPlace(static_cast<uint32_t>(number));
  }
  config::PlaceSettings& Place() { return *sheet.FindPlaceSettings(*sheet.CurrentPlace); }
  platform::Platform& P() { return pc.Open().platform(); }
  Strings MessageTexts() {
    Strings texts;
    for (const auto& m : pc.Open().Messages()) texts.push_back(m.Text);
    return texts;
  }
  std::vector<platform::MessageIcon> MessageIcons() {
    std::vector<platform::MessageIcon> icons;
    for (const auto& m : pc.Open().Messages()) icons.push_back(m.Icon);
    return icons;
  }
  bool Logged(const std::string& cp932) {
    const auto& events = pc.Open().Events();
    return std::find(events.begin(), events.end(), platform::Cp932ToUtf8(cp932)) != events.end();
  }

  ScratchPc pc;
  Context context;
  CVelandraSheet sheet;
  AnsweringDialogHost dialogs;
  CPageOther page;
};

void AddProgram(config::PlaceSettings& place, int32_t type, std::string path, std::string args,
                std::string dir, int32_t show) {
  auto entry = std::make_unique<ProgramEntry>();
  entry->Type = type;
  entry->Path = std::move(path);
  entry->Arguments = std::move(args);
  entry->Directory = std::move(dir);
  entry->Show = show;
  place.Programs.push_back(std::move(entry));
}

CDlgProgram& ProgramDialog(CDialogModel& dialog) { return dynamic_cast<CDlgProgram&>(dialog); }

TEST(PageOther, EnterThenLeaveOnAFullyFilledPlaceChangesNothing) {
  OtherRig rig;
  rig.Select("本店");
  config::PlaceSettings& place = rig.Place();
  place.HOSTS = "C:\\Program Files\\Velandra\\hosts.本店";
  place.LMHOSTS = "D:\\表\\lmhosts.本店";
  place.Programs.clear();
  // Every type with every size, each with arguments that start with a
  // quote and a working directory.
  const int32_t types[] = {config::kProgramTypeProgram, config::kProgramTypeFolder,
                           config::kProgramTypeFile};
  const int32_t shows[] = {config::kShowNormal, config::kShowMaximized, config::kShowMinimized};
  for (int32_t type : types)
    for (int32_t show : shows)
      AddProgram(place, type,
                 "C:\\ソフト\\表" + std::to_string(type) + std::to_string(show) + ".exe",
                 "\"-a\" " + std::to_string(show), "C:\\作業\\" + std::to_string(type), show);
  const std::string before = velandra::testing::Dump(place);
  std::vector<std::string> others;
  for (const auto& p : rig.sheet.PlaceSettingsList)
    if (p.get() != &place) others.push_back(velandra::testing::Dump(*p));

  rig.page.OnSetActive();
  EXPECT_EQ(rig.page.Hosts, place.HOSTS);
  EXPECT_EQ(rig.page.Lmhosts, place.LMHOSTS);
  ASSERT_EQ(rig.page.Rows.size(), 9u);
  EXPECT_EQ(rig.page.Rows[0], (ProgramRow{"C:\\ソフト\\表05.exe", "\"-a\" 5", "PGM", "C:\\作業\\0",
                                          "NORMAL"}));
  EXPECT_EQ(rig.page.Rows[4].TypeText + " " + rig.page.Rows[4].SizeText, "FOLDER MAXIMIZE");
  EXPECT_EQ(rig.page.Rows[8].TypeText + " " + rig.page.Rows[8].SizeText, "FILE MINIMIZE");
  EXPECT_EQ(rig.page.Selection, -1);
  EXPECT_TRUE(rig.page.OnKillActive());
  EXPECT_EQ(velandra::testing::Dump(place), before);

  // Every other place too, as loaded.
  size_t i = 0;
  for (const auto& p : rig.sheet.PlaceSettingsList) {
    if (p.get() == &place) continue;
    SCOPED_TRACE(p->owner.Name);
    rig.Select(p->owner.Name);
    rig.page.OnSetActive();
    EXPECT_TRUE(rig.page.OnKillActive());
    EXPECT_EQ(velandra::testing::Dump(*p), others[i++]);
  }
  EXPECT_TRUE(rig.MessageTexts().empty());
}

// Words read back from the list that are none of the three count as a
// program and as the normal size, on leaving and in the edit dialog.
TEST(PageOther, UnknownTypeAndSizeWordsCountAsProgramAndNormal) {
  OtherRig rig;
  rig.Select("在宅");
  rig.page.OnSetActive();
  ASSERT_EQ(rig.page.Rows.size(), 1u);
  rig.page.Rows[0].TypeText = "folder";
  rig.page.Rows[0].SizeText = "HUGE";
  rig.page.Selection = 0;
  int type = -1, sizeChoice = -1;
  rig.dialogs.Answer({[&](CDialogModel& d) {
    type = ProgramDialog(d).Type;
    sizeChoice = ProgramDialog(d).SizeChoice;
    return false;
  }});
  rig.page.OnEdit();
  EXPECT_EQ(type, config::kProgramTypeProgram);
  EXPECT_EQ(sizeChoice, 0);
  EXPECT_TRUE(rig.page.OnKillActive());
  ASSERT_EQ(rig.Place().Programs.size(), 1u);
  EXPECT_EQ(rig.Place().Programs[0]->Type, config::kProgramTypeProgram);
  EXPECT_EQ(rig.Place().Programs[0]->Show, config::kShowNormal);
}

TEST(PageOther, EditAndDeleteWithoutASelectionSayWhatToSelect) {
  struct Row {
    void (CPageOther::*button)();
    int selection;
    const char* message;
  };
  const Row rows[] = {
      {&CPageOther::OnEdit, -1, "編集したいプログラムを選択してください"},
      {&CPageOther::OnEdit, 1, "編集したいプログラムを選択してください"},  // past the last
      {&CPageOther::OnDelete, -1, "削除したいプログラムを選択してください"},
      {&CPageOther::OnDelete, 1, "削除したいプログラムを選択してください"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.message) + " " + std::to_string(row.selection));
    OtherRig rig;
    rig.Select("在宅");
    const std::string before = velandra::testing::Dump(rig.Place());
    rig.page.OnSetActive();
    rig.page.Selection = row.selection;
    (rig.page.*row.button)();
    EXPECT_EQ(rig.MessageTexts(), Strings{row.message});
    EXPECT_EQ(rig.MessageIcons(),
              std::vector<platform::MessageIcon>{platform::MessageIcon::Warning});
    EXPECT_TRUE(rig.dialogs.Shown.empty());
    EXPECT_EQ(rig.page.Rows.size(), 1u);
    EXPECT_EQ(velandra::testing::Dump(rig.Place()), before);
  }
}

TEST(PageOther, AddEditAndDeleteChangeProgramsAtOnce) {
  OtherRig rig;
  rig.Select("在宅");
  rig.page.OnSetActive();
  std::string addTitle, editTitle;
  CDlgProgram shown(rig.P(), rig.dialogs, "");
  // Added: a file, after a refused empty path.
  rig.dialogs.Answer({[&](CDialogModel& d) {
                        CDlgProgram& program = ProgramDialog(d);
                        addTitle = program.Title;
                        shown.Type = program.Type;
                        shown.Show = program.Show;
                        shown.Path = program.Path + program.Arguments + program.Directory;
                        program.Type = config::kProgramTypeFile;
                        return true;
                      },
                      [](CDialogModel& d) {
                        ProgramDialog(d).Path = kSystemHosts;
                        ProgramDialog(d).SizeChoice = 2;
                        return true;
                      }});
  rig.page.OnAdd();
  EXPECT_EQ(addTitle, "再起動後に実行するプログラムの追加");
  EXPECT_EQ(shown.Type, config::kProgramTypeProgram);
  EXPECT_EQ(shown.Show, config::kShowNormal);
  EXPECT_EQ(shown.Path, "");
  ASSERT_EQ(rig.Place().Programs.size(), 2u);
  EXPECT_EQ(rig.page.Rows[1], (ProgramRow{kSystemHosts, "", "FILE", "", "MINIMIZE"}));
  EXPECT_EQ(rig.page.Selection, 1);

  // Edited: the first row's values shown, then a folder that is not there.
  rig.page.Selection = 0;
  rig.dialogs.Answer({[&](CDialogModel& d) {
    CDlgProgram& program = ProgramDialog(d);
    editTitle = program.Title;
    EXPECT_EQ(program.Type, config::kProgramTypeProgram);
    EXPECT_EQ(program.Path, kExplorer);
    EXPECT_EQ(program.Arguments, "C:\\共有\\公開");
    EXPECT_EQ(program.SizeChoice, 1);  // MAXIMIZE
    program.Type = config::kProgramTypeFolder;
    program.Path = "C:\\共有\\まだ無い";
    program.SizeChoice = 0;
    return true;
  }});
  rig.page.OnEdit();
  EXPECT_EQ(editTitle, "再起動後に実行するプログラムの編集");
  EXPECT_EQ(rig.page.Rows[0], (ProgramRow{"C:\\共有\\まだ無い", "C:\\共有\\公開", "FOLDER", "",
                                          "NORMAL"}));
  EXPECT_EQ(rig.Place().Programs[0]->Type, config::kProgramTypeFolder);
  EXPECT_EQ(rig.Place().Programs[0]->Show, config::kShowNormal);

  // Cancelled: nothing changes.
  const std::string edited = velandra::testing::Dump(rig.Place());
  rig.dialogs.Answer({[](CDialogModel& d) {
    ProgramDialog(d).Path = kExplorer;
    return false;
  }});
  rig.page.OnEdit();
  EXPECT_EQ(velandra::testing::Dump(rig.Place()), edited);

  rig.page.OnDelete();
  ASSERT_EQ(rig.Place().Programs.size(), 1u);
  EXPECT_EQ(rig.Place().Programs[0]->Path, kSystemHosts);
  EXPECT_EQ(rig.page.Rows, (std::vector<ProgramRow>{{kSystemHosts, "", "FILE", "", "MINIMIZE"}}));
  EXPECT_EQ(rig.page.Selection, -1);
  EXPECT_TRUE(rig.page.OnKillActive());
  EXPECT_EQ(rig.Place().Programs.size(), 1u);
  EXPECT_EQ(rig.MessageTexts(), Strings{"実行プログラムを指定してください"});
  EXPECT_EQ(rig.dialogs.Shown, (std::vector<uint32_t>{IDD_PROGRAM, IDD_PROGRAM, IDD_PROGRAM}));
  EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST(ProgramDialog, OkRefusesAPathThatNamesNothing) {
  struct Row {
    int32_t type;
    const char* path;
    bool accepted;
  };
  const Row rows[] = {
      {config::kProgramTypeProgram, "", false},
      {config::kProgramTypeFolder, "", false},
      {config::kProgramTypeFile, "", false},
      {config::kProgramTypeProgram, "C:\\WINDOWS\\無い.exe", false},
      {config::kProgramTypeFile, "C:\\無い\\hosts", false},
      {config::kProgramTypeProgram, "C:\\WINDOWS\\*.exe", false},  // a pattern names no file
      {config::kProgramTypeFolder, "C:\\無い\\フォルダ", true},
      {config::kProgramTypeProgram, kExplorer, true},
      {config::kProgramTypeProgram, "C:\\WINDOWS", true},  // a folder is something
      {config::kProgramTypeFile, kSystemHosts, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.type) + " " + row.path);
    OtherRig rig;
    CDlgProgram dialog(rig.P(), rig.dialogs, kProgramAddTitle);
    dialog.Type = row.type;
    dialog.OnInitDialog();
    dialog.Path = row.path;
    EXPECT_EQ(dialog.OnOK(), row.accepted);
    EXPECT_EQ(rig.MessageTexts(),
              row.accepted ? Strings{} : Strings{"実行プログラムを指定してください"});
    EXPECT_EQ(dialog.Focus, row.accepted ? 0 : IDC_PROGRAM_PATH);
    EXPECT_EQ(dialog.Path, row.path);
    if (!row.accepted) {
      EXPECT_EQ(rig.MessageIcons(),
                std::vector<platform::MessageIcon>{platform::MessageIcon::Warning});
    }
  }
}

// What the program dialog shows for each type: the text over the path,
// the one browse button shown, and whether the arguments and the working
// directory are enabled.
struct Arrangement {
  int32_t type;
  const char* label;
  int browse;
  bool details;
};
const Arrangement kArrangements[] = {
    {config::kProgramTypeProgram, "実行するプログラムを指定(&P):", IDC_PROGRAM_BROWSE_PROGRAM,
     true},
    {config::kProgramTypeFolder, "開くフォルダを指定(&L):", IDC_PROGRAM_BROWSE_FOLDER, false},
    {config::kProgramTypeFile, "開くファイルを指定(&I):", IDC_PROGRAM_BROWSE_FILE, false},
};

TEST(ProgramDialog, ArrangedForTheType) {
  std::vector<Arrangement> rows(std::begin(kArrangements), std::end(kArrangements));
  // No radio button checked reads as -1: a program.
  rows.push_back({-1, kArrangements[0].label, kArrangements[0].browse, true});
  OtherRig rig;
  for (const Arrangement& row : rows) {
    SCOPED_TRACE(row.type);
    CDlgProgram dialog(rig.P(), rig.dialogs, kProgramAddTitle);
    dialog.Type = row.type;
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.PathLabel, row.label);
    EXPECT_EQ(dialog.BrowseShown, row.browse);
    EXPECT_EQ(dialog.DetailsEnabled, row.details);
    // A click on another type, then back.
    dialog.Type = row.type == config::kProgramTypeFolder ? config::kProgramTypeFile
                                                         : config::kProgramTypeFolder;
    dialog.OnTypeClicked();
    EXPECT_NE(dialog.BrowseShown, row.browse);
    dialog.Type = row.type;
    dialog.OnTypeClicked();
    EXPECT_EQ(dialog.PathLabel, row.label);
    EXPECT_EQ(dialog.BrowseShown, row.browse);
    EXPECT_EQ(dialog.DetailsEnabled, row.details);
  }
}

TEST(ProgramDialog, SizeListAndShowCodes) {
  struct Row {
    int32_t show;
    int choice;       // selected at init
    int32_t stored;   // after OK with that choice
  };
  const Row rows[] = {{5, 0, 5}, {3, 1, 3}, {6, 2, 6}, {1, 2, 6}, {0, 2, 6}};
  OtherRig rig;
  EXPECT_EQ(CDlgProgram::SizeItems(), (Strings{"Normal", "Maximize", "Minimize"}));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.show);
    CDlgProgram dialog(rig.P(), rig.dialogs, kProgramEditTitle);
    dialog.Show = row.show;
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.SizeChoice, row.choice);
    dialog.Path = kExplorer;
    ASSERT_TRUE(dialog.OnOK());
    EXPECT_EQ(dialog.Show, row.stored);
  }
}

TEST(ProgramDialog, FolderOfAProgramsPath) {
  struct Row {
    const char* path;
    const char* folder;
  };
  const Row rows[] = {
      {"C:\\表\\x.exe", "C:\\表"},  // 表 ends in 0x5C
      {"C:\\ソフト\\表.exe", "C:\\ソフト"},
      {"C:\\Program Files\\A\\b.bat", "C:\\Program Files\\A"},
      {"C:\\x.exe", "C:\\"},  // the root, not drive C's current folder
      {"\\x.exe", "\\"},
      {"\\\\server\\share\\x.exe", "\\\\server\\share"},
      {"x.exe", ""},
      {"表.exe", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(FolderOfPath(row.path), row.folder) << row.path;
}

TEST(ProgramDialog, BrowseButtonsFillThePathAndTheWorkingDirectory) {
  OtherRig rig;
  CDlgProgram dialog(rig.P(), rig.dialogs, kProgramAddTitle);
  dialog.OnInitDialog();
  dialog.Path = "C:\\古い";
  dialog.Directory = "C:\\作業";
  rig.dialogs.AnswerChoice(std::nullopt);
  dialog.OnBrowseProgram();  // cancelled: both kept
  EXPECT_EQ(dialog.Path + "|" + dialog.Directory, "C:\\古い|C:\\作業");
  rig.dialogs.AnswerChoice("C:\\表\\x.exe");
  dialog.OnBrowseProgram();
  EXPECT_EQ(dialog.Path + "|" + dialog.Directory, "C:\\表\\x.exe|C:\\表");
  rig.dialogs.AnswerChoice("D:\\資料\\表.txt");
  dialog.OnBrowseFile();  // the directory stays
  EXPECT_EQ(dialog.Path + "|" + dialog.Directory, "D:\\資料\\表.txt|C:\\表");
  rig.dialogs.AnswerChoice("D:\\資料");
  dialog.OnBrowseFolder();
  EXPECT_EQ(dialog.Path + "|" + dialog.Directory, "D:\\資料|C:\\表");
  rig.dialogs.AnswerChoice("E:\\作業");
  dialog.OnBrowseDirectory();
  EXPECT_EQ(dialog.Path + "|" + dialog.Directory, "D:\\資料|E:\\作業");
  rig.dialogs.AnswerChoice(std::nullopt);
  dialog.OnBrowseFolder();
  EXPECT_EQ(dialog.Path, "D:\\資料");
  EXPECT_EQ(rig.dialogs.Choosers,
            (Strings{"実行ファイル | *.exe;*.bat||", "実行ファイル | *.exe;*.bat||",
                     "全てのファイル | *.*||",
                     "フォルダを選択してください|フォルダの参照|D:\\資料\\表.txt",
                     "フォルダを選択してください|フォルダの参照|C:\\表",
                     "フォルダを選択してください|フォルダの参照|D:\\資料"}));
  EXPECT_TRUE(rig.dialogs.AllAnswered());
}

// The copy buttons fill the variant from the system file, else its sample,
// else an empty file; an empty field gets the place's default path.
TEST(PageOther, CopyButtonsCreateTheVariant) {
  struct Row {
    const char* name;
    void (CPageOther::*button)();
    std::string field;  // typed before the click
    bool removeSample;  // lmhosts.sam removed first
    std::string path;   // the field after
    std::string source; // copied from; empty: an empty file
    std::string message;
    platform::MessageIcon icon;
  };
  const std::string etc = "C:\\WINDOWS\\system32\\drivers\\etc\\";
  const Row rows[] = {
      {"hosts, empty field", &CPageOther::OnHostsCopy, "", false,
       std::string(kProgramDir) + "\\hosts.在宅", etc + "hosts",
       etc + "hosts からhostsファイルをコピーしました", platform::MessageIcon::Information},
      {"hosts, given path", &CPageOther::OnHostsCopy, std::string(kProgramDir) + "\\表.h", false,
       std::string(kProgramDir) + "\\表.h",
       etc + "hosts", etc + "hosts からhostsファイルをコピーしました",
       platform::MessageIcon::Information},
      {"lmhosts from the sample", &CPageOther::OnLmhostsCopy, "", false,
       std::string(kProgramDir) + "\\lmhosts.在宅", etc + "lmhosts.sam",
       etc + "lmhosts.sam からlmhostsファイルをコピーしました", platform::MessageIcon::Information},
      {"lmhosts, nothing to copy", &CPageOther::OnLmhostsCopy, "", true,
       std::string(kProgramDir) + "\\lmhosts.在宅", "",
       "元のLMHOSTS、またはLMHOSTS.SAMが見つかりませんでした。空のファイルを作成します",
       platform::MessageIcon::Warning},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OtherRig rig;
    rig.Select("在宅");
    if (row.removeSample) {
      ASSERT_TRUE(
          std::filesystem::remove(rig.pc.dir() / "C/WINDOWS/system32/drivers/etc/lmhosts.sam"));
    }
    rig.page.OnSetActive();
    (row.button == &CPageOther::OnHostsCopy ? rig.page.Hosts : rig.page.Lmhosts) = row.field;
    const std::string recordBefore = velandra::testing::Dump(rig.Place());
    (rig.page.*row.button)();
    EXPECT_EQ(row.button == &CPageOther::OnHostsCopy ? rig.page.Hosts : rig.page.Lmhosts,
              row.path);
    EXPECT_EQ(rig.MessageTexts(), Strings{row.message});
    EXPECT_EQ(rig.MessageIcons(), std::vector<platform::MessageIcon>{row.icon});
    std::string copied, source;
    ASSERT_TRUE(rig.P().files.ReadFile(row.path, copied));
    if (!row.source.empty()) {
      ASSERT_TRUE(rig.P().files.ReadFile(row.source, source));
    }
    EXPECT_EQ(copied, source);
    // The record learns the path only when the page is left.
    EXPECT_EQ(velandra::testing::Dump(rig.Place()), recordBefore);
    rig.page.OnKillActive();
    EXPECT_EQ(row.button == &CPageOther::OnHostsCopy ? rig.Place().HOSTS : rig.Place().LMHOSTS,
              row.path);
  }
}

TEST(PageOther, EditButtonsOpenTheVariantInTheEditor) {
  struct Row {
    const char* name;
    void (CPageOther::*button)();
    std::string field;
    std::string editor;
    std::string event;    // logged by the PC when the editor started
    std::string message;  // else the warning
  };
  const std::string notepad = "C:\\WINDOWS\\system32\\NOTEPAD.EXE";
  const std::string variant = std::string(kProgramDir) + "\\hosts.在宅";
  const Row rows[] = {
      {"hosts", &CPageOther::OnHostsEdit, variant, "NOTEPAD.EXE",
       "program started (visible): " + notepad + "; arguments: \"" + variant + "\"", ""},
      {"lmhosts, the editor of the setting", &CPageOther::OnLmhostsEdit, "D:\\表\\lm",
       notepad, "program started (visible): " + notepad + "; arguments: \"D:\\表\\lm\"", ""},
      {"hosts, empty field", &CPageOther::OnHostsEdit, "", "NOTEPAD.EXE", "",
       "HOSTSファイル名が指定されていません"},
      {"lmhosts, empty field", &CPageOther::OnLmhostsEdit, "", "NOTEPAD.EXE", "",
       "LMHOSTSファイル名が指定されていません"},
      {"no editor set", &CPageOther::OnHostsEdit, variant, "", "",
       "エディタが設定されていません"},
      {"editor not there", &CPageOther::OnHostsEdit, variant, "C:\\無い\\ed.exe", "",
       "エディタを起動できませんでした: C:\\無い\\ed.exe \"" + variant + "\" (エラー 3)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OtherRig rig;
    ASSERT_TRUE(rig.P().files.WriteFile(notepad, "stand-in editor\r\n"));
    rig.sheet.Common.EDITOR = row.editor;
    rig.Select("在宅");
    rig.page.OnSetActive();
    (row.button == &CPageOther::OnHostsEdit ? rig.page.Hosts : rig.page.Lmhosts) = row.field;
    (rig.page.*row.button)();
    EXPECT_EQ(rig.MessageTexts(), row.message.empty() ? Strings{} : Strings{row.message});
    const auto& events = rig.pc.Open().Events();
    const bool started = std::any_of(events.begin(), events.end(), [](const std::string& e) {
      return e.rfind("program started", 0) == 0;
    });
    EXPECT_EQ(started, !row.event.empty());
    if (started) {
      EXPECT_TRUE(rig.Logged(row.event)) << row.event;
    }
  }
}

#ifdef _WIN32

using velandra::testing::CanCreateWindows;
using velandra::testing::ClippedTexts;
using velandra::testing::ControlText;
using velandra::testing::FindDialog;
using velandra::testing::FindSheet;
using velandra::testing::LayoutFaults;
using velandra::testing::PageOf;
using velandra::testing::PostClick;
using velandra::testing::Enabled;
using velandra::testing::Visible;
using velandra::testing::RunPageAlone;
using velandra::testing::TabOrder;
using velandra::testing::WindowDriver;

win32::Win32DialogHost OtherDialogs() {
  return win32::Win32DialogHost(GetModuleHandleA(nullptr), {&win32::MakeOtherDialogView});
}

struct ListRow {
  Strings texts;
  int image = 0;
};

std::vector<ListRow> ProgramRows(HWND dialog, int id) {
  std::vector<ListRow> rows;
  HWND list = GetDlgItem(dialog, id);
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < count; ++r) {
    ListRow row;
    for (int c = 0; c < 5; ++c) {
      char text[300] = {};
      LVITEMA item{};
      item.mask = LVIF_TEXT | (c == 0 ? LVIF_IMAGE : 0);
      item.iItem = r;
      item.iSubItem = c;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      row.texts.push_back(text);
      if (c == 0) row.image = item.iImage;
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(Win32OtherPage, ShowsTheRecordsWithIconsAndStoresThemOnLeaving) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display";
  OtherRig rig;
  rig.Select("在宅");
  // A folder that is on no PC: no icon. The explorer of the first row is
  // there under Wine too.
  AddProgram(rig.Place(), config::kProgramTypeFolder, "C:\\無い\\フォルダ", "", "",
             config::kShowMinimized);
  win32::Win32DialogHost host = OtherDialogs();
  CPageOther page(rig.sheet, host);
  std::unique_ptr<win32::PageView> view = win32::MakeOtherPageView(page);

  std::vector<ListRow> rows;
  std::string hosts, frame;
  Strings columns, clipped, layout;
  std::vector<int> tabs;
  WindowDriver driver;
  driver.ThenDialog("Velandra", [&](HWND sheet) {
    HWND p = PageOf(sheet);
    rows = ProgramRows(p, IDC_OTHER_PROGRAM_LIST);
    hosts = ControlText(p, IDC_OTHER_HOSTS);
    frame = ControlText(p, IDC_OTHER_FILES_FRAME);
    HWND header = ListView_GetHeader(GetDlgItem(p, IDC_OTHER_PROGRAM_LIST));
    for (int c = 0; c < Header_GetItemCount(header); ++c) {
      char text[64] = {};
      HDITEMA item{};
      item.mask = HDI_TEXT | HDI_WIDTH;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
      columns.push_back(std::string(text) + " " + std::to_string(item.cxy));
    }
    clipped = ClippedTexts(sheet);
    layout = LayoutFaults(p);
    tabs = TabOrder(p, IDC_OTHER_HOSTS);
    SetDlgItemTextA(p, IDC_OTHER_HOSTS, "D:\\表\\hosts");
    SetDlgItemTextA(p, IDC_OTHER_LMHOSTS, "D:\\表\\lmhosts");
    PostClick(sheet, IDOK);
  });
  EXPECT_TRUE(RunPageAlone(*view, driver)) << driver.Stuck();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].texts, (Strings{kExplorer, "C:\\共有\\公開", "PGM", "", "MAXIMIZE"}));
  EXPECT_GE(rows[0].image, 0);
  EXPECT_EQ(rows[1].texts, (Strings{"C:\\無い\\フォルダ", "", "FOLDER", "", "MINIMIZE"}));
  EXPECT_EQ(rows[1].image, I_IMAGENONE);
  EXPECT_EQ(hosts, std::string(kProgramDir) + "\\hosts.在宅");
  EXPECT_EQ(frame, "HOSTS && LMHOSTS");
  EXPECT_EQ(columns, (Strings{"プログラム 230", "引数 80", "タイプ 80", "作業ディレクトリ 200",
                              "ウィンドウサイズ 100"}));
  EXPECT_EQ(clipped, Strings{});
  EXPECT_EQ(layout, Strings{});
  EXPECT_EQ(tabs, (std::vector<int>{IDC_OTHER_HOSTS, IDC_OTHER_HOSTS_COPY, IDC_OTHER_HOSTS_EDIT,
                                    IDC_OTHER_LMHOSTS, IDC_OTHER_LMHOSTS_COPY,
                                    IDC_OTHER_LMHOSTS_EDIT, IDC_OTHER_PROGRAM_LIST,
                                    IDC_OTHER_PROGRAM_ADD, IDC_OTHER_PROGRAM_EDIT,
                                    IDC_OTHER_PROGRAM_DELETE}));
  EXPECT_EQ(rig.Place().HOSTS, "D:\\表\\hosts");
  EXPECT_EQ(rig.Place().LMHOSTS, "D:\\表\\lmhosts");
  EXPECT_EQ(rig.Place().Programs.size(), 2u);
  EXPECT_TRUE(rig.MessageTexts().empty());
}

// The dialog with its real template, for each type: the controls follow
// the type; a click on another type rearranges them.
TEST(Win32ProgramDialog, ArrangedForEachType) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display";
  const int browseButtons[] = {IDC_PROGRAM_BROWSE_PROGRAM, IDC_PROGRAM_BROWSE_FOLDER,
                               IDC_PROGRAM_BROWSE_FILE};
  const int typeButtons[] = {IDC_PROGRAM_TYPE_PROGRAM, IDC_PROGRAM_TYPE_FOLDER,
                             IDC_PROGRAM_TYPE_FILE};
  for (const Arrangement& row : kArrangements) {
    SCOPED_TRACE(row.label);
    OtherRig rig;
    win32::Win32DialogHost host = OtherDialogs();
    CDlgProgram dialog(rig.P(), host, kProgramEditTitle);
    dialog.Type = row.type;
    dialog.Path = "C:\\無い\\フォルダ";
    dialog.Arguments = "-x";
    dialog.Show = config::kShowMaximized;
    std::string label, size, labelAfter;
    Strings clipped, layout;
    std::vector<int> shown, shownAfter, tabs;
    bool details = false, detailsAfter = false;
    auto visibleBrowse = [&](HWND d) {
      std::vector<int> ids;
      for (int id : browseButtons)
        if (Visible(d, id) && Enabled(d, id)) ids.push_back(id);
      return ids;
    };
    const int other = (row.type + 1) % 3;
    WindowDriver driver;
    driver
        .ThenDialog(kProgramEditTitle,
                    [&](HWND d) {
                      label = ControlText(d, IDC_PROGRAM_PATH_LABEL);
                      shown = visibleBrowse(d);
                      details = Enabled(d, IDC_PROGRAM_ARGUMENTS) &&
                                Enabled(d, IDC_PROGRAM_DIRECTORY) &&
                                Enabled(d, IDC_PROGRAM_BROWSE_DIRECTORY);
                      size = ControlText(d, IDC_PROGRAM_SIZE);
                      clipped = ClippedTexts(d);
                      layout = LayoutFaults(d);
                      tabs = TabOrder(d, IDC_PROGRAM_PATH);
                      win32::SetRadioIndex(d, {typeButtons[0], typeButtons[1], typeButtons[2]},
                                           other);
                      PostClick(d, typeButtons[other]);
                    })
        .ThenDialog(kProgramEditTitle, [&](HWND d) {
          labelAfter = ControlText(d, IDC_PROGRAM_PATH_LABEL);
          shownAfter = visibleBrowse(d);
          detailsAfter = Enabled(d, IDC_PROGRAM_ARGUMENTS);
          // Back to the row's type, and OK.
          win32::SetRadioIndex(d, {typeButtons[0], typeButtons[1], typeButtons[2]}, row.type);
          PostClick(d, typeButtons[row.type]);
          PostClick(d, IDOK);
        });
    // Only the folder is accepted with a path that is not there; the others
    // stay open, and are cancelled.
    bool stayed = false;
    const bool accepted = row.type == config::kProgramTypeFolder;
    if (!accepted) {
      driver.ThenDialog(kProgramEditTitle, [&](HWND d) {
        stayed = true;
        PostClick(d, IDCANCEL);
      });
    }
    bool ok = false;
    EXPECT_TRUE(driver.Run([&] { ok = host.DoModal(dialog); })) << driver.Stuck();
    EXPECT_EQ(label, row.label);
    EXPECT_EQ(shown, std::vector<int>{row.browse});
    EXPECT_EQ(details, row.details);
    EXPECT_EQ(size, "Maximize");
    EXPECT_EQ(clipped, Strings{});
    EXPECT_EQ(layout, Strings{});
    // The disabled fields are left out.
    std::vector<int> expectedTabs = {IDC_PROGRAM_PATH, row.browse};
    if (row.details)
      expectedTabs.insert(expectedTabs.end(), {IDC_PROGRAM_ARGUMENTS, IDC_PROGRAM_DIRECTORY,
                                               IDC_PROGRAM_BROWSE_DIRECTORY});
    expectedTabs.insert(expectedTabs.end(), {IDC_PROGRAM_SIZE, IDOK, IDCANCEL});
    tabs.resize(std::min(tabs.size(), expectedTabs.size()));
    EXPECT_EQ(tabs, expectedTabs);
    EXPECT_EQ(labelAfter, kArrangements[other].label);
    EXPECT_EQ(shownAfter, std::vector<int>{kArrangements[other].browse});
    EXPECT_EQ(detailsAfter, kArrangements[other].details);
    EXPECT_EQ(ok, accepted);
    EXPECT_EQ(stayed, !accepted);
    EXPECT_EQ(rig.MessageTexts(), accepted ? Strings{} : Strings{kMsgSpecifyProgram});
    if (ok) {
      EXPECT_EQ(dialog.Type, row.type);
      EXPECT_EQ(dialog.Show, config::kShowMaximized);
    }
  }
}

// The Other page of the whole sheet: a hosts path typed and a program
// added through the real dialog, then OK and "保存のみ": both are in the
// configuration file.
TEST(Win32OtherPage, WholeSheetSavesTheHostsPathAndTheAddedProgram) {
  if (!CanCreateWindows()) GTEST_SKIP() << "no display";
  OtherRig rig;
  std::ostringstream out;
  ScriptedUserPasswordDialog logon(rig.pc.Open().answers(), out);
  win32::Win32ExitDialog exitDialog(GetModuleHandleA(nullptr));
  win32::Win32SheetWindow window(GetModuleHandleA(nullptr), &exitDialog, logon);
  int otherTab = -1;
  const std::vector<SheetPageEntry> pages = SheetPages(rig.sheet);
  for (size_t i = 0; i < pages.size(); ++i)
    if (pages[i].Page == SheetPage::Other) otherTab = static_cast<int>(i);
  ASSERT_GE(otherTab, 0);

  HWND sheetWindow = nullptr;
  auto otherPage = [&]() -> HWND {
    HWND page = sheetWindow ? PropSheet_GetCurrentPageHwnd(sheetWindow) : nullptr;
    return page && GetDlgItem(page, IDC_OTHER_PROGRAM_LIST) ? page : nullptr;
  };
  size_t listed = 0;
  WindowDriver driver;
  driver.Then(FindSheet, [&](HWND s) {
    sheetWindow = s;
    PostMessageA(s, PSM_SETCURSEL, static_cast<WPARAM>(otherTab), 0);
  });
  driver.Then(otherPage, [&](HWND page) {
    SetDlgItemTextA(page, IDC_OTHER_HOSTS, "D:\\表\\hosts.txt");
    PostClick(page, IDC_OTHER_PROGRAM_ADD);
  });
  driver.ThenDialog(kProgramAddTitle, [](HWND d) {
    SetDlgItemTextA(d, IDC_PROGRAM_PATH, kExplorer);
    SetDlgItemTextA(d, IDC_PROGRAM_ARGUMENTS, "\"C:\\共有\\表\"");
    SendDlgItemMessageA(d, IDC_PROGRAM_SIZE, CB_SETCURSEL, 2, 0);
    PostClick(d, IDOK);
  });
  driver.Then(
      [&]() -> HWND {
        HWND page = otherPage();
        return page && FindSheet() &&
                       SendDlgItemMessageA(page, IDC_OTHER_PROGRAM_LIST, LVM_GETITEMCOUNT, 0, 0) > 0
                   ? sheetWindow
                   : nullptr;
      },
      [&](HWND s) {
        listed = ProgramRows(otherPage(), IDC_OTHER_PROGRAM_LIST).size();
        PostClick(s, IDOK);
      });
  driver.Then(
      []() -> HWND {
        HWND dialog = FindDialog("Velandra");
        return dialog && GetDlgItem(dialog, IDC_EXIT_MODE) ? dialog : nullptr;
      },
      [](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_EXIT_MODE, CB_SETCURSEL, 3, 0);
        PostClick(dialog, IDOK);
      });
  EXPECT_TRUE(driver.Run([&] { window.DoModal(rig.sheet); })) << driver.Stuck();

  EXPECT_EQ(listed, rig.Place().Programs.size());
  const std::string ini = rig.pc.ReadFile(velandra::testing::kDemoIniFile);
  const std::string section = "[P" + std::to_string(rig.sheet.CurrentPlace->Number) + "]\r\n";
  const size_t at = ini.find(section);
  ASSERT_NE(at, std::string::npos) << ini;
  // The section up to the next one, its last line with its line end.
  const size_t next = ini.find("\r\n[", at + 1);
  const std::string body = ini.substr(at, next == std::string::npos ? next : next + 2 - at);
  const std::string index = std::to_string(rig.Place().Programs.size() - 1);
  for (const std::string& line :
       {std::string("HOSTS=D:\\表\\hosts.txt"), "TYPE" + index + "=PGM",
        "PGM" + index + "=" + kExplorer, "ARG" + index + "=\"\"C:\\共有\\表\"\"",
        "SIZE" + index + "=MINIMIZE"})
    EXPECT_NE(body.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << body;
  for (const auto& m : rig.pc.Open().Messages()) ADD_FAILURE() << "message: " << m.Text;
}

#endif  // _WIN32

}  // namespace
}  // namespace velandra::ui
