#include "ui/win32/view_base.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <exception>
#include <string>

#include "system/platform/messages.h"
#include "ui/file_filter.h"

namespace velandra::ui::win32 {

namespace {

struct FolderStart {
  const std::string* title;
  const std::string* start;
};

// The folder browser's window title, its first selection, and the selected
// path as status text.
int CALLBACK FolderCallback(HWND browser, UINT message, LPARAM param, LPARAM data) {
  const auto* start = reinterpret_cast<const FolderStart*>(data);
  if (message == BFFM_INITIALIZED) {
    if (!start->title->empty()) SetWindowTextA(browser, start->title->c_str());
    if (!start->start->empty())
      SendMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                   reinterpret_cast<LPARAM>(start->start->c_str()));
  } else if (message == BFFM_SELCHANGED) {
    char path[MAX_PATH] = "";
    if (!SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(param), path)) path[0] = '\0';
    SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
  }
  return 0;
}

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

bool Win32DialogHost::ChooseFile(const std::string& filter, std::string& path) {
  // The common dialog's filter: description and patterns, each ended by a
  // null character, the list by one more.
  std::string pairs;
  for (const FileFilter& entry : SplitFileFilter(filter)) {
    pairs += entry.Description;
    pairs += '\0';
    pairs += entry.Patterns;
    pairs += '\0';
  }
  pairs += '\0';
  char chosen[MAX_PATH] = "";
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = GetActiveWindow();
  request.lpstrFilter = pairs.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = chosen;
  request.nMaxFile = sizeof chosen;
  request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&request)) {
    // Cancel gives 0; anything else is a failure the user should hear of.
    if (const DWORD error = CommDlgExtendedError()) {
      const std::string text = "ファイルを選択するダイアログを表示できませんでした (エラー " +
                               std::to_string(error) + ")";
      MessageBoxA(GetActiveWindow(), text.c_str(), kCaption, MB_ICONWARNING | MB_OK);
    }
    return false;
  }
  path = chosen;
  return true;
}

bool Win32DialogHost::ChooseFolder(const std::string& caption, const std::string& title,
                                   const std::string& start, std::string& path) {
  // The folder browser is a shell object: COM must be up on this thread.
  const HRESULT com = CoInitialize(nullptr);
  FolderStart data{&title, &start};
  char display[MAX_PATH] = "";
  BROWSEINFOA request{};
  request.hwndOwner = GetActiveWindow();
  request.pszDisplayName = display;
  request.lpszTitle = caption.c_str();
  request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  request.lpfn = FolderCallback;
  request.lParam = reinterpret_cast<LPARAM>(&data);
  bool chose = false;
  if (LPITEMIDLIST folder = SHBrowseForFolderA(&request)) {
    char chosen[MAX_PATH] = "";
    if (SHGetPathFromIDListA(folder, chosen)) {
      path = chosen;
      chose = true;
    } else {
      // A folder of the shell's own, such as the printers: no path.
      MessageBoxA(GetActiveWindow(), "選択されたフォルダにはパスがありません", kCaption,
                  MB_ICONWARNING | MB_OK);
    }
    CoTaskMemFree(folder);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chose;
}

}  // namespace velandra::ui::win32
