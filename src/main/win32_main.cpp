// Velandra.exe. Runs on the real PC, or, when VELANDRA_PC names a simulated
// PC directory, on that one (how it is shown and tested under Wine). With a
// simulated PC, VELANDRA_ANSWERS scripts the questions and dialogs and
// VELANDRA_MESSAGES=console prints message boxes instead of showing them.
#include "system/platform/win32/win_api.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "app/velandra_app.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "system/platform/win32/win32_messages.h"
#include "system/platform/win32/win32_platform.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"
#include "ui/win32/dlg_exit_view.h"
#include "ui/win32/dlg_user_password_view.h"
#include "ui/win32/sheet_view.h"

namespace {

constexpr int kExitUsage = 64;
constexpr int kExitSimulation = 70;

std::wstring EnvW(const wchar_t* name) {
  const wchar_t* v = _wgetenv(name);
  return v ? std::wstring(v) : std::wstring();
}

std::string EnvCp932(const wchar_t* name) {
  std::wstring w = EnvW(name);
  return velandra::platform::Utf16ToCp932(std::u16string(w.begin(), w.end()));
}

void Fail(const std::string& utf8) {
  std::fprintf(stderr, "Velandra: %s\n", utf8.c_str());
  std::string cp = velandra::platform::Utf8ToCp932(utf8);
  MessageBoxA(nullptr, cp.c_str(), "Velandra", MB_ICONERROR | MB_OK);
}

int RunOnSimulatedPc(HINSTANCE module, const std::wstring& dir, const char* commandLine) {
  std::string error;
  auto pc = velandra::platform::sim::SimulatedPc::Open(std::filesystem::path(dir), error);
  if (!pc) {
    Fail(error);
    return kExitUsage;
  }
  pc->answers().PushList(EnvCp932(L"VELANDRA_ANSWERS"));
  velandra::platform::win32::Win32Messages boxes;
  velandra::platform::Platform platform = pc->platform();
  bool console = EnvW(L"VELANDRA_MESSAGES") == L"console";
  velandra::platform::Platform mixed{platform.profile, platform.registry, platform.system,
                                     platform.accounts, platform.files, platform.shell,
                                     console ? platform.messages : boxes, platform.processes,
                                     platform.session, platform.drives, platform.printers,
                                     platform.shares, platform.domain};
  try {
    std::unique_ptr<velandra::ui::IUserPasswordDialog> prompt;
    std::unique_ptr<velandra::ui::IExitDialog> exitDialog;
    if (!EnvW(L"VELANDRA_ANSWERS").empty()) {
      prompt = std::make_unique<velandra::ui::ScriptedUserPasswordDialog>(pc->answers(),
                                                                          std::cout);
      exitDialog = std::make_unique<velandra::ui::ScriptedExitDialog>(pc->answers(), std::cout);
    } else {
      prompt = std::make_unique<velandra::ui::Win32UserPasswordDialog>();
      // With boxes printed to the console nobody is at the screen to answer
      // a window: the exit-mode choice then fails loudly as not available.
      if (!console)
        exitDialog = std::make_unique<velandra::ui::win32::Win32ExitDialog>(module);
    }
    // Boxes shown as windows are owned by the sheet while it is up.
    velandra::ui::win32::Win32SheetWindow sheetWindow(module, exitDialog.get(), *prompt,
                                                      console ? nullptr : &boxes);
    velandra::app::CVelandraApp app(mixed, *prompt, exitDialog.get(), &sheetWindow);
    return app.Run(commandLine);
  } catch (const velandra::platform::sim::SimulationError& e) {
    std::fprintf(stderr, "Velandra: simulation stopped: %s\n", e.what());
    return kExitSimulation;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR commandLine, int) {
  std::wstring pcDir = EnvW(L"VELANDRA_PC");
  if (!pcDir.empty()) return RunOnSimulatedPc(module, pcDir, commandLine ? commandLine : "");

  velandra::platform::win32::Win32Platform windows;
  velandra::ui::Win32UserPasswordDialog prompt;
  velandra::ui::win32::Win32ExitDialog exitDialog(module);
  velandra::ui::win32::Win32SheetWindow sheetWindow(module, &exitDialog, prompt,
                                                    &windows.messages());
  velandra::app::CVelandraApp app(windows.platform(), prompt, &exitDialog, &sheetWindow);
  return app.Run(commandLine ? commandLine : "");
}
