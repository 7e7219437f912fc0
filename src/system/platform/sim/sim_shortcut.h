// Shortcuts (shell links) on the simulated PC: small UTF-8 text files that
// hold what IShellLinkA would, readable and editable by hand.
//
//   # A shortcut of the simulated PC (docs/simulated-pc.md).
//   [shortcut]
//   target = C:\Program Files\Velandra\Velandra.exe
//   arguments = -r "本社"
//   working_directory = C:\Program Files\Velandra
//   description = Velandra
//
// A value that begins or ends with a blank, or that begins and ends with a
// double quote, is written inside one more pair of double quotes, which
// reading takes off again; every other value stands as it is.
#pragma once
#include <string>

#include "system/platform/shell.h"

namespace velandra::platform::sim {

// Longest texts (CP932 bytes) the shell link keeps: MAX_PATH - 1 for the
// paths, INFOTIPSIZE - 1 for arguments and description.
inline constexpr size_t kShortcutMaxPath = 259;
inline constexpr size_t kShortcutMaxText = 1023;

// The file's text for `spec` (CP932 fields). False with `why` (UTF-8) when a
// field cannot be kept: no target, a control character, bytes that are not
// CP932 text, or a text longer than the shell link keeps.
bool FormatShortcut(const ShortcutSpec& spec, std::string& text, std::string& why);

// Reads a file's text back. False with `why` when it is not a shortcut of
// this form: another section or key, a key twice, no target, a line that is
// no "key = value", text that is not UTF-8 or has no CP932 form, or a
// field longer than the shell link keeps. `spec` is left as it was then.
bool ParseShortcut(const std::string& text, ShortcutSpec& spec, std::string& why);

}  // namespace velandra::platform::sim
