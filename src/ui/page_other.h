// The Other page (template 145) with its program dialog (146). The page
// edits the hosts and lmhosts variants of the current place and the
// programs, folders and files to open once the place has been applied.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::platform {
struct Platform;
}
namespace velandra::config {
class PlaceSettings;
}

namespace velandra::ui {

class CVelandraSheet;

inline constexpr char kMsgSelectProgramToEdit[] = "編集したいプログラムを選択してください";
inline constexpr char kMsgSelectProgramToDelete[] = "削除したいプログラムを選択してください";
inline constexpr char kMsgSpecifyProgram[] = "実行プログラムを指定してください";

inline constexpr char kProgramAddTitle[] = "再起動後に実行するプログラムの追加";
inline constexpr char kProgramEditTitle[] = "再起動後に実行するプログラムの編集";
inline constexpr char kProgramFilter[] = "実行ファイル | *.exe;*.bat||";
inline constexpr char kAnyFileFilter[] = "全てのファイル | *.*||";
inline constexpr char kFolderCaption[] = "フォルダを選択してください";
inline constexpr char kFolderTitle[] = "フォルダの参照";

// The program list's columns, and their widths in pixels.
inline constexpr char kColumnProgram[] = "プログラム";
inline constexpr char kColumnArguments[] = "引数";
inline constexpr char kColumnType[] = "タイプ";
inline constexpr char kColumnDirectory[] = "作業ディレクトリ";
inline constexpr char kColumnWindowSize[] = "ウィンドウサイズ";
inline constexpr int kProgramColumnWidths[] = {230, 80, 80, 200, 100};

// The longest program path and arguments the place's section reads back:
// a longer one would come back cut, so the fields take no more.
inline constexpr size_t kMaxProgramPath = 259;
inline constexpr size_t kMaxProgramArguments = 255;

// The type and window-size words of the list; a word read back that is not
// one of them counts as a program and as the normal size.
std::string ProgramTypeText(int32_t type);
int32_t ProgramTypeOf(const std::string& text);
std::string ProgramSizeText(int32_t show);
int32_t ProgramShowOf(const std::string& text);

// The folder of a program's path: the path without its file name and the
// backslash before it, except that a drive's root keeps its backslash
// ("C:\x.exe" gives "C:\", not "C:", the current folder of drive C). Scanned
// by CP932 character. Empty when the path names no folder.
std::string FolderOfPath(const std::string& path);

// One entry of the program list: the texts of its five columns.
struct ProgramRow {
  std::string Path;
  std::string Arguments;
  std::string TypeText;
  std::string Directory;
  std::string SizeText;
  bool operator==(const ProgramRow&) const = default;
};

// One program, folder or file to open: what it is, its path, and for a
// program the arguments, the working directory and the window size.
class CDlgProgram : public CDialogModel {
 public:
  CDlgProgram(platform::Platform& platform, IDialogHost& dialogs, std::string title);
  uint32_t TemplateId() const override { return IDD_PROGRAM; }

  // The size choice from Show, and the controls arranged for Type.
  void OnInitDialog() override;
  // Refuses an empty path, and for a program or a file a path that names
  // nothing on the PC (a folder that does not exist is fine), with
  // "実行プログラムを指定してください" and the focus on the path; otherwise
  // Show from the size choice.
  bool OnOK() override;

  // A type radio button was clicked: the controls follow Type.
  void OnTypeClicked() { Arrange(); }
  // "参照" of the program: an executable; the working directory becomes
  // its folder.
  void OnBrowseProgram();
  // "参照" of the folder: the folder browser, starting at the path.
  void OnBrowseFolder();
  // "参照" of the file: any file.
  void OnBrowseFile();
  // "参照" of the working directory: the folder browser, starting at the
  // working directory.
  void OnBrowseDirectory();

  // The size list's items in order, and the show codes they stand for.
  static const std::vector<std::string>& SizeItems();
  static int SizeChoiceOf(int32_t show);
  static int32_t ShowOf(int sizeChoice);

  const std::string Title;
  // The record's values: Type is the radio index (0 program, 1 folder,
  // 2 file), Show the window show code.
  int32_t Type = 0;
  std::string Path;
  std::string Arguments;
  std::string Directory;
  int32_t Show = 5;
  // Exchanged with the controls: the size list's selection.
  int SizeChoice = 0;
  // Shown, following Type: the text over the path, the one browse button
  // shown, and whether the arguments and the working directory are enabled.
  std::string PathLabel;
  int BrowseShown = IDC_PROGRAM_BROWSE_PROGRAM;
  bool DetailsEnabled = true;

 private:
  void Arrange();

  platform::Platform& platform_;
  IDialogHost& dialogs_;
};

class CPageOther : public CPageModel {
 public:
  CPageOther(CVelandraSheet& sheet, IDialogHost& dialogs) : sheet_(sheet), dialogs_(dialogs) {}
  uint32_t TemplateId() const override { return IDD_PAGE_OTHER; }

  void OnSetActive() override;
  // HOSTS and LMHOSTS from the fields, Programs from the rows; it never
  // refuses.
  bool OnKillActive() override;

  // "コピー": the variant filled from the system file at the field's path
  // (the place's default path when the field is empty).
  void OnHostsCopy();
  void OnLmhostsCopy();
  // "編集": the variant at the field's path opened in the editor.
  void OnHostsEdit();
  void OnLmhostsEdit();
  // The program list's buttons. Each changes Programs at once and fills
  // the rows again from it.
  void OnAdd();
  void OnEdit();
  void OnDelete();

  // Exchanged with the controls. Selection is the first selected row, -1
  // when none is.
  std::string Hosts;
  std::string Lmhosts;
  std::vector<ProgramRow> Rows;
  int Selection = -1;

 private:
  config::PlaceSettings* Place() const;
  std::string PlaceName() const;
  void FillRows(const config::PlaceSettings& place);
  void Warn(const char* text) const;
  bool Selected(const config::PlaceSettings& place) const;

  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

}  // namespace velandra::ui
