// The logic of a page or a modal dialog, apart from its window. A model
// holds the values its controls show (texts, checks, list items, the
// selection, which controls are enabled) and the handlers of the controls.
// A view (the native Win32 one, or a test) works it the same way every
// time: it reads the controls into the model, calls one handler, and shows
// the model again, giving the focus to `Focus` when that is not 0.
#pragma once
#include <cstdint>
#include <string>

namespace velandra::ui {

class CDialogModel {
 public:
  virtual ~CDialogModel() = default;
  // The dialog template's resource id (ui/resource_ids.h).
  virtual uint32_t TemplateId() const = 0;
  virtual void OnInitDialog() {}
  // OK pressed: true closes the dialog with OK; false keeps it open, after
  // the handler has said why and set Focus.
  virtual bool OnOK() { return true; }

  // The control id to give the focus to once the model is shown; the view
  // clears it after doing so.
  int Focus = 0;
};

// How a page or dialog opens the small dialogs of its buttons.
class IDialogHost {
 public:
  virtual ~IDialogHost() = default;
  // Shows `dialog` modally: OnInitDialog, the user's work, then OnOK (which
  // may keep it open) or Cancel. True when it closed with OK; false on
  // Cancel, and when it cannot be shown (the host has then said why).
  virtual bool DoModal(CDialogModel& dialog) = 0;

  // The common open-file dialog for an existing file. `filter` is written
  // as pairs of a description and patterns, each ended by '|', the list
  // ended by one more: "実行ファイル | *.exe;*.bat||". True with the chosen
  // path in `path`; false on Cancel, `path` untouched.
  virtual bool ChooseFile(const std::string& filter, std::string& path) = 0;
  // The shell's folder browser: `caption` is the text shown over the
  // folders, `title` the window's title (empty for the toolkit's own), and
  // `start` the folder selected when it opens (empty for none). The selected
  // folder's path is shown as status text while the user picks. True with
  // the chosen folder in `path`; false on Cancel, `path` untouched.
  virtual bool ChooseFolder(const std::string& caption, const std::string& title,
                            const std::string& start, std::string& path) = 0;
};

// A page of the main sheet.
class CPageModel {
 public:
  virtual ~CPageModel() = default;
  virtual uint32_t TemplateId() const = 0;
  // Once, when the page's window is made (the first time it is shown).
  virtual void OnInitDialog() {}
  // Entering the page: the controls are filled from the records.
  virtual void OnSetActive() {}
  // Leaving the page, also when OK is pressed on it: the controls are
  // stored into the records. False keeps the page (and the sheet) open,
  // after the handler has said why and set Focus; nothing is stored then.
  virtual bool OnKillActive() { return true; }
  // OK of the sheet, after the active page was left, for every page whose
  // window was made.
  virtual void OnOK() {}

  int Focus = 0;
};

}  // namespace velandra::ui
