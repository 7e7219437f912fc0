// The command line of an unattended run: splitting the text into tokens and
// reading the options from them.
//
//   -p NAME   -r NAME   -d   -np   -s   -now   -logon [USER [PASSWORD]]
//   -diff | -nodiff   -hide | -nohide   -delbat | -nodelbat   -relogon
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dlg_user_password.h"

namespace velandra::app {

struct CommandLineOptions {
  uint32_t Resume = 0;       // -r
  uint32_t Dialog = 0;       // -d
  uint32_t Shutdown = 0;     // -s
  uint32_t UseProxy = 1;     // -np clears it
  uint32_t Now = 0;          // -now
  uint32_t Logon = 0;        // -logon
  uint32_t DiffGiven = 0;    // -diff or -nodiff
  uint32_t Diff = 0;
  uint32_t HideGiven = 0;    // -hide or -nohide
  uint32_t Hide = 0;
  uint32_t DelBatGiven = 0;  // -delbat or -nodelbat
  uint32_t DelBat = 0;
  uint32_t Relogon = 0;      // -relogon
  std::string PlaceName;     // value of -r or -p
  std::string LogonUserName;
  std::string LogonPassword;

  bool operator==(const CommandLineOptions&) const = default;
};

// The text that -logon shows in its prompt.
inline constexpr char kLogonPromptMessage[] =
    "ローカルPCにAdministrators権限のあるユーザーとパスワードを入力してください";

// Splits the command line (without the program's name) at spaces outside
// double quotes. A double quote switches quoting and stays in the token; a
// token enclosed in a pair of double quotes loses that pair, so "" gives an
// empty token. Runs of spaces make no empty tokens. Only space (0x20) and
// double quote (0x22) are special, and neither is ever a CP932 trail byte,
// so the text is walked byte by byte.
std::vector<std::string> SplitCommandLine(std::string_view text);

// Reads the options from the tokens. Every option word is looked for in its
// own pass over all tokens, in a fixed order; hence the later of a pair such
// as -diff/-nodiff wins wherever it stands, a -p name replaces a -r name, and
// a token taken as a value still counts as an option ("-p -now" names the
// place "-now" and sets Now). Option words match whole tokens, case-sensitively;
// other tokens are ignored. -logon asks `prompt` for what the line lacks.
//
// False when -p or -r is the last token or the logon prompt is cancelled;
// `options` is then left as it was.
bool ParseCommandLine(const std::vector<std::string>& tokens,
                      CommandLineOptions& options, ui::IUserPasswordDialog& prompt);

}  // namespace velandra::app
