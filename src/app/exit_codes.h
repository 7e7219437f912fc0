// Process exit codes of the program.
#pragma once

namespace velandra::app {

enum ExitCode : int {
  kExitSuccess = 0,
  // A failed change, a quit request after a fatal registry failure, or a PC
  // without a network adapter (nothing could be applied).
  kExitFailed = 1,
  // The run was refused before it did anything: unsupported Windows, no
  // administrator rights, bad arguments, unknown place.
  kExitRefused = 2,
  // The command line asked for something this build cannot do yet.
  kExitNotBuilt = 3,
};

}  // namespace velandra::app
