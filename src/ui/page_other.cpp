#include "ui/page_other.h"

#include <memory>

#include "config/place_settings.h"
#include "system/hosts_files.h"
#include "system/platform/platform.h"
#include "system/platform/text.h"
#include "ui/ordered_list.h"
#include "ui/velandra_sheet.h"

namespace velandra::ui {

namespace {

void Assign(config::ProgramEntry& entry, const CDlgProgram& dialog) {
  entry.Type = dialog.Type;
  entry.Path = dialog.Path;
  entry.Arguments = dialog.Arguments;
  entry.Directory = dialog.Directory;
  entry.Show = dialog.Show;
}

}  // namespace

std::string ProgramTypeText(int32_t type) {
  switch (type) {
    case config::kProgramTypeFolder: return "FOLDER";
    case config::kProgramTypeFile: return "FILE";
    default: return "PGM";
  }
}

int32_t ProgramTypeOf(const std::string& text) {
  if (text == "FOLDER") return config::kProgramTypeFolder;
  if (text == "FILE") return config::kProgramTypeFile;
  return config::kProgramTypeProgram;
}

std::string ProgramSizeText(int32_t show) {
  switch (show) {
    case config::kShowMaximized: return "MAXIMIZE";
    case config::kShowMinimized: return "MINIMIZE";
    default: return "NORMAL";
  }
}

int32_t ProgramShowOf(const std::string& text) {
  if (text == "MAXIMIZE") return config::kShowMaximized;
  if (text == "MINIMIZE") return config::kShowMinimized;
  return config::kShowNormal;
}

std::string FolderOfPath(const std::string& path) {
  const size_t slash = platform::Cp932FindLast(path, '\\');
  if (slash == std::string::npos) return {};
  const bool driveRoot = slash == 2 && path[1] == ':';
  return path.substr(0, slash == 0 || driveRoot ? slash + 1 : slash);
}

CDlgProgram::CDlgProgram(platform::Platform& platform, IDialogHost& dialogs, std::string title)
    : Title(std::move(title)), platform_(platform), dialogs_(dialogs) {}

const std::vector<std::string>& CDlgProgram::SizeItems() {
  static const std::vector<std::string> items = {"Normal", "Maximize", "Minimize"};
  return items;
}

int CDlgProgram::SizeChoiceOf(int32_t show) {
  if (show == config::kShowNormal) return 0;
  if (show == config::kShowMaximized) return 1;
  return 2;
}

int32_t CDlgProgram::ShowOf(int sizeChoice) {
  if (sizeChoice == 1) return config::kShowMaximized;
  if (sizeChoice == 2) return config::kShowMinimized;
  return config::kShowNormal;
}

void CDlgProgram::Arrange() {
  switch (Type) {
    case config::kProgramTypeFolder:
      PathLabel = "開くフォルダを指定(&L):";
      BrowseShown = IDC_PROGRAM_BROWSE_FOLDER;
      DetailsEnabled = false;
      break;
    case config::kProgramTypeFile:
      PathLabel = "開くファイルを指定(&I):";
      BrowseShown = IDC_PROGRAM_BROWSE_FILE;
      DetailsEnabled = false;
      break;
    default:
      PathLabel = "実行するプログラムを指定(&P):";
      BrowseShown = IDC_PROGRAM_BROWSE_PROGRAM;
      DetailsEnabled = true;
      break;
  }
}

void CDlgProgram::OnInitDialog() {
  SizeChoice = SizeChoiceOf(Show);
  Arrange();
}

void CDlgProgram::OnBrowseProgram() {
  std::string chosen;
  if (!dialogs_.ChooseFile(kProgramFilter, chosen)) return;
  Path = chosen;
  Directory = FolderOfPath(chosen);
}

void CDlgProgram::OnBrowseFolder() {
  std::string chosen;
  if (dialogs_.ChooseFolder(kFolderCaption, kFolderTitle, Path, chosen)) Path = chosen;
}

void CDlgProgram::OnBrowseFile() {
  std::string chosen;
  if (dialogs_.ChooseFile(kAnyFileFilter, chosen)) Path = chosen;
}

void CDlgProgram::OnBrowseDirectory() {
  std::string chosen;
  if (dialogs_.ChooseFolder(kFolderCaption, kFolderTitle, Directory, chosen)) Directory = chosen;
}

bool CDlgProgram::OnOK() {
  if (Type != config::kProgramTypeFolder && Type != config::kProgramTypeFile)
    Type = config::kProgramTypeProgram;
  // A folder is opened by the shell, which says so itself when it is gone;
  // a program or file must be there now.
  const bool missing = Type != config::kProgramTypeFolder && !platform_.files.Exists(Path);
  if (Path.empty() || missing) {
    platform::ShowWarning(platform_.messages, kMsgSpecifyProgram);
    Focus = IDC_PROGRAM_PATH;
    return false;
  }
  Show = ShowOf(SizeChoice);
  return true;
}

config::PlaceSettings* CPageOther::Place() const {
  if (!sheet_.CurrentPlace) return nullptr;
  return sheet_.FindPlaceSettings(*sheet_.CurrentPlace);
}

std::string CPageOther::PlaceName() const {
  return sheet_.CurrentPlace ? sheet_.CurrentPlace->Name : std::string();
}

void CPageOther::Warn(const char* text) const {
  platform::ShowWarning(sheet_.GetContext().Platform().messages, text);
}

void CPageOther::FillRows(const config::PlaceSettings& place) {
  Rows.clear();
  for (const auto& entry : place.Programs)
    Rows.push_back({entry->Path, entry->Arguments, ProgramTypeText(entry->Type),
                    entry->Directory, ProgramSizeText(entry->Show)});
}

bool CPageOther::Selected(const config::PlaceSettings& place) const {
  return ui::Selected(Selection, Rows.size()) && ui::Selected(Selection, place.Programs.size());
}

void CPageOther::OnSetActive() {
  Hosts.clear();
  Lmhosts.clear();
  Rows.clear();
  Selection = -1;
  const config::PlaceSettings* place = Place();
  if (!place) return;
  Hosts = place->HOSTS;
  Lmhosts = place->LMHOSTS;
  FillRows(*place);
}

bool CPageOther::OnKillActive() {
  config::PlaceSettings* place = Place();
  if (!place) return true;
  place->HOSTS = Hosts;
  place->LMHOSTS = Lmhosts;
  place->Programs.clear();
  for (const ProgramRow& row : Rows) {
    auto entry = std::make_unique<config::ProgramEntry>();
    entry->Type = ProgramTypeOf(row.TypeText);
    entry->Path = row.Path;
    entry->Arguments = row.Arguments;
    entry->Directory = row.Directory;
    entry->Show = ProgramShowOf(row.SizeText);
    place->Programs.push_back(std::move(entry));
  }
  return true;
}

void CPageOther::OnHostsCopy() {
  CreateHostsVariant(sheet_.GetContext().Platform(), HostsKind::Hosts, PlaceName(), Hosts);
}

void CPageOther::OnLmhostsCopy() {
  CreateHostsVariant(sheet_.GetContext().Platform(), HostsKind::Lmhosts, PlaceName(), Lmhosts);
}

void CPageOther::OnHostsEdit() {
  EditHostsVariant(sheet_.GetContext().Platform(), HostsKind::Hosts, sheet_.Common.EDITOR, Hosts);
}

void CPageOther::OnLmhostsEdit() {
  EditHostsVariant(sheet_.GetContext().Platform(), HostsKind::Lmhosts, sheet_.Common.EDITOR,
                   Lmhosts);
}

void CPageOther::OnAdd() {
  config::PlaceSettings* place = Place();
  if (!place) return;
  CDlgProgram dialog(sheet_.GetContext().Platform(), dialogs_, kProgramAddTitle);
  if (!dialogs_.DoModal(dialog)) return;
  place->Programs.push_back(std::make_unique<config::ProgramEntry>());
  Assign(*place->Programs.back(), dialog);
  FillRows(*place);
  Selection = static_cast<int>(Rows.size()) - 1;
}

void CPageOther::OnEdit() {
  config::PlaceSettings* place = Place();
  if (!place || !Selected(*place)) {
    Warn(kMsgSelectProgramToEdit);
    return;
  }
  const size_t at = static_cast<size_t>(Selection);
  const ProgramRow& row = Rows[at];
  CDlgProgram dialog(sheet_.GetContext().Platform(), dialogs_, kProgramEditTitle);
  dialog.Type = ProgramTypeOf(row.TypeText);
  dialog.Path = row.Path;
  dialog.Arguments = row.Arguments;
  dialog.Directory = row.Directory;
  dialog.Show = ProgramShowOf(row.SizeText);
  if (!dialogs_.DoModal(dialog)) return;
  Assign(*place->Programs[at], dialog);
  FillRows(*place);
}

void CPageOther::OnDelete() {
  config::PlaceSettings* place = Place();
  if (!place || !Selected(*place)) {
    Warn(kMsgSelectProgramToDelete);
    return;
  }
  place->Programs.erase(place->Programs.begin() + Selection);
  FillRows(*place);
  Selection = -1;
}

}  // namespace velandra::ui
