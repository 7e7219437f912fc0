// The Win32 side of the page and dialog models: a view reads its controls
// into the model, calls one handler and shows the model again. Nothing may
// leave a window procedure, so the procedures here catch everything: a
// dialog then ends as cancelled, a page keeps its place, and a box says
// what went wrong.
#pragma once
#include "system/platform/win32/win_api.h"
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/dialog_model.h"

namespace velandra::ui::win32 {

// Gives the focus to control `model.Focus`, if any, and clears it.
void ApplyFocus(HWND window, int& focus);

class DialogView {
 public:
  explicit DialogView(CDialogModel& model) : model_(model) {}
  virtual ~DialogView() = default;
  DialogView(const DialogView&) = delete;
  DialogView& operator=(const DialogView&) = delete;

  CDialogModel& Model() const { return model_; }
  // Once, at WM_INITDIALOG, before the model's OnInitDialog: what the
  // template cannot say (list columns, images, text limits).
  virtual void Prepare(HWND) {}
  // The model into the controls.
  virtual void Show(HWND dialog) = 0;
  // The controls into the model. False when a control cannot be read, after
  // saying why and setting the model's Focus.
  virtual bool Read(HWND dialog) = 0;
  // A command of a control other than OK and Cancel; true when handled.
  virtual bool OnCommand(HWND, int /*id*/, int /*code*/) { return false; }
  virtual bool OnNotify(HWND, const NMHDR&) { return false; }

  // Shows the dialog modally over the active window. IDOK, IDCANCEL, or -1
  // when the template cannot be loaded (GetLastError tells why).
  INT_PTR Run(HINSTANCE module);

 protected:
  // Reads the controls, runs `handler` and shows the model again.
  template <class Handler>
  void Handle(HWND dialog, Handler&& handler) {
    if (Read(dialog)) handler();
    Show(dialog);
    ApplyFocus(dialog, model_.Focus);
  }

 private:
  static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Dispatch(HWND, UINT, WPARAM, LPARAM);
  CDialogModel& model_;
};

class PageView {
 public:
  explicit PageView(CPageModel& model) : model_(model) {}
  virtual ~PageView() = default;
  PageView(const PageView&) = delete;
  PageView& operator=(const PageView&) = delete;

  CPageModel& Model() const { return model_; }
  virtual void Prepare(HWND) {}
  virtual void Show(HWND page) = 0;
  virtual bool Read(HWND page) = 0;
  virtual bool OnCommand(HWND, int /*id*/, int /*code*/) { return false; }
  virtual bool OnNotify(HWND, const NMHDR&) { return false; }

  // The page for PropertySheetA: template Model().TemplateId() of `module`.
  PROPSHEETPAGEA Page(HINSTANCE module);
  // The page's window once it is made; null before.
  HWND Window() const { return window_; }

 protected:
  template <class Handler>
  void Handle(HWND page, Handler&& handler) {
    if (Read(page)) handler();
    Show(page);
    ApplyFocus(page, model_.Focus);
  }

 private:
  static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Dispatch(HWND, UINT, WPARAM, LPARAM);
  CPageModel& model_;
  HWND window_ = nullptr;
};

// Makes the view of a dialog model, or null when the model is not one this
// factory knows.
using DialogViewFactory = std::unique_ptr<DialogView> (*)(CDialogModel&);

// The dialogs that pages open, shown from their templates in `module`.
class Win32DialogHost : public IDialogHost {
 public:
  Win32DialogHost(HINSTANCE module, std::vector<DialogViewFactory> factories)
      : module_(module), factories_(std::move(factories)) {}
  bool DoModal(CDialogModel& dialog) override;
  bool ChooseFile(const std::string& filter, std::string& path) override;
  bool ChooseFolder(const std::string& caption, const std::string& title,
                    const std::string& start, std::string& path) override;

 private:
  HINSTANCE module_;
  std::vector<DialogViewFactory> factories_;
};

// Says, in a box owned by the active window, that something went wrong in
// a window procedure.
void ReportViewFailure(const char* what);

}  // namespace velandra::ui::win32
