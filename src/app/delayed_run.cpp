#include "app/delayed_run.h"

namespace velandra::app {

// Not built yet.
void RunDelayedActions(ui::CVelandraSheet&, ui::IUserPasswordDialog&) {}
void StartProgramEntry(platform::Platform&, const config::ProgramEntry&) {}

}  // namespace velandra::app
