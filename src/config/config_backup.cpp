#include "config/config_backup.h"

#include "system/context.h"
#include "system/platform/win_types.h"

namespace velandra::config {

namespace {

bool RemoveIfThere(platform::IFiles& files, const std::string& path) {
  long error = platform::kErrorSuccess;
  return files.DeleteFile(path, &error) || error == platform::kErrorFileNotFound;
}

}  // namespace

std::string BackupPathOf(const std::string& configPath) { return configPath + kBackupSuffix; }

RestoreResult RestoreBackup(platform::IFiles& files, const std::string& configPath) {
  const std::string backup = BackupPathOf(configPath);
  if (!files.Exists(backup)) return RestoreResult::NoBackup;
  std::string data;
  if (files.IsDirectory(backup) || !files.ReadFile(backup, data)) return RestoreResult::Failed;
  // The copy was written whole (WriteFile replaces in one step), so its
  // content is the file as it was; empty stands for "no file".
  const bool put = data.empty() ? RemoveIfThere(files, configPath)
                                : files.WriteFile(configPath, data);
  if (!put) return RestoreResult::Failed;
  return RemoveIfThere(files, backup) ? RestoreResult::Restored : RestoreResult::CopyKept;
}

void RestoreInterruptedSave(Context& context) {
  const std::string& path = context.ConfigPath();
  switch (RestoreBackup(context.Platform().files, path)) {
    case RestoreResult::NoBackup: return;
    case RestoreResult::Restored:
      Warn(context, kMsgRestoredAtStart, platform::MessageOwner::None);
      return;
    case RestoreResult::CopyKept:
      Warn(context, kMsgRestoredBackupKept + BackupPathOf(path), platform::MessageOwner::None);
      return;
    case RestoreResult::Failed:
      Warn(context, kMsgRestoreFailedAtStart + BackupPathOf(path), platform::MessageOwner::None);
      return;
  }
}

ConfigWriteGuard::ConfigWriteGuard(Context& context, platform::MessageOwner owner)
    : context_(context),
      owner_(owner),
      path_(context.ConfigPath()),
      backup_(BackupPathOf(path_)) {}

bool ConfigWriteGuard::Begin() {
  platform::IFiles& files = context_.Platform().files;
  bool ok;
  if (files.Exists(backup_)) {
    ok = !files.IsDirectory(backup_);
  } else if (!files.Exists(path_)) {
    ok = files.WriteFile(backup_, "");
  } else {
    std::string data;
    // A file that exists but cannot be read must not be replaced by one
    // whose old content would be lost.
    ok = !files.IsDirectory(path_) && files.ReadFile(path_, data) &&
         files.WriteFile(backup_, data);
  }
  if (!ok) Warn(context_, kMsgBackupFailed + backup_, owner_);
  return ok;
}

bool ConfigWriteGuard::Finish(bool written) {
  platform::IFiles& files = context_.Platform().files;
  if (written) {
    if (RemoveIfThere(files, backup_)) return true;
    Warn(context_, kMsgBackupNotRemoved + backup_, owner_);
    return false;
  }
  switch (RestoreBackup(files, path_)) {
    case RestoreResult::Restored:
    case RestoreResult::CopyKept:  // put back again at the next start: the same file
      Warn(context_, kMsgSaveFailedRestored + path_, owner_);
      break;
    case RestoreResult::NoBackup:
    case RestoreResult::Failed:
      Warn(context_, kMsgSaveFailedNotRestored + path_, owner_);
      break;
  }
  return false;
}

}  // namespace velandra::config
