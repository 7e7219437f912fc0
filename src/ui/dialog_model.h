// The logic of a page or a modal dialog, apart from its window. A model
// holds the values its controls show (texts, checks, list items, the
// selection, which controls are enabled) and the handlers of the controls.
// A view (the native Win32 one, or a test) works it the same way every
// time: it reads the controls into the model, calls one handler, and shows
// the model again, giving the focus to `Focus` when that is not 0.
#pragma once
#include <cstdint>

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
