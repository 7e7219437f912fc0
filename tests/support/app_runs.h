// Starting Velandra in-process on a simulated PC and reading what it left
// queued, for the tests that play whole runs.
#pragma once
#include <ostream>
#include <string>

#include "app/delayed_actions.h"
#include "app/velandra_app.h"
#include "support/demo_pc_facts.h"
#include "system/platform/sim/simulated_pc.h"
#include "ui/dlg_user_password.h"

namespace velandra::testing {

// One start with `arguments`; the account questions take their answers
// from the PC's script and write what they show to `out`.
inline int StartVelandra(platform::sim::SimulatedPc& pc, const std::string& arguments,
                         std::ostream& out) {
  ui::ScriptedUserPasswordDialog prompt(pc.answers(), out);
  app::CVelandraApp app(pc.platform(), prompt);
  return app.Run(arguments);
}

// The queue section as "key=value;" in file order, ";" when it is gone.
inline std::string QueueText(platform::Platform& p) {
  std::string section =
      p.profile.GetSection(app::kDelayActionSection, 4096, kDemoIniPath);
  for (char& c : section)
    if (c == '\0') c = ';';
  return section;
}

}  // namespace velandra::testing
