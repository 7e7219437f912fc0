// Changing a place without a restart: the batch "netsh_p<n>.bat" beside the
// executable is written, run and waited for, and then the connection DNS
// suffixes, which no command sets, go straight into the registry.
#pragma once
#include <string>

#include "apply/netsh_batch.h"
#include "config/place_settings.h"
#include "config/places.h"

namespace velandra::ui {
class CVelandraSheet;
}

namespace velandra::apply {

inline constexpr char kMsgBatchNotCreated[] = "バッチファイルを作成できませんでした";
// Followed by the path and the Windows error.
inline constexpr char kMsgBatchNotStarted[] = "バッチファイルを実行できませんでした: ";
// Followed by the exit code and the path.
inline constexpr char kMsgBatchFailed[] = "バッチファイルの実行でエラーが発生しました。終了コード ";
// Followed by the path.
inline constexpr char kMsgBatchPathUnusable[] =
    "プログラムのフォルダのパスにコマンドプロンプトで特別な意味を持つ文字"
    "(% & | < > ^ ( ) @ \")が含まれているため、バッチファイルを実行できません: ";
inline constexpr char kMsgBatchNotDeleted[] = "バッチファイルを削除できませんでした: ";

// RunChangeBatch for `place` of `sheet`:
// 1. The batch text is built (netsh_batch.h). A refused value, or a batch
//    path that cmd would split, is reported and nothing is written or run.
// 2. The file is written whole ("バッチファイルを作成できませんでした" when
//    it cannot be; nothing else is done then).
// 3. It is run with its path quoted (an unquoted "C:\Program Files\..."
//    would let Windows start "C:\Program.exe"), hidden when HIDEPROMPT is
//    set, and waited for until it ends.
// 4. With DELETEBAT it is deleted.
// 5. When it ran, every adapter's "Domain" value is set to its
//    DOMAIN_Suffix, unless equal under DIFFCHECK; failures are silent.
// True when the batch ran and ended with exit code 0. A batch that cannot
// be started, or ends with another code, is reported (warning icon) and
// gives false; cmd's exit code is that of the batch's last command.
//
// The place-wide lines (proxy, drives, printer, shares, hosts files) come
// from the place's record; unless equal, the PC's shares are deleted before
// the batch runs, and shares with permission entries (which no net share
// line can give) are created through the network functions after it; a
// share that cannot be made is reported and gives false.
bool RunChangeBatch(ui::CVelandraSheet& sheet, const config::Place& place);

// The batch's place-wide inputs from the place's record.
BatchPlaceWide BatchPlaceWideOf(const config::PlaceSettings& record);

}  // namespace velandra::apply
