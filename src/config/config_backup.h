// A whole copy of Velandra.ini kept beside it, "Velandra.ini.bak", while the
// file is written key by key (save all, the deletion of a place): the
// profile functions rewrite the file once per key, so a run that ends in
// between would leave a mix of old and new. The copy stands from before the
// first write until the last one is done; a copy found at start means the
// writes were cut short, and it is put back. See docs/configuration.md.
#pragma once
#include <string>

#include "system/platform/files.h"
#include "system/platform/messages.h"

namespace velandra {
class Context;
}

namespace velandra::config {

inline constexpr char kBackupSuffix[] = ".bak";

inline constexpr char kMsgBackupFailed[] =
    "設定ファイルの控えを書き込めなかったため、設定を保存しませんでした: ";
inline constexpr char kMsgSaveFailedRestored[] =
    "設定ファイルに書き込めなかったため、保存前の設定に戻しました: ";
inline constexpr char kMsgSaveFailedNotRestored[] =
    "設定ファイルに書き込めませんでした。保存前の設定には次回の起動時に戻します: ";
inline constexpr char kMsgBackupNotRemoved[] =
    "設定は保存しましたが、設定ファイルの控えを削除できませんでした。"
    "次回の起動時に保存前の設定に戻らないよう、控えを削除してください: ";
inline constexpr char kMsgRestoredAtStart[] =
    "前回の設定の保存が途中で終わっていたため、保存前の設定に戻しました";
inline constexpr char kMsgRestoreFailedAtStart[] =
    "前回の設定の保存が途中で終わっていましたが、保存前の設定に戻せませんでした: ";
inline constexpr char kMsgRestoredBackupKept[] =
    "前回の設定の保存が途中で終わっていたため、保存前の設定に戻しましたが、"
    "設定ファイルの控えを削除できませんでした: ";

std::string BackupPathOf(const std::string& configPath);

enum class RestoreResult {
  NoBackup,   // nothing was cut short
  Restored,   // the file is as the copy, the copy removed
  CopyKept,   // the file is as the copy, but the copy could not be removed
  Failed,     // the file could not be put back; the copy stays for a later try
};

// Puts the copy back over the file, then removes it. An empty copy means
// there was no file (or an empty one) before: the file is removed. Repeating
// it after a cut-short run gives the same file.
RestoreResult RestoreBackup(platform::IFiles& files, const std::string& configPath);

// At start, before anything reads the file: restores a copy that a cut-short
// run left, and tells the user so (warning box, no owner window).
void RestoreInterruptedSave(Context& context);

// Guards one run of writes to the file; the messages go to `owner`.
class ConfigWriteGuard {
 public:
  ConfigWriteGuard(Context& context, platform::MessageOwner owner);
  ConfigWriteGuard(const ConfigWriteGuard&) = delete;
  ConfigWriteGuard& operator=(const ConfigWriteGuard&) = delete;

  // Writes the copy (the file's whole content, or an empty marker when there
  // is no file). A copy that stands already is kept: it is older than the
  // file, which may be half-written. False, after a warning, when the copy
  // cannot be written: nothing may be written to the file then.
  bool Begin();
  // After the writes: when all succeeded the copy is removed; otherwise it is
  // put back, so that the file is never left as a mix. False, after a
  // warning, when a write failed or the copy could not be removed.
  bool Finish(bool written);

 private:
  Context& context_;
  platform::MessageOwner owner_;
  std::string path_, backup_;
};

}  // namespace velandra::config
