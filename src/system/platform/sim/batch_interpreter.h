// The simulated PC's command interpreter: a batch file read and run the way
// cmd.exe runs it under code page 932, for the commands Velandra's batches
// hold (docs/simulated-pc.md, "Running programs and batch files"). What it
// cannot model stops the run with a non-zero exit code; nothing it skips
// looks as if it had run.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velandra::platform::sim {

class SimulatedPc;

// cmd's exit code for a command it does not know.
inline constexpr uint32_t kExitUnknownCommand = 9009;
// A line the interpreter cannot run (a construct it does not model, bad syntax).
inline constexpr uint32_t kExitCannotRun = 255;

// Prefix of the event logged for every command the interpreter carries out.
inline constexpr char kBatchCommandEvent[] = "batch command: ";

// Runs netsh with its split arguments; returns its exit code, its text in
// `output` (CP932).
using NetshRunner =
    std::function<int(const std::vector<std::string>& args, std::string& output)>;

// The arguments of a program's command line (the text after the program
// name) split as msvcrt.dll splits them: blanks separate outside quotes;
// 2n backslashes before a quote give n and the quote toggles quoting, 2n+1
// give n and a literal quote; "" inside quotes gives a quote and ends the
// quoting. A CP932 two-byte character is one character: its trail byte is
// never a backslash or quote.
std::vector<std::string> SplitProgramArguments(std::string_view args);

// The command interpreter of one run: the PC, what runs netsh, and the
// state that batch files calling batch files share.
struct RunContext {
  SimulatedPc& Pc;
  NetshRunner Netsh;
  bool Hidden = false;      // the batch window was asked to be hidden
  int Depth = 0;            // 0: started by CreateProcess; more: by a batch
  uint32_t ErrorLevel = 0;  // %ERRORLEVEL%
};

// A batch file's parameters: Items[0] is %0, Items[1] to Items[9] are %1 to
// %9 (missing ones are empty); All is %*.
struct BatchParameters {
  std::vector<std::string> Items;
  std::string All;
};

// Runs the program file at the Windows path `path` (found, and not a
// folder): a .bat or .cmd through the interpreter, with `invokedAs` as %0
// and `args` (the rest of the command line) giving %1 to %9; an .exe or .com
// is recorded as started with its arguments and ends with 0. Returns the
// exit code. `error` is 0, or the Windows error of a file that cannot be run
// at all (not a program, unreadable); nothing has run then.
uint32_t RunProgramFile(RunContext& context, const std::string& path,
                        const std::string& invokedAs, const std::string& args, long& error);

// The batch-file % expansion of one line: %% gives %, %0 to %9 and %* the
// batch's arguments, %~0 to %~9 an argument without its quotes, %NAME% the
// variable (removed when it is not defined), a lone % is dropped. Returns
// false with `error` for what cmd would refuse or the model leaves out
// (%~ with modifiers, %NAME:...% substitution of a defined variable).
// `lookup` answers a variable by name (case as written) or returns false.
bool ExpandBatchPercents(std::string_view line, const BatchParameters& params,
                         const std::function<bool(const std::string&, std::string&)>& lookup,
                         std::string& out, std::string& error);

// The environment processes of the simulated PC start with: COMPUTERNAME,
// ComSpec, OS, Path, PATHEXT, SystemDrive, SystemRoot, USERNAME and windir
// from pc.ini, then the entries of its [environment] section.
std::vector<std::pair<std::string, std::string>> ProcessEnvironment(SimulatedPc& pc);

// The folders of that environment's PATH.
std::vector<std::string> PathDirectories(SimulatedPc& pc);

// The current directory of processes the program starts: the folder of its
// executable.
std::string ProcessCurrentDirectory(SimulatedPc& pc);

// `path` made absolute against the current directory `cwd` as Windows does
// ("x", "\x", "C:x"); absolute and UNC paths stay as they are.
std::string ResolveWindowsPath(const std::string& cwd, const std::string& path);

}  // namespace velandra::platform::sim
