// Velandra on a simulated PC, from a Linux terminal:
//   velandra [--pc DIR] [--answers LIST] [--] [Velandra's own arguments]
// Without --pc (or VELANDRA_PC) it runs on the embedded demo PC, written on
// first use under $XDG_STATE_HOME/velandra/demo-pc. Text to and from the
// terminal is UTF-8; the program itself works in CP932.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/place_report.h"
#include "app/velandra_app.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"

namespace {

namespace fs = std::filesystem;
using velandra::platform::sim::HostPathFromUtf8;
using velandra::platform::sim::HostPathToUtf8;

constexpr int kExitUsage = 64;
constexpr int kExitSimulation = 70;

void Usage() {
  std::cerr << "usage: velandra [--pc DIR] [--answers LIST] [--show] [--pieces PLACE] [--] [ARGUMENTS...]\n"
               "  --pc DIR        the simulated PC (default: $VELANDRA_PC, else the demo PC)\n"
               "  --show          list the adapters and places and how each place differs\n"
               "                  from the PC, instead of running Velandra\n"
               "  --pieces PLACE  the place's network drives, printer, shares, hosts\n"
               "                  variants and proxy entry beside the PC's\n"
               "  --answers LIST  answers to questions and dialogs, separated by ';'\n"
               "                  (yes, no, ok, ok:USER:PASSWORD, cancel,\n"
               "                  exit:MODE[:poweroff][:user:NAME:PASSWORD])\n"
               "ARGUMENTS are Velandra's command line (-p NAME, -r NAME, -now, ...).\n";
}

fs::path DefaultDemoDirectory() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    return HostPathFromUtf8(state) / "velandra" / "demo-pc";
  const char* home = std::getenv("HOME");
  return HostPathFromUtf8(home && *home ? home : ".") / ".local" / "state" / "velandra" /
         "demo-pc";
}

// Rebuilds the command-line text the way Windows hands it over: arguments
// joined by spaces, those holding a space (or empty) in double quotes.
std::string JoinArguments(int argc, char** argv, int first) {
  std::string text;
  for (int i = first; i < argc; ++i) {
    std::string a = argv[i];
    if (!text.empty()) text += ' ';
    if (a.empty() || a.find(' ') != std::string::npos) text += '"' + a + '"';
    else text += a;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string pcDir, answers, piecesOf;
  bool show = false;
  if (const char* env = std::getenv("VELANDRA_PC")) pcDir = env;
  if (const char* env = std::getenv("VELANDRA_ANSWERS")) answers = env;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a == "--show") {
      show = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      Usage();
      return 0;
    }
    if (a == "--pc" || a == "--answers" || a == "--pieces") {
      if (i + 1 >= argc) {
        std::cerr << "velandra: " << a << " needs a value\n";
        Usage();
        return kExitUsage;
      }
      (a == "--pc" ? pcDir : a == "--answers" ? answers : piecesOf) = argv[++i];
      continue;
    }
    break;  // Velandra's own arguments begin
  }

  fs::path dir = HostPathFromUtf8(pcDir);
  std::string error;
  if (pcDir.empty()) {
    dir = DefaultDemoDirectory();
    std::error_code ec;
    if (!fs::exists(dir / velandra::platform::sim::kMachineFile, ec)) {
      if (!velandra::platform::sim::WriteDemoPc(
              dir, velandra::platform::sim::DemoVariant::WindowsXp, error)) {
        std::cerr << "velandra: cannot write the demo PC: " << error << "\n";
        return kExitUsage;
      }
      std::cerr << "velandra: wrote the demo PC to " << HostPathToUtf8(dir) << "\n";
    }
  }
  auto pc = velandra::platform::sim::SimulatedPc::Open(dir, error);
  if (!pc) {
    std::cerr << "velandra: " << error << "\n";
    return kExitUsage;
  }
  pc->answers().PushList(velandra::platform::Utf8ToCp932(answers));

  bool ok = true;
  std::string commandLine = velandra::platform::Utf8ToCp932(JoinArguments(argc, argv, i), &ok);
  if (!ok) {
    std::cerr << "velandra: the arguments hold characters that code page 932 cannot "
                 "represent\n";
    return kExitUsage;
  }
  try {
    velandra::ui::ScriptedUserPasswordDialog prompt(pc->answers(), std::cout);
    velandra::ui::ScriptedExitDialog exitDialog(pc->answers(), std::cout);
    velandra::app::CVelandraApp app(pc->platform(), prompt, &exitDialog);
    if (show || !piecesOf.empty()) {
      velandra::ui::CVelandraSheet sheet(app.GetContext());
      if (!sheet.LoadAll()) return 1;
      if (show)
        std::cout << velandra::platform::Cp932ToUtf8(velandra::app::DescribePlaces(sheet));
      if (!piecesOf.empty()) {
        const int64_t number = sheet.FindPlaceNumber(velandra::platform::Utf8ToCp932(piecesOf));
        const velandra::config::Place* place =
            number < 0 ? nullptr : sheet.FindPlace(static_cast<uint32_t>(number));
        if (!place) {
          std::cerr << "velandra: no place named " << piecesOf << "\n";
          return kExitUsage;
        }
        std::cout << velandra::platform::Cp932ToUtf8(
            velandra::app::DescribePlacePieces(app.GetContext(), *place));
      }
      return app.GetContext().QuitCode().value_or(0);
    }
    int code = app.Run(commandLine);
    if (!pc->answers().Empty())
      std::cerr << "velandra: " << pc->answers().Remaining()
                << " scripted answer(s) were not used\n";
    return code;
  } catch (const velandra::platform::sim::SimulationError& e) {
    std::cerr << "velandra: simulation stopped: " << e.what() << "\n";
    return kExitSimulation;
  }
}
