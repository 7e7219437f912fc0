#include "ui/win32/view_base.h"

#include <exception>
#include <string>

namespace velandra::ui::win32 {

namespace {

constexpr char kCaption[] = "Velandra";

}  // namespace

void ReportViewFailure(const char* what) {
  std::string text = "内部エラーのため操作を中止しました: ";
  text += what ? what : "";
  MessageBoxA(GetActiveWindow(), text.c_str(), kCaption, MB_ICONERROR | MB_OK);
}

void ApplyFocus(HWND window, int& focus) {
  if (focus == 0) return;
  if (HWND item = GetDlgItem(window, focus)) {
    SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
  }
  focus = 0;
}

INT_PTR DialogView::Run(HINSTANCE module) {
  return DialogBoxParamA(module, MAKEINTRESOURCEA(model_.TemplateId()), GetActiveWindow(), Proc,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogView::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
  auto* view = reinterpret_cast<DialogView*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!view) return FALSE;
  try {
    return view->Dispatch(hwnd, message, wParam, lParam);
  } catch (const std::exception& e) {
    ReportViewFailure(e.what());
  } catch (...) {
    ReportViewFailure("");
  }
  EndDialog(hwnd, IDCANCEL);
  return TRUE;
}

INT_PTR DialogView::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Prepare(hwnd);
      model_.OnInitDialog();
      Show(hwnd);
      if (model_.Focus) {
        ApplyFocus(hwnd, model_.Focus);
        return FALSE;
      }
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        if (Read(hwnd) && model_.OnOK()) {
          EndDialog(hwnd, IDOK);
        } else {
          Show(hwnd);
          ApplyFocus(hwnd, model_.Focus);
        }
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(hwnd, IDCANCEL);
        return TRUE;
      }
      return OnCommand(hwnd, id, HIWORD(wParam)) ? TRUE : FALSE;
    }
    case WM_NOTIFY:
      return OnNotify(hwnd, *reinterpret_cast<const NMHDR*>(lParam)) ? TRUE : FALSE;
  }
  return FALSE;
}

PROPSHEETPAGEA PageView::Page(HINSTANCE module) {
  PROPSHEETPAGEA page{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_DEFAULT;
  page.hInstance = module;
  page.pszTemplate = MAKEINTRESOURCEA(model_.TemplateId());
  page.pfnDlgProc = Proc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

INT_PTR CALLBACK PageView::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    // The page's lParam is its PROPSHEETPAGE, whose lParam is the view.
    const auto* page = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, page->lParam);
  }
  auto* view = reinterpret_cast<PageView*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!view) return FALSE;
  try {
    return view->Dispatch(hwnd, message, wParam, lParam);
  } catch (const std::exception& e) {
    ReportViewFailure(e.what());
  } catch (...) {
    ReportViewFailure("");
  }
  // A page that failed to leave stays; one that failed otherwise goes on.
  if (message == WM_NOTIFY &&
      reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_KILLACTIVE)) {
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
    return TRUE;
  }
  return FALSE;
}

INT_PTR PageView::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      window_ = hwnd;
      Prepare(hwnd);
      model_.OnInitDialog();
      Show(hwnd);
      return TRUE;
    case WM_COMMAND:
      return OnCommand(hwnd, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
      const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
      switch (header.code) {
        case PSN_SETACTIVE:
          model_.OnSetActive();
          Show(hwnd);
          ApplyFocus(hwnd, model_.Focus);
          SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 0);
          return TRUE;
        case PSN_KILLACTIVE: {
          const bool left = Read(hwnd) && model_.OnKillActive();
          if (!left) {
            Show(hwnd);
            ApplyFocus(hwnd, model_.Focus);
          }
          SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, left ? FALSE : TRUE);
          return TRUE;
        }
        case PSN_APPLY:
          model_.OnOK();
          SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, PSNRET_NOERROR);
          return TRUE;
      }
      return OnNotify(hwnd, header) ? TRUE : FALSE;
    }
  }
  return FALSE;
}

bool Win32DialogHost::DoModal(CDialogModel& dialog) {
  for (DialogViewFactory make : factories_) {
    std::unique_ptr<DialogView> view = make(dialog);
    if (!view) continue;
    const INT_PTR result = view->Run(module_);
    if (result == -1) {
      const std::string text = "ダイアログ " + std::to_string(dialog.TemplateId()) +
                               " を表示できませんでした (エラー " +
                               std::to_string(GetLastError()) + ")";
      MessageBoxA(GetActiveWindow(), text.c_str(), kCaption, MB_ICONERROR | MB_OK);
    }
    return result == IDOK;
  }
  const std::string text =
      "ダイアログ " + std::to_string(dialog.TemplateId()) + " はこのビルドにはまだありません";
  MessageBoxA(GetActiveWindow(), text.c_str(), kCaption, MB_ICONERROR | MB_OK);
  return false;
}

}  // namespace velandra::ui::win32
