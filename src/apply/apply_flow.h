// Applying a place: the exit-mode choice, the save, the comparison with the
// PC, the questions, and then the change without restart (the change batch)
// or with restart (the registry written, the Startup shortcut, Windows shut
// down or restarted), also under another account.
//
// The account entered for the logon of a user who is not an administrator
// is held in 64 bytes and its password in 128: a longer user name or
// password is refused with its own message (error icon) and nothing is
// changed, rather than cut into another account's name or a wrong
// password.
#pragma once
#include <cstdint>
#include <string>

#include "config/places.h"
#include "system/context.h"
#include "system/platform/messages.h"

namespace velandra::config {
class PlaceSettings;
}

namespace velandra::ui {
class CVelandraSheet;
class IExitDialog;
class IUserPasswordDialog;
}  // namespace velandra::ui

namespace velandra::apply {

inline constexpr char kMsgNothingToChange[] =
    "設定内容がPCのネットワーク設定と同じなので、変更を行いません";
inline constexpr char kMsgNothingToChangeShutDown[] =
    "設定内容がPCのネットワーク設定と同じなので、変更を行いません。\nシャットダウンしますか？";
inline constexpr char kMsgNothingToChangeRestart[] =
    "設定内容がPCのネットワーク設定と同じなので、変更を行いません。\n再起動しますか？";
inline constexpr char kMsgChangeWithoutRestart[] =
    "設定内容が再起動なしで変更可能です。\n再起動なしで変更しますか？";
inline constexpr char kMsgLogonPrompt[] =
    "現在ログオンしているユーザーとパスワードを入力してください";
inline constexpr char kMsgLogonCancelled[] = "ユーザー名とパスワードが入力してください";
// printf formats, with the Windows error code.
inline constexpr char kFmtLogonUserError[] = "LogonUser error : Code=%ld";
inline constexpr char kFmtImpersonateError[] = "ImpersonateLoggedOnUser error : Code=%ld";
inline constexpr char kFmtRevertError[] = "RevertToSelf error : Code=%ld";
// The logon's buffers: 64 and 128 bytes with their terminating zero.
inline constexpr size_t kMaxLogonUserName = 63;
inline constexpr size_t kMaxLogonPassword = 127;
inline constexpr char kMsgLogonUserTooLong[] =
    "ユーザー名が長すぎます。63バイト(全角31文字)までで入力してください";
inline constexpr char kMsgLogonPasswordTooLong[] =
    "パスワードが長すぎます。127バイトまでで入力してください";

// A format of the three above with `code`.
std::string FormatErrorCode(const char* format, long code);

// Shown when the place has no place-wide record (which load all makes for
// every place), followed by the place's name.
inline constexpr char kMsgNoPlaceRecord[] = "場所全体の設定が読み込まれていません: ";

// The exit request for exit mode 0 (shut down, powered off with `powerOff`)
// or 1 (restart).
uint32_t ExitRequestFlags(int exitMode, bool powerOff);

// Shown when the run has no exit-mode dialog to show.
inline constexpr char kMsgNoExitDialog[] = "終了方法のダイアログ (このビルドにはまだありません)";

enum class ApplyResult {
  Done,      // applied, saved, or stopped by the user or a "no"
  Failed,    // a step failed after its message; the run ends with exit code 1
  NotBuilt,  // needs what is not built yet (the exit-mode dialog's window)
};

class CApplyFlow {
 public:
  // `logonDialog` asks a user who is not an administrator for an account.
  // Without an exit-mode dialog (null) ApplyPlace fails loudly as not built.
  CApplyFlow(ui::CVelandraSheet& sheet, ui::IExitDialog* exitDialog,
             ui::IUserPasswordDialog& logonDialog)
      : sheet_(sheet), exitDialog_(exitDialog), logonDialog_(logonDialog) {}

  // ApplyPlace(save) for the sheet's CurrentPlace: the exit-mode dialog,
  // with `save` the whole configuration saved, then by ExitMode:
  // 3 nothing more; 2 the change batch (or, under DIFFCHECK with nothing to
  // change, only "設定内容が...変更を行いません"); 0 and 1 the change with
  // restart and the exit request, after the questions that DIFFCHECK leaves
  // (changing without restart instead, or restarting with nothing to
  // change). With the another-user check the change goes to RelogonAs.
  // A failed change with restart posts the quit request with code 1 and
  // makes no exit request. Stops with Failed, changing nothing on the PC,
  // when the save fails: a file that may hold a mix of old and new must not
  // be the one the next start resumes from.
  ApplyResult ApplyPlace(bool save);

  // The change with restart: for a user who is not an administrator, the
  // account entered in the dialog is logged on and the place is written
  // under it; then the Startup shortcut (-r "place") when delayed actions
  // are queued. True on success, also when no shortcut could be made (a
  // warning then says that the queued actions wait for a start with -r);
  // false after a message. Impersonation ends on every path after it
  // began, also when the write failed.
  bool ApplyWithRestart(const config::Place& place);

  // Every adapter's settings of the place into the registry, in Adapters
  // order, skipping those equal to the PC under DIFFCHECK; the first failed
  // write (reported by it) gives false. Then the place-wide record, unless
  // equal under DIFFCHECK, which queues what waits for the restart.
  bool WritePlaceToPC(const config::Place& place);

 private:
  ApplyResult Relogon(const config::PlaceSettings& record, int mode, bool withoutRestart);

  ui::CVelandraSheet& sheet_;
  ui::IExitDialog* exitDialog_;
  ui::IUserPasswordDialog& logonDialog_;
};

}  // namespace velandra::apply
