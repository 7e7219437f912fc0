#include "system/platform/win32/win32_platform.h"

#include "system/platform/win32/win32_accounts.h"
#include "system/platform/win32/win32_domain.h"
#include "system/platform/win32/win32_files.h"
#include "system/platform/win32/win32_messages.h"
#include "system/platform/win32/win32_processes.h"
#include "system/platform/win32/win32_profile.h"
#include "system/platform/win32/win32_registry.h"
#include "system/platform/win32/win32_network_drives.h"
#include "system/platform/win32/win32_printers.h"
#include "system/platform/win32/win32_session.h"
#include "system/platform/win32/win32_shares.h"
#include "system/platform/win32/win32_shell.h"
#include "system/platform/win32/win32_system_info.h"

namespace velandra::platform::win32 {

struct Win32Platform::Parts {
  Win32Profile profile;
  Win32Registry registry;
  Win32SystemInfo system;
  Win32Accounts accounts;
  Win32Files files;
  Win32Shell shell;
  Win32Messages messages;
  Win32Processes processes;
  Win32Session session;
  Win32NetworkDrives drives;
  Win32Printers printers;
  Win32Shares shares;
  Win32Domain domain;
};

Win32Platform::Win32Platform()
    : parts_(std::make_unique<Parts>()),
      platform_(new Platform{parts_->profile, parts_->registry, parts_->system,
                             parts_->accounts, parts_->files, parts_->shell,
                             parts_->messages, parts_->processes,
                             parts_->session, parts_->drives, parts_->printers,
                             parts_->shares, parts_->domain}) {}

Win32Platform::~Win32Platform() = default;

Win32Messages& Win32Platform::messages() { return parts_->messages; }

}  // namespace velandra::platform::win32
