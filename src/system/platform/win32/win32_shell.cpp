#include "system/platform/win32/win32_shell.h"

#include "system/platform/win32/ansi_text.h"

#include "system/platform/win32/handles.h"
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace velandra::platform::win32 {

namespace {

bool FolderId(SpecialFolder folder, int& csidl) {
  switch (folder) {
    case SpecialFolder::CommonStartup:
      csidl = CSIDL_COMMON_STARTUP;
      return true;
  }
  return false;
}

// A text cut at a zero byte would name another file or run other
// arguments: such texts are refused, never passed.
// The shell link object and its persist-file interface.
bool OpenLink(ComPtr<IShellLinkA>& link, ComPtr<IPersistFile>& file) {
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IShellLinkA, link.put_void())))
    return false;
  return SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void()));
}

// One text of the link read into a buffer of `size` bytes.
template <typename Get>
bool ReadText(Get get, int size, std::string& text) {
  std::string buffer(static_cast<size_t>(size), '\0');
  if (FAILED(get(buffer.data(), size))) return false;
  buffer.resize(buffer.find('\0') == std::string::npos ? buffer.size() : buffer.find('\0'));
  text = std::move(buffer);
  return true;
}

}  // namespace

bool Win32Shell::GetSpecialFolderPath(SpecialFolder folder, bool create,
                                      std::string& path) {
  int csidl = 0;
  if (!FolderId(folder, csidl)) return false;
  char buffer[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathA(nullptr, buffer, csidl, create ? TRUE : FALSE))
    return false;
  path = buffer;
  return true;
}

// S_FALSE (already initialised on this thread) is a success that must be
// balanced by CoUninitialize too.
bool Win32Shell::InitializeCom() { return SUCCEEDED(::CoInitialize(nullptr)); }

void Win32Shell::UninitializeCom() { ::CoUninitialize(); }

bool Win32Shell::CreateShortcut(const std::string& path, const ShortcutSpec& spec) {
  std::wstring widePath;
  if (HasZero(path) || HasZero(spec.Target) || HasZero(spec.Arguments) ||
      HasZero(spec.WorkingDirectory) || HasZero(spec.Description) ||
      !AnsiToWide(path, widePath))
    return false;
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  if (!OpenLink(link, file)) return false;
  return SUCCEEDED(link->SetPath(spec.Target.c_str())) &&
         SUCCEEDED(link->SetDescription(spec.Description.c_str())) &&
         SUCCEEDED(link->SetArguments(spec.Arguments.c_str())) &&
         SUCCEEDED(link->SetWorkingDirectory(spec.WorkingDirectory.c_str())) &&
         SUCCEEDED(link->SetIconLocation("", 0)) &&
         SUCCEEDED(link->SetShowCmd(SW_SHOWNORMAL)) &&
         SUCCEEDED(file->Save(widePath.c_str(), TRUE));
}

bool Win32Shell::ReadShortcut(const std::string& path, ShortcutSpec& spec) {
  std::wstring widePath;
  if (HasZero(path) || !AnsiToWide(path, widePath)) return false;
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  if (!OpenLink(link, file) || FAILED(file->Load(widePath.c_str(), STGM_READ))) return false;
  ShortcutSpec read;
  // The path as it was set, without resolving the link or expanding
  // environment strings.
  auto target = [&](char* b, int n) { return link->GetPath(b, n, nullptr, SLGP_RAWPATH); };
  auto arguments = [&](char* b, int n) { return link->GetArguments(b, n); };
  auto directory = [&](char* b, int n) { return link->GetWorkingDirectory(b, n); };
  auto description = [&](char* b, int n) { return link->GetDescription(b, n); };
  if (!ReadText(target, MAX_PATH, read.Target) ||
      !ReadText(arguments, INFOTIPSIZE, read.Arguments) ||
      !ReadText(directory, MAX_PATH, read.WorkingDirectory) ||
      !ReadText(description, INFOTIPSIZE, read.Description))
    return false;
  spec = std::move(read);
  return true;
}

bool Win32Shell::Execute(const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& directory,
                              int show) {
  // Cut at a zero byte a text would name another file or program.
  for (const std::string* text : {&verb, &file, &parameters, &directory})
    if (text->find('\0') != std::string::npos) return false;
  HINSTANCE result = ::ShellExecuteA(nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                                     parameters.empty() ? nullptr : parameters.c_str(),
                                     directory.empty() ? nullptr : directory.c_str(), show);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace velandra::platform::win32
