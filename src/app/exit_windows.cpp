#include "app/exit_windows.h"

#include "app/exit_codes.h"
#include "app/messages.h"

namespace velandra::app {

namespace {

void Fail(Context& context, const char* message) {
  context.Platform().messages.Show(platform::MessageOwner::MainWindow, message, kCaption,
                                   platform::MessageIcon::Warning,
                                   platform::MessageButtons::Ok);
  context.PostQuit(kExitFailed);
}

const char* PrivilegeMessage(platform::PrivilegeStep step) {
  switch (step) {
    case platform::PrivilegeStep::OpenToken: return kMsgTokenFailed;
    case platform::PrivilegeStep::LookupPrivilege: return kMsgPrivilegeNameFailed;
    case platform::PrivilegeStep::AdjustToken: break;
  }
  return kMsgPrivilegeFailed;
}

}  // namespace

bool ExitWindowsWithPrivilege(Context& context, uint32_t flags) {
  platform::ISession& session = context.Platform().session;
  platform::PrivilegeStep failed = platform::PrivilegeStep::AdjustToken;
  if (!session.EnableShutdownPrivilege(failed)) Fail(context, PrivilegeMessage(failed));
  // Logging off needs no privilege, and Windows itself refuses a shutdown
  // that lacks it: the call is worth making either way.
  if (session.RequestExit(flags)) return true;
  Fail(context, kMsgExitFailed);
  return false;
}

}  // namespace velandra::app
