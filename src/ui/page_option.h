// The Option page (template 147), which edits the program-wide options, and
// the Proxy page (template 142), which picks the current place's entry of
// the companion proxy switcher. Both are filled when entered and stored
// when left.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/dialog_model.h"
#include "ui/resource_ids.h"

namespace velandra::config {
class PlaceSettings;
}

namespace velandra::ui {

class CVelandraSheet;

inline constexpr char kEditorFilter[] = "実行ファイル | *.exe||";
// The wait is kept as a signed 32-bit decimal: a larger value would come
// back negative, which means no wait.
inline constexpr char kMsgWaitTimeNotNumber[] =
    "再起動後の処理の待ち時間には、0から2147483647までの数値(ミリ秒)を入力してください。";
// The configuration file gives back at most 259 bytes of the editor.
inline constexpr char kMsgEditorTooLong[] = "エディタのパスは259バイトまでです";
inline constexpr size_t kMaxEditor = 259;

class CPageOption : public CPageModel {
 public:
  CPageOption(CVelandraSheet& sheet, IDialogHost& dialogs) : sheet_(sheet), dialogs_(dialogs) {}
  uint32_t TemplateId() const override { return IDD_PAGE_OPTION; }

  void OnSetActive() override;
  // Refuses a wait that is not a decimal number from 0 to 2147483647 and
  // an editor longer than the file keeps, each with its warning and the
  // focus on the field; nothing is stored then.
  bool OnKillActive() override;
  // "参照": an executable chosen for the editor field.
  void OnBrowse();

  // The wait field's text as a number, or false.
  static bool ParseWaitTime(const std::string& text, int& value);

  // Exchanged with the controls.
  bool NoAdminCheck = false;  // set: ADMINCHECK off
  bool DiffCheck = false;
  bool HidePrompt = false;
  bool DeleteBat = false;
  std::string Editor;
  std::string WaitTime;  // as typed or pasted

 private:
  CVelandraSheet& sheet_;
  IDialogHost& dialogs_;
};

class CPageProxy : public CPageModel {
 public:
  explicit CPageProxy(CVelandraSheet& sheet) : sheet_(sheet) {}
  uint32_t TemplateId() const override { return IDD_PAGE_PROXY; }

  // The companion's entries with the place's selected; a name the
  // companion no longer has comes first, selected.
  void OnSetActive() override;
  // The selected entry and the check into the place; never refuses. With
  // nothing selected the place keeps its entry.
  bool OnKillActive() override;
  // The disable check was clicked: the list follows it.
  void OnDisableClicked();

  // Exchanged with the controls.
  std::vector<std::string> Names;
  int Selected = -1;
  bool Disable = false;
  bool ListEnabled = true;

 private:
  config::PlaceSettings* Place() const;

  CVelandraSheet& sheet_;
};

}  // namespace velandra::ui
