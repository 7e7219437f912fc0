// velandra-pc: makes and inspects simulated PCs, and plays their boots.
//   velandra-pc init DIR [--windows2000]   write the demo PC into a new DIR
//   velandra-pc check DIR                  load DIR and report what is wrong
//   velandra-pc boot DIR [--force] [--answers LIST]
//                                          what Windows does after the exit
//                                          request recorded in DIR
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/velandra_app.h"
#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_boot.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"
#include "ui/dlg_exit.h"
#include "ui/dlg_user_password.h"

namespace {

using namespace velandra::platform;

int Usage() {
  std::cerr << "usage: velandra-pc init DIR [--windows2000]\n"
               "       velandra-pc check DIR\n"
               "       velandra-pc boot DIR [--force] [--answers LIST]\n"
               "  boot   plays the restart, shutdown or log off that the last run asked\n"
               "         for: the next logon, then Velandra from the common Startup\n"
               "         folder. --force boots when no request is recorded; LIST\n"
               "         (default $VELANDRA_ANSWERS) answers the starts' questions.\n";
  return 64;
}

std::unique_ptr<sim::SimulatedPc> OpenPc(const std::string& dir) {
  std::string error;
  auto pc = sim::SimulatedPc::Open(sim::HostPathFromUtf8(dir), error);
  if (!pc) std::cerr << "velandra-pc: " << error << "\n";
  return pc;
}

int Check(const std::string& dir) {
  auto pc = OpenPc(dir);
  if (!pc) return 1;
  OsVersion v;
  pc->platform().system.GetVersion(v);
  OsVersion ex = v;
  pc->platform().system.GetVersionEx(ex);
  std::string computer, user;
  pc->platform().system.GetComputerName(computer);
  pc->platform().system.GetUserName(user);
  std::cout << "Windows " << v.MajorVersion << "." << v.MinorVersion << "." << v.BuildNumber
            << " " << Cp932ToUtf8(v.ServicePack) << ", product type "
            << int(ex.ProductType) << "\n"
            << "computer " << Cp932ToUtf8(computer) << ", user " << Cp932ToUtf8(user) << "\n"
            << "executable " << Cp932ToUtf8(pc->platform().system.ModuleFileName()) << "\n";
  return 0;
}

// Velandra started from a shortcut, in this process, as the Linux front end
// runs it.
int StartVelandra(sim::SimulatedPc& pc, const std::string& arguments, std::ostream& out) {
  velandra::ui::ScriptedUserPasswordDialog prompt(pc.answers(), out);
  velandra::ui::ScriptedExitDialog exitDialog(pc.answers(), out);
  velandra::app::CVelandraApp app(pc.platform(), prompt, &exitDialog);
  return app.Run(arguments);
}

int Boot(const std::string& dir, int argc, char** argv) {
  bool force = false;
  std::string answers;
  if (const char* env = std::getenv("VELANDRA_ANSWERS")) answers = env;
  for (int i = 3; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--force") force = true;
    else if (a == "--answers" && i + 1 < argc) answers = argv[++i];
    else return Usage();
  }
  auto pc = OpenPc(dir);
  if (!pc) return 1;
  pc->answers().PushList(Utf8ToCp932(answers));
  return sim::Boot(*pc, force, StartVelandra, std::cout).ExitCode;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string command = argv[1], dir = argv[2];
  if (command == "init") {
    auto variant = sim::DemoVariant::WindowsXp;
    for (int i = 3; i < argc; ++i) {
      if (std::string(argv[i]) == "--windows2000") variant = sim::DemoVariant::Windows2000;
      else return Usage();
    }
    std::string error;
    if (!sim::WriteDemoPc(sim::HostPathFromUtf8(dir), variant, error)) {
      std::cerr << "velandra-pc: " << error << "\n";
      return 1;
    }
    return Check(dir);
  }
  if (command == "check" && argc == 3) return Check(dir);
  if (command == "boot") return Boot(dir, argc, argv);
  return Usage();
}
