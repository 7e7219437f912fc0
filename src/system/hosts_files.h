// The PC side of a place's hosts and lmhosts variants: the system files
// under <system directory>\drivers\etc, the variants "hosts.<place>" and
// "lmhosts.<place>" beside the executable, their snapshot, creation,
// comparison and installation. Every file is written whole or not at all:
// a copy reads the source and writes the target through IFiles::WriteFile.
#pragma once
#include <string>

#include "config/hosts_files.h"
#include "system/platform/platform.h"

namespace velandra {

enum class HostsKind { Hosts, Lmhosts };

inline constexpr char kMsgHostsNameMissing[] = "HOSTSファイル名が指定されていません";
inline constexpr char kMsgLmhostsNameMissing[] = "LMHOSTSファイル名が指定されていません";
// The common setting EDITOR is empty.
inline constexpr char kMsgNoEditor[] = "エディタが設定されていません";
// The command line and the Windows error follow.
inline constexpr char kMsgEditorNotStarted[] = "エディタを起動できませんでした: ";

// "hosts" or "lmhosts".
const char* HostsFileName(HostsKind kind);

// <system directory>\drivers\etc\hosts [lmhosts]; empty when the system
// directory is unknown.
std::string SystemHostsPath(platform::ISystemInfo& system, HostsKind kind);
// The sample beside it: hosts.sam [lmhosts.sam]; empty likewise.
std::string SystemHostsSamplePath(platform::ISystemInfo& system, HostsKind kind);

// Why `placeName` cannot be the extension of a variant file beside the
// executable, as a sentence; empty when it can. Refused: an empty name;
// \ / : * ? " < > | and control characters; ".."; a trailing dot or blank;
// a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an
// extension); a lead byte without its trail byte. Scanned by character, so
// the trail byte 0x5C of 表 or ソ is no backslash.
std::string PlaceNameFileProblem(const std::string& placeName);

// The default variant: GetExeDirectory + "\hosts." [or "\lmhosts."] + place
// name. False, with the message to show in `problem`, when the place name is
// refused or the path would be longer than config::kMaxHostsPath.
bool DefaultVariantPath(platform::ISystemInfo& system, HostsKind kind,
                        const std::string& placeName, std::string& path,
                        std::string& problem);

// Copies the whole file: the target stands complete with the source's
// content, or is left as it was. False when the source cannot be read or
// the target not written.
bool CopyWholeFile(platform::IFiles& files, const std::string& from, const std::string& to);

// Sets both paths to fresh copies of the system files beside the executable.
// A missing system file (or an unknown system directory) leaves its path
// empty without a message. A refused place name or a copy that fails while
// the system file exists also leaves it empty, with a warning: an empty path
// makes the next apply delete the system file.
void SnapshotHostsFiles(platform::Platform& platform, const std::string& placeName,
                        config::HostsFiles& files);

// The Other page's copy button: fills the variant at `path` (the default
// variant of the place when empty) from the system file, else its sample,
// else an empty file, with the messages of each case. False, `path` and
// every file unchanged, when the place name is refused for the default path;
// false also, with a warning naming both files, when a source is there but
// the target cannot be written (no "not found" then), and when even the
// empty file cannot be written.
bool CreateHostsVariant(platform::Platform& platform, HostsKind kind,
                        const std::string& placeName, std::string& path);

// The Other page's edit button: starts `editor` (the common setting EDITOR)
// with the path in double quotes and waits until it has ended; the page
// does not respond meanwhile. False, after a warning, when the path is
// empty (kMsgHostsNameMissing [kMsgLmhostsNameMissing]), when no editor is
// set, and when the editor cannot be started.
bool EditHostsVariant(platform::Platform& platform, HostsKind kind, const std::string& editor,
                      const std::string& path);

// Line by line, line ends removed (CR LF and LF alike): both missing is
// equal, one missing is not; an empty path counts as missing.
bool SameAsSystemFile(platform::IFiles& files, const std::string& systemPath,
                      const std::string& variantPath);

struct HostsComparison {
  bool SameHosts = false;
  bool SameLmhosts = false;
};
HostsComparison CompareHostsFiles(platform::Platform& platform,
                                  const config::HostsFiles& files);

// Installs the variants: each one copied over its system file, or the system
// file deleted when the place has none (a missing one is fine). A file is
// skipped when `skip` says it is equal already. Nothing happens when the
// system directory is unknown. False, with a warning naming the file, when
// a copy or delete failed; the system file is then left as it was.
bool ApplyHostsFiles(platform::Platform& platform, const config::HostsFiles& files,
                     const HostsComparison& skip = {});

// A printable summary for the demo: each variant, whether its file exists
// and whether it matches the system file.
std::string DescribeHostsFiles(platform::Platform& platform,
                               const config::HostsFiles& files);

}  // namespace velandra
