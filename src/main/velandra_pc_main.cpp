// velandra-pc: makes and inspects simulated PCs.
//   velandra-pc init DIR [--windows2000]   write the demo PC into a new DIR
//   velandra-pc check DIR                  load DIR and report what is wrong
#include <iostream>
#include <string>

#include "system/platform/sim/demo_pc.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace {

using namespace velandra::platform;

int Usage() {
  std::cerr << "usage: velandra-pc init DIR [--windows2000]\n"
               "       velandra-pc check DIR\n";
  return 64;
}

int Check(const std::string& dir) {
  std::string error;
  auto pc = sim::SimulatedPc::Open(sim::HostPathFromUtf8(dir), error);
  if (!pc) {
    std::cerr << "velandra-pc: " << error << "\n";
    return 1;
  }
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
  return Usage();
}
