#include "system/platform/sim/batch_interpreter.h"

#include <algorithm>
#include <utility>

#include "system/platform/sim/sim_companion.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

// CreateProcess's answer for a file that is not a program.
constexpr long kErrorBadExeFormat = 193;
// Batch files calling batch files: cmd runs out of stack somewhere deeper.
constexpr int kMaxBatchDepth = 32;

void Log(SimulatedPc& pc, const std::string& cp932) { pc.LogEvent(Cp932ToUtf8(cp932)); }

// cmd's separators between tokens.
bool IsDelimiter(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '='; }
std::string Upper(std::string_view s) { return Cp932ToUpperAscii(s); }

std::string WithoutQuotes(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != '"') out += c;  // a quote is never a CP932 trail byte
  return out;
}

std::string TrimLeft(std::string_view s, bool (*skip)(char)) {
  size_t p = 0;
  while (p < s.size() && skip(s[p])) ++p;
  return std::string(s.substr(p));
}

bool EndsWithSeparator(std::string_view path) {
  const size_t last = Cp932FindLast(path, '\\');
  return !path.empty() && ((last != std::string_view::npos && last + 1 == path.size()) ||
                           path.back() == '/');
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  return EndsWithSeparator(dir) ? dir + name : dir + "\\" + name;
}

// The last name of a path, after its last \ or /.
std::string_view LastName(std::string_view path) {
  size_t start = 0;
  for (size_t p = 0; p < path.size(); p += Cp932CharLength(path, p))
    if (path[p] == '\\' || path[p] == '/' || (p == 1 && path[p] == ':')) start = p + 1;
  return path.substr(start);
}

// ".BAT" for "C:\x\y.bat"; empty when the last name has no dot. Trailing
// dots and blanks do not count, as Windows drops them.
std::string Extension(std::string_view path) {
  std::string_view name = LastName(path);
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
  const size_t dot = name.rfind('.');  // '.' is never a trail byte
  return dot == std::string_view::npos ? "" : Upper(name.substr(dot));
}

bool HasWildcard(std::string_view s) {
  for (size_t p = 0; p < s.size(); p += Cp932CharLength(s, p))
    if (Cp932CharLength(s, p) == 1 && (s[p] == '*' || s[p] == '?')) return true;
  return false;
}

bool ParseDecimal(std::string_view s, uint32_t& value) {
  if (s.empty() || s.size() > 9) return false;
  uint32_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint32_t>(c - '0');
  }
  value = v;
  return true;
}

// Internal commands of cmd that this interpreter does not carry out.
constexpr const char* kUnmodelledBuiltins[] = {
    "ASSOC", "BREAK", "CD", "CHDIR", "CLS", "COLOR", "DATE", "DIR", "ECHO", "ENDLOCAL",
    "FOR", "FTYPE", "GOTO", "IF", "MD", "MKDIR", "MOVE", "PATH", "PAUSE", "POPD",
    "PROMPT", "PUSHD", "RD", "REN", "RENAME", "RMDIR", "SET", "SETLOCAL", "SHIFT",
    "START", "TIME", "TITLE", "TYPE", "VER", "VERIFY", "VOL"};

bool IsTool(const std::string& upper, const char* name) {
  return upper == name || upper == std::string(name) + ".EXE";
}

// The batch parameters of a command line's argument text, as cmd splits
// them: delimiters outside quotes separate, quotes stay.
BatchParameters SplitBatchParameters(const std::string& invokedAs, const std::string& args) {
  BatchParameters params;
  params.Items.push_back(invokedAs);
  params.All = TrimLeft(args, IsDelimiter);
  const std::string& s = params.All;
  size_t p = 0;
  while (p < s.size()) {
    while (p < s.size() && IsDelimiter(s[p])) ++p;
    if (p >= s.size()) break;
    std::string item;
    bool quoted = false;
    while (p < s.size() && (quoted || !IsDelimiter(s[p]))) {
      const size_t n = Cp932CharLength(s, p);
      if (n == 1 && s[p] == '"') quoted = !quoted;
      item.append(s, p, n);
      p += n;
    }
    params.Items.push_back(item);
  }
  return params;
}

// ---- the environment ---------------------------------------------------------

// The folders of a PATH value, quotes taken off.
std::vector<std::string> SplitPathList(const std::string& path) {
  std::vector<std::string> dirs;
  size_t p = 0;
  while (p <= path.size()) {
    size_t end = path.find(';', p);  // ';' is never a trail byte
    if (end == std::string::npos) end = path.size();
    std::string dir = WithoutQuotes(path.substr(p, end - p));
    if (!dir.empty()) dirs.push_back(dir);
    p = end + 1;
  }
  return dirs;
}

class Environment {
 public:
  explicit Environment(RunContext& context)
      : context_(context),
        vars_(ProcessEnvironment(context.Pc)),
        cwd_(ProcessCurrentDirectory(context.Pc)) {}

  bool Lookup(const std::string& name, std::string& value) const {
    for (const auto& [key, v] : vars_)
      if (Cp932EqualsNoCase(key, name)) {
        value = v;
        return true;
      }
    // cmd's dynamic variables, shadowed by real ones of the same name.
    if (Cp932EqualsNoCase(name, "CD")) {
      value = cwd_;
      return true;
    }
    if (Cp932EqualsNoCase(name, "ERRORLEVEL")) {
      value = std::to_string(context_.ErrorLevel);
      return true;
    }
    return false;
  }

  const std::string& Cwd() const { return cwd_; }

  std::vector<std::string> PathDirectories() const {
    std::string path;
    return Lookup("PATH", path) ? SplitPathList(path) : std::vector<std::string>();
  }

 private:
  RunContext& context_;
  std::vector<std::pair<std::string, std::string>> vars_;
  std::string cwd_;
};

// ---- one line ----------------------------------------------------------------

enum class Op { Seq, And, Or };  // & && ||

struct LineCommand {
  Op Before;
  std::string Text;
};

// Splits a line, % expansion done, into commands the way cmd's parser does:
// quotes toggle quoting; outside quotes ^ takes the next character as it is
// and & && || separate commands; a ^ ending the line joins the next line,
// whose first character it takes as it is. A CP932 two-byte character is one
// character throughout, so its trail byte (^ or | included) is no operator.
class LineParser {
 public:
  // Fetches the next line of the file, expanded: 1, 0 at the end of the
  // file, -1 with `error` when it cannot be expanded.
  using NextLine = std::function<int(std::string& line, std::string& error)>;

  LineParser(std::string line, NextLine next) : line_(std::move(line)), next_(std::move(next)) {}

  bool Parse(std::vector<LineCommand>& commands, std::string& error) {
    size_t pos = 0;
    Op op = Op::Seq;
    bool first = true;
    for (;;) {
      while (pos < line_.size() && (IsDelimiter(line_[pos]) || line_[pos] == '@')) ++pos;
      if (pos >= line_.size()) {
        if (!first && op != Op::Seq) return Fail(error, "nothing follows the operator");
        return true;
      }
      const char c = line_[pos];
      if (first && c == ':') return true;  // a label
      if (c == '(') return Fail(error, "a parenthesised block is not modelled");
      if (c == ')') return Fail(error, "a closing parenthesis without a block");
      if (c == '&' || c == '|') return Fail(error, "an operator without a command before it");
      if (IsRem(pos)) {
        if (!ParseRem(pos, error)) return false;
        commands.push_back({op, line_.substr(pos)});
        return true;
      }
      std::string text;
      bool quoted = false;
      bool more = false;
      while (pos < line_.size()) {
        const size_t n = Cp932CharLength(line_, pos);
        const char ch = line_[pos];
        if (n == 2 || ch == '"' || quoted) {
          if (n == 1 && ch == '"') quoted = !quoted;
          text.append(line_, pos, n);
          pos += n;
          continue;
        }
        if (ch == '^') {
          if (pos + 1 == line_.size() && !Continue(error)) return false;
          if (pos + 1 >= line_.size()) {  // a caret at the very end of the file
            ++pos;
            continue;
          }
          const size_t m = Cp932CharLength(line_, pos + 1);
          text.append(line_, pos + 1, m);
          pos += 1 + m;
          continue;
        }
        if (ch == '&' || (ch == '|' && pos + 1 < line_.size() && line_[pos + 1] == '|')) {
          const bool twice = pos + 1 < line_.size() && line_[pos + 1] == ch;
          commands.push_back({op, Trimmed(text, quoted)});
          op = ch == '|' ? Op::Or : twice ? Op::And : Op::Seq;
          pos += twice ? 2 : 1;
          more = true;
          break;
        }
        if (ch == '|') return Fail(error, "a pipe is not modelled");
        if (ch == '<' || ch == '>') return Fail(error, "redirection is not modelled");
        text += ch;
        ++pos;
      }
      if (!more) {
        commands.push_back({op, Trimmed(text, quoted)});
        return true;
      }
      first = false;
    }
  }

  // The whole line, continuation lines joined.
  const std::string& Line() const { return line_; }

 private:
  static bool Fail(std::string& error, const char* why) {
    error = why;
    return false;
  }

  static std::string Trimmed(std::string text, bool quoted) {
    if (!quoted)
      while (!text.empty() && IsBlank(text.back())) text.pop_back();
    return text;
  }

  bool IsRem(size_t pos) const {
    if (line_.size() - pos < 3 || !Cp932EqualsNoCase(std::string_view(line_).substr(pos, 3), "rem"))
      return false;
    if (pos + 3 == line_.size()) return true;
    const char c = line_[pos + 3];
    return IsDelimiter(c) || c == '/' || c == '&' || c == '|' || c == '<' || c == '>';
  }

  // cmd reads one token after REM and ignores the rest of the line,
  // operators included. Only when that token ends the line with a caret
  // does the next line become part of the remark.
  bool ParseRem(size_t start, std::string& error) {
    size_t p = start + 3;
    while (p < line_.size() && IsDelimiter(line_[p])) ++p;
    bool quoted = false;
    while (p < line_.size()) {
      const size_t n = Cp932CharLength(line_, p);
      const char c = line_[p];
      if (n == 1 && c == '"') quoted = !quoted;
      if (n == 1 && !quoted && IsDelimiter(c)) break;
      if (n == 1 && !quoted && c == '^') {
        if (p + 1 == line_.size()) return Continue(error);
        p += 1 + Cp932CharLength(line_, p + 1);
        continue;
      }
      p += n;
    }
    return true;
  }

  // A caret ends the line: the next line is joined after it, so that the
  // caret takes the joined line's first character as it is.
  bool Continue(std::string& error) {
    std::string next;
    const int got = next_ ? next_(next, error) : 0;
    if (got < 0) return false;
    line_ += next;
    return true;
  }

  std::string line_;
  NextLine next_;
};

// ---- running a batch ---------------------------------------------------------

enum class Flow { Next, EndBatch, EndAll, Stop };

struct Result {
  Result(uint32_t code = 0, Flow next = Flow::Next, std::string why = "",
         bool setsErrorLevel = true)
      : Code(code), Next(next), Why(std::move(why)), SetsErrorLevel(setsErrorLevel) {}
  uint32_t Code;
  Flow Next;
  std::string Why;  // for Stop: why the line cannot run (empty: already logged)
  bool SetsErrorLevel;
};

Result StopWith(uint32_t code, std::string why) { return {code, Flow::Stop, std::move(why)}; }

Result RunFile(RunContext& context, const std::string& path, const std::string& invokedAs,
               const std::string& args, long& error);

class Batch {
 public:
  Batch(RunContext& context, std::string path, BatchParameters params)
      : context_(context), env_(context), path_(std::move(path)), params_(std::move(params)) {}

  Result Run(const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      lines_.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    if (!text.empty() && text.back() == '\n') lines_.pop_back();
    Result result;
    while (next_ < lines_.size() && result.Next == Flow::Next) {
      lineNumber_ = next_ + 1;
      raw_ = lines_[next_++];
      result = RunLine();
    }
    if (result.Next == Flow::Stop) return result;
    // A failure is not hidden by a later exit code of 0.
    result.Code = exitCode_ != 0 ? exitCode_ : firstFailure_;
    if (result.Next == Flow::EndBatch) result.Next = Flow::Next;
    return result;
  }

 private:
  bool Expand(std::string_view raw, std::string& out, std::string& error) {
    if (raw.find('\0') != std::string_view::npos) {
      error = "a NUL byte in the line";
      return false;
    }
    if (!ExpandBatchPercents(
            raw, params_,
            [this](const std::string& name, std::string& value) { return env_.Lookup(name, value); },
            out, error))
      return false;
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
    return true;
  }

  Result CannotRun(uint32_t code, const std::string& why) {
    std::string shown = raw_;
    shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
    Log(context_.Pc, "cannot run line " + std::to_string(lineNumber_) + " of " + path_ + ": \"" +
                         shown + "\": " + why);
    return {code, Flow::Stop, ""};
  }

  Result RunLine() {
    std::string expanded, error;
    if (!Expand(raw_, expanded, error)) return CannotRun(kExitCannotRun, error);
    LineParser parser(std::move(expanded), [this](std::string& line, std::string& err) {
      if (next_ >= lines_.size()) return 0;
      return Expand(lines_[next_++], line, err) ? 1 : -1;
    });
    std::vector<LineCommand> commands;
    if (!parser.Parse(commands, error)) return CannotRun(kExitCannotRun, error);
    const size_t limit =
        context_.Pc.WindowsNumber("major", 5) == 5 && context_.Pc.WindowsNumber("minor", 1) == 0
            ? 2047
            : 8191;
    if (parser.Line().size() > limit)
      return CannotRun(kExitCannotRun, "the line is longer than cmd's limit of " +
                                           std::to_string(limit) + " characters");

    // & binds loosest, then ||, then &&: a && b || c & d is ((a && b) || c) & d.
    size_t i = 0;
    while (i < commands.size()) {
      size_t groupEnd = i + 1;
      while (groupEnd < commands.size() && commands[groupEnd].Before != Op::Seq) ++groupEnd;
      size_t k = i;
      while (k < groupEnd) {
        size_t altEnd = k + 1;
        while (altEnd < groupEnd && commands[altEnd].Before != Op::Or) ++altEnd;
        bool ok = true;
        for (size_t c = k; c < altEnd && ok; ++c) {
          Result r = RunCommand(commands[c].Text, "");
          if (r.Next == Flow::Stop) return r.Why.empty() ? r : CannotRun(r.Code, r.Why);
          if (r.SetsErrorLevel) context_.ErrorLevel = r.Code;
          if (r.Code != 0 && firstFailure_ == 0) firstFailure_ = r.Code;
          if (r.Next != Flow::Next) {
            exitCode_ = r.Code;
            return r;
          }
          ok = r.Code == 0;
        }
        if (ok) break;
        k = altEnd;
      }
      i = groupEnd;
    }
    return {};
  }

  // Logs the command as it runs (`logAs`, when given, for the call line
  // that started it).
  void Ran() { Log(context_.Pc, kBatchCommandEvent + (logAs_.empty() ? text_ : logAs_)); }

  void Output(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
      if (!line.empty()) Log(context_.Pc, "batch output: " + line);
      start = end + 1;
    }
  }

  static void SplitCommand(const std::string& text, std::string& token, std::string& rest) {
    size_t p = 0;
    bool quoted = false;
    while (p < text.size()) {
      const size_t n = Cp932CharLength(text, p);
      const char c = text[p];
      if (n == 1 && c == '"') quoted = !quoted;
      if (n == 1 && !quoted && (IsDelimiter(c) || (c == '/' && p > 0))) break;
      p += n;
    }
    token = text.substr(0, p);
    rest = text.substr(p);
  }

  Result RunCommand(const std::string& text, const std::string& logAs) {
    text_ = text;
    logAs_ = logAs;
    std::string token, rest;
    SplitCommand(text, token, rest);
    const std::string upper = Upper(token);
    if (token.find('"') == std::string::npos) {
      if (upper == "REM") {
        Ran();
        return {0, Flow::Next, "", false};
      }
      if (upper == "CALL") return Call(token, rest);
      if (upper == "COPY") return Copy(rest);
      if (upper == "DEL" || upper == "ERASE") return Del(rest);
      if (upper == "EXIT") return Exit(rest);
      for (const char* name : kUnmodelledBuiltins)
        if (upper == name) return StopWith(kExitCannotRun, "cmd's " + token + " is not modelled");
      if (IsTool(upper, "NETSH")) return Netsh(rest);
      if (IsTool(upper, "NET")) return Net(rest);
      if (IsTool(upper, "RUNDLL32")) return Rundll32(rest);
    }
    return Program(token, rest);
  }

  // ---- commands ----

  Result Call(const std::string& token, const std::string& rest) {
    // CALL expands the % of its command once more.
    std::string again, error;
    if (!Expand(rest, again, error)) return StopWith(kExitCannotRun, error);
    const std::string inner = TrimLeft(again, IsDelimiter);
    if (inner.empty()) {
      Ran();
      return {0, Flow::Next, "", false};
    }
    if (inner[0] == ':') return StopWith(kExitCannotRun, "calling a label is not modelled");
    Result r = RunCommand(inner, token + again);
    if (r.Next == Flow::EndBatch) r.Next = Flow::Next;  // a called batch returns here
    return r;
  }

  Result Exit(const std::string& rest) {
    std::vector<std::string> words = Words(rest);
    bool batchOnly = false;
    if (!words.empty() && Cp932EqualsNoCase(words[0], "/B")) {
      batchOnly = true;
      words.erase(words.begin());
    }
    uint32_t code = context_.ErrorLevel;
    if (!words.empty() && !ParseDecimal(words[0], code))
      return StopWith(kExitCannotRun, "exit with a code that is not a number");
    Ran();
    return {code, batchOnly ? Flow::EndBatch : Flow::EndAll};
  }

  // Words of an internal command, split at delimiters outside quotes, the
  // quotes taken off; "+" outside quotes is a word of its own.
  static std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> words;
    size_t p = 0;
    while (p < s.size()) {
      while (p < s.size() && IsDelimiter(s[p])) ++p;
      if (p >= s.size()) break;
      std::string word;
      bool quoted = false;
      if (s[p] == '+') {
        words.push_back("+");
        ++p;
        continue;
      }
      while (p < s.size()) {
        const size_t n = Cp932CharLength(s, p);
        const char c = s[p];
        if (n == 1 && c == '"') {
          quoted = !quoted;
          ++p;
          continue;
        }
        if (n == 1 && !quoted && (IsDelimiter(c) || c == '+')) break;
        word.append(s, p, n);
        p += n;
      }
      words.push_back(word);
    }
    return words;
  }

  // Splits switches from names; false when a switch is not in `allowed`
  // (upper case) or a name has wildcards.
  static bool SwitchesAndNames(const std::vector<std::string>& words,
                               std::initializer_list<const char*> allowed,
                               std::vector<std::string>& names, std::string& error) {
    for (const auto& w : words) {
      if (!w.empty() && w[0] == '/') {
        bool known = false;
        for (const char* a : allowed) known = known || Upper(w) == a;
        if (!known) {
          error = "the switch " + w + " is not modelled";
          return false;
        }
      } else if (w == "+") {
        error = "joining files with + is not modelled";
        return false;
      } else if (HasWildcard(w)) {
        error = "wildcards are not modelled";
        return false;
      } else {
        names.push_back(w);
      }
    }
    return true;
  }

  Result Copy(const std::string& rest) {
    std::vector<std::string> names;
    std::string error;
    if (!SwitchesAndNames(Words(rest), {"/Y", "/-Y", "/B", "/V"}, names, error))
      return StopWith(kExitCannotRun, "copy: " + error);
    IFiles& files = context_.Pc.platform().files;
    if (!names.empty() && files.IsDirectory(ResolveWindowsPath(env_.Cwd(), names[0])))
      return StopWith(kExitCannotRun, "copy: copying a folder is not modelled");
    Ran();
    if (names.empty() || names.size() > 2) {
      Output("The syntax of the command is incorrect.");
      return {1};
    }
    const std::string from = ResolveWindowsPath(env_.Cwd(), names[0]);
    std::string to = names.size() == 2 ? ResolveWindowsPath(env_.Cwd(), names[1]) : env_.Cwd();
    if (!files.Exists(from)) {
      Output("The system cannot find the file specified.");
      return {1};
    }
    if (files.IsDirectory(to)) to = JoinPath(to, std::string(LastName(from)));
    std::filesystem::path hostFrom, hostTo;
    if (context_.Pc.MapPath(from, hostFrom) && context_.Pc.MapPath(to, hostTo) &&
        hostFrom == hostTo) {
      Output("The file cannot be copied onto itself.");
      return {1};
    }
    if (!files.CopyFile(from, to, false)) {
      Output("The system cannot find the path specified.");
      return {1};
    }
    Output("        1 file(s) copied.");
    return {0};
  }

  // A missing file is reported and is no failure: what del asks for holds.
  Result Del(const std::string& rest) {
    std::vector<std::string> names;
    std::string error;
    if (!SwitchesAndNames(Words(rest), {"/F", "/Q"}, names, error))
      return StopWith(kExitCannotRun, "del: " + error);
    IFiles& files = context_.Pc.platform().files;
    for (const auto& n : names)
      if (files.IsDirectory(ResolveWindowsPath(env_.Cwd(), n)))
        return StopWith(kExitCannotRun, "del: deleting the files of a folder is not modelled");
    Ran();
    if (names.empty()) {
      Output("The syntax of the command is incorrect.");
      return {1};
    }
    uint32_t code = 0;
    for (const auto& n : names) {
      const std::string target = ResolveWindowsPath(env_.Cwd(), n);
      long err = 0;
      if (!files.Exists(target)) {
        Output("Could Not Find " + target);
      } else if (!files.DeleteFile(target, &err)) {
        Output("Access is denied: " + target);
        code = 1;
      }
    }
    return {code, Flow::Next, "", code != 0};
  }

  Result Netsh(const std::string& rest) {
    if (!context_.Netsh) return StopWith(kExitCannotRun, "netsh is not modelled here");
    Ran();
    std::string output;
    const int code = context_.Netsh(SplitProgramArguments(rest), output);
    Output(output);
    return {static_cast<uint32_t>(code)};
  }

  // The net commands of the change batch, acting on the simulated PC's drive
  // connections and shares. A failure ends the command with 2, as net does.
  Result Net(const std::string& rest) {
    std::vector<std::string> args = SplitProgramArguments(rest);
    if (args.empty() || !(Cp932EqualsNoCase(args[0], "use") || Cp932EqualsNoCase(args[0], "share")))
      return StopWith(kExitCannotRun, "net " + (args.empty() ? std::string() : args[0]) +
                                          " is not modelled");
    const bool use = Cp932EqualsNoCase(args[0], "use");
    args.erase(args.begin());
    if (use)
      for (size_t i = 1; i < args.size(); ++i)
        if (args[i] == "*")
          return StopWith(kExitCannotRun,
                          "net use asks for the password (*) at the console, and nobody "
                          "answers a batch");
    Ran();
    std::string record, error;
    if (use ? NetUse(args, record, error) : NetShare(args, record, error)) {
      Log(context_.Pc, record);
      return {0};
    }
    Output(std::string(use ? "net use" : "net share") + ": " + error);
    return {2};
  }

  static bool IsUnc(const std::string& s) {
    if (s.size() < 5 || s[0] != '\\' || s[1] != '\\') return false;
    const size_t slash = Cp932Find(s, '\\', 2);
    return slash != std::string::npos && slash > 2 && slash + 1 < s.size() &&
           s[slash + 1] != '\\';
  }

  bool NetUse(const std::vector<std::string>& args, std::string& record, std::string& error) {
    std::vector<std::string> plain;
    std::string user;
    bool remove = false, yes = false;
    for (const auto& a : args) {
      const std::string u = Upper(a);
      if (u == "/DELETE") remove = true;
      else if (u == "/YES") yes = true;
      else if (u.rfind("/USER:", 0) == 0 && a.size() > 6) user = a.substr(6);
      else if (!a.empty() && a[0] == '/') return (error = "unknown switch " + a), false;
      else plain.push_back(a);
    }
    if (remove) {
      if (plain.size() != 1 || plain[0] != "*" || !user.empty())
        return (error = "only \"net use * /delete /yes\" is modelled for /delete"), false;
      if (!yes)
        return (error = "without /yes net use asks for confirmation, and nobody answers a batch"),
               false;
      INetworkDrives& drives = context_.Pc.platform().drives;
      std::vector<DriveConnection> connected;
      if (const long e = drives.EnumConnected(connected); e != 0)
        return (error = "System error " + std::to_string(e)), false;
      for (const DriveConnection& c : connected)
        if (!c.LocalName.empty()) drives.CancelConnection(c.LocalName);
      record = "net use: disconnected every network drive";
      return true;
    }
    size_t p = 0;
    std::string local;
    if (!plain.empty() && !IsUnc(plain[0])) local = plain[p++];
    if (!local.empty() && local != "*" &&
        !(local.size() == 2 && local[1] == ':' && Upper(local)[0] >= 'A' && Upper(local)[0] <= 'Z') &&
        !(local.size() == 5 && Cp932EqualsNoCase(local.substr(0, 3), "LPT") && local[3] >= '1' &&
          local[3] <= '9' && local[4] == ':'))
      return (error = "the local name " + local + " is not a drive letter or LPT port"), false;
    if (p >= plain.size() || !IsUnc(plain[p]))
      return (error = "no remote name of the form \\\\server\\share"), false;
    const std::string remote = plain[p++];
    const bool password = p < plain.size();
    const std::string secret = password ? plain[p++] : std::string();
    if (p < plain.size()) return (error = "too many names: " + plain[p]), false;
    if (yes) return (error = "/yes belongs to /delete"), false;
    if (local == "*") return (error = "the next free drive letter is not modelled"), false;
    if (const long e = context_.Pc.platform().drives.AddConnection(local, remote, user, secret);
        e != 0)
      return (error = "System error " + std::to_string(e) + " connecting " + remote), false;
    record = "net use: connected " + (local.empty() ? std::string("(no device)") : local) +
             " to " + remote + (user.empty() ? "" : ", user " + user) +
             (password ? ", with a password" : "");
    return true;
  }

  bool NetShare(const std::vector<std::string>& args, std::string& record, std::string& error) {
    std::string name, path, users, remark;
    bool hasRemark = false;
    for (const auto& a : args) {
      const std::string u = Upper(a);
      uint32_t n = 0;
      if (u == "/UNLIMITED" && users.empty()) {
        users = "unlimited";
      } else if ((u.rfind("/USERS:", 0) == 0 || u.rfind("/USER:", 0) == 0) && users.empty()) {
        if (!ParseDecimal(a.substr(a.find(':') + 1), n) || n == 0)
          return (error = "the number of users in " + a + " is not a positive number"), false;
        users = std::to_string(n);
      } else if (u.rfind("/REMARK:", 0) == 0 && !hasRemark) {
        hasRemark = true;
        remark = a.substr(8);
      } else if (!a.empty() && a[0] == '/') {
        return (error = "unknown or repeated switch " + a), false;
      } else if (name.empty() && path.empty()) {
        const size_t eq = a.find('=');  // '=' is never a trail byte
        if (eq == std::string::npos) return (error = "not of the form NAME=PATH: " + a), false;
        name = a.substr(0, eq);
        path = a.substr(eq + 1);
      } else {
        return (error = "unexpected " + a + " (a name or path with a blank must be quoted)"), false;
      }
    }
    if (name.empty() || path.empty()) return (error = "not of the form NAME=PATH"), false;
    for (size_t p = 0; p < name.size(); p += Cp932CharLength(name, p))
      if (Cp932CharLength(name, p) == 1 &&
          std::string_view("\\/[]:|<>+;,?*\"").find(name[p]) != std::string_view::npos)
        return (error = "the share name " + name + " holds a character shares cannot have"), false;
    if (!context_.Pc.platform().files.IsDirectory(path))
      return (error = "the folder " + path + " does not exist"), false;
    ShareInfo share;
    share.Name = name;
    share.Path = path;
    share.Remark = remark;
    share.MaxUses = users.empty() || users == "unlimited" ? -1 : std::stoi(users);
    if (const long e = context_.Pc.platform().shares.AddShare(share); e != 0)
      return (error = "System error " + std::to_string(e) + " sharing " + name), false;
    record = "net share: shared " + name + " = " + path + ", users " +
             (users.empty() ? std::string("(default)") : users) +
             (hasRemark ? ", remark \"" + remark + "\"" : "");
    return true;
  }

  // The default printer line of the change batch.
  Result Rundll32(const std::string& rest) {
    const std::vector<std::string> args = SplitProgramArguments(rest);
    if (args.empty() || !Cp932EqualsNoCase(args[0], "printui.dll,PrintUIEntry"))
      return StopWith(kExitCannotRun, "rundll32 " + (args.empty() ? std::string() : args[0]) +
                                          " is not modelled");
    Ran();
    if (args.size() != 4 || !Cp932EqualsNoCase(args[1], "/y") ||
        !Cp932EqualsNoCase(args[2], "/n") || args[3].empty()) {
      Output("PrintUIEntry: only /y /n \"printer\" is modelled");
      return {1};
    }
    long error = 0;
    if (!context_.Pc.platform().printers.SetDefault(args[3], error)) {
      Output("PrintUIEntry: the printer \"" + args[3] + "\" cannot be made the default (error " +
             std::to_string(error) + ")");
      return {1};
    }
    Log(context_.Pc, "PrintUIEntry: default printer \"" + args[3] + "\"");
    return {0};
  }

  // A program file, found as cmd finds it: the name as given when it has an
  // extension, else with .COM .EXE .BAT .CMD; in the current directory and
  // then along PATH unless the name has a path.
  bool FindForCmd(const std::string& name, std::string& path) const {
    if (name.empty()) return false;
    IFiles& files = context_.Pc.platform().files;
    std::vector<std::string> dirs;
    std::string_view last = LastName(name);
    const bool hasPath = last.size() != name.size();
    if (hasPath) dirs.push_back("");
    else {
      dirs.push_back(env_.Cwd());
      for (const auto& d : env_.PathDirectories()) dirs.push_back(d);
    }
    std::vector<std::string> exts = {""};
    if (Extension(name).empty()) exts = {".COM", ".EXE", ".BAT", ".CMD"};
    for (const auto& dir : dirs)
      for (const auto& ext : exts) {
        const std::string candidate =
            hasPath ? ResolveWindowsPath(env_.Cwd(), name + ext) : JoinPath(dir, name + ext);
        if (files.Exists(candidate) && !files.IsDirectory(candidate)) {
          path = candidate;
          return true;
        }
      }
    return false;
  }

  Result Program(const std::string& token, const std::string& rest) {
    const std::string name = WithoutQuotes(token);
    std::string path;
    if (!FindForCmd(name, path))
      return StopWith(kExitUnknownCommand,
                      "'" + name + "' is not a program or command of the simulated PC");
    const std::string ext = Extension(path);
    if (ext != ".EXE" && ext != ".COM" && ext != ".BAT" && ext != ".CMD")
      return StopWith(kExitCannotRun, "opening " + path + " with its file type is not modelled");
    Ran();
    long error = 0;
    Result r = RunFile(context_, path, token, rest, error);
    if (error != 0) {
      Output("cannot run " + path + " (error " + std::to_string(error) + ")");
      return {1};
    }
    // A batch started without CALL does not come back to this one.
    if ((ext == ".BAT" || ext == ".CMD") && r.Next == Flow::Next) r.Next = Flow::EndBatch;
    return r;
  }

  RunContext& context_;
  Environment env_;
  std::string path_;
  BatchParameters params_;
  std::vector<std::string> lines_;
  size_t next_ = 0;
  size_t lineNumber_ = 0;
  std::string raw_;
  std::string text_, logAs_;
  uint32_t firstFailure_ = 0;
  uint32_t exitCode_ = 0;
};

Result RunFile(RunContext& context, const std::string& path, const std::string& invokedAs,
               const std::string& args, long& error) {
  error = 0;
  const std::string ext = Extension(path);
  const std::string how =
      context.Depth == 0 ? (context.Hidden ? "hidden" : "visible") : "from a batch";
  const std::string shownArgs = TrimLeft(args, IsBlank);
  if (ext == ".EXE" || ext == ".COM") {
    uint32_t code = 0;
    if (RunCompanionStandIn(context.Pc, path, args, code)) return {code};
    Log(context.Pc, "program started (" + how + "): " + path +
                        (shownArgs.empty() ? "; no arguments" : "; arguments: " + shownArgs));
    return {0};
  }
  if (ext != ".BAT" && ext != ".CMD") {
    error = kErrorBadExeFormat;
    return {};
  }
  std::string text;
  if (!context.Pc.platform().files.ReadFile(path, text)) {
    error = kErrorAccessDenied;
    return {};
  }
  if (context.Depth >= kMaxBatchDepth) {
    Log(context.Pc, "batch not run: batch files call each other more than " +
                        std::to_string(kMaxBatchDepth) + " deep: " + path);
    return {kExitCannotRun, Flow::Stop};
  }
  Log(context.Pc, "batch started (" + how + "): " + path +
                      (shownArgs.empty() ? "" : "; arguments: " + shownArgs));
  ++context.Depth;
  Result r = Batch(context, path, SplitBatchParameters(invokedAs, args)).Run(text);
  --context.Depth;
  Log(context.Pc, (r.Next == Flow::Stop ? "batch stopped with exit code " : "batch ended with exit code ") +
                      std::to_string(r.Code) + ": " + path);
  return r;
}

}  // namespace

std::vector<std::string> SplitProgramArguments(std::string_view s) {
  std::vector<std::string> out;
  size_t p = 0;
  for (;;) {
    while (p < s.size() && IsBlank(s[p])) ++p;
    if (p >= s.size()) break;
    std::string arg;
    bool quoted = false;
    for (;;) {
      bool copy = true;
      size_t slashes = 0;
      while (p < s.size() && s[p] == '\\') {
        ++p;
        ++slashes;
      }
      if (p < s.size() && s[p] == '"') {
        if (slashes % 2 == 0) {
          if (quoted && p + 1 < s.size() && s[p + 1] == '"') ++p;  // "" gives one quote
          else copy = false;
          quoted = !quoted;
        }
        slashes /= 2;
      }
      arg.append(slashes, '\\');
      if (p >= s.size() || (!quoted && IsBlank(s[p]))) break;
      const size_t n = copy ? Cp932CharLength(s, p) : 1;
      if (copy) arg.append(s.substr(p, n));
      p += n;
    }
    out.push_back(arg);
  }
  return out;
}

bool ExpandBatchPercents(std::string_view line, const BatchParameters& params,
                         const std::function<bool(const std::string&, std::string&)>& lookup,
                         std::string& out, std::string& error) {
  auto param = [&](char digit) {
    const size_t i = static_cast<size_t>(digit - '0');
    return i < params.Items.size() ? params.Items[i] : std::string();
  };
  out.clear();
  size_t p = 0;
  while (p < line.size()) {
    const size_t n = Cp932CharLength(line, p);
    if (n == 2 || line[p] != '%') {
      out.append(line.substr(p, n));
      p += n;
      continue;
    }
    if (p + 1 >= line.size()) break;  // a lone % at the end is dropped
    const char d = line[p + 1];
    if (d == '%') {
      out += '%';
      p += 2;
    } else if (d == '*') {
      out += params.All;
      p += 2;
    } else if (d >= '0' && d <= '9') {
      out += param(d);
      p += 2;
    } else if (d == '~') {
      if (p + 2 >= line.size() || line[p + 2] < '0' || line[p + 2] > '9') {
        error = "the %~ modifiers of batch parameters are not modelled";
        return false;
      }
      std::string v = param(line[p + 2]);
      if (!v.empty() && v.front() == '"') v.erase(0, 1);
      if (!v.empty() && v.back() == '"') v.pop_back();
      out += v;
      p += 3;
    } else {
      size_t q = p + 1;
      while (q < line.size() && line[q] != '%' && line[q] != ':') q += Cp932CharLength(line, q);
      if (q + 1 < line.size() && line[q] == ':' && line[q + 1] == '%') ++q;  // "%NAME:%"
      if (q >= line.size()) {  // no closing %: this one is dropped
        ++p;
        continue;
      }
      const std::string name(line.substr(p + 1, q - p - 1));
      std::string value;
      const bool defined = lookup(name, value);
      if (line[q] == '%') {
        out += value;  // an undefined variable gives nothing
      } else if (defined) {
        error = "the substitution %" + name + ":...% is not modelled";
        return false;
      }  // else "%NAME:" of an undefined variable is removed
      p = q + 1;
    }
  }
  return true;
}

uint32_t RunProgramFile(RunContext& context, const std::string& path,
                        const std::string& invokedAs, const std::string& args, long& error) {
  return RunFile(context, path, invokedAs, args, error).Code;
}

std::vector<std::pair<std::string, std::string>> ProcessEnvironment(SimulatedPc& pc) {
  const std::string root = Utf8ToCp932(pc.Machine().Get("windows", "system_root", "C:\\WINDOWS"));
  std::string computer, user;
  pc.platform().system.GetComputerName(computer);
  pc.platform().system.GetUserName(user);
  std::vector<std::pair<std::string, std::string>> vars = {
      {"COMPUTERNAME", computer},
      {"ComSpec", root + "\\system32\\cmd.exe"},
      {"OS", "Windows_NT"},
      {"Path", root + "\\system32;" + root + ";" + root + "\\System32\\Wbem"},
      {"PATHEXT", ".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH"},
      {"SystemDrive", root.substr(0, 2)},
      {"SystemRoot", root},
      {"USERNAME", user},
      {"windir", root},
  };
  if (const StateFile::Section* s = pc.Machine().Find("environment")) {
    for (const auto& e : s->Entries) {
      const std::string name = Utf8ToCp932(e.Key), value = Utf8ToCp932(e.Value);
      auto it = std::find_if(vars.begin(), vars.end(),
                             [&](const auto& v) { return Cp932EqualsNoCase(v.first, name); });
      if (it == vars.end()) vars.emplace_back(name, value);
      else it->second = value;
    }
  }
  return vars;
}

std::vector<std::string> PathDirectories(SimulatedPc& pc) {
  for (const auto& [name, value] : ProcessEnvironment(pc))
    if (Cp932EqualsNoCase(name, "PATH")) return SplitPathList(value);
  return {};
}

std::string ProcessCurrentDirectory(SimulatedPc& pc) {
  const std::string exe = pc.platform().system.ModuleFileName();
  const size_t slash = Cp932FindLast(exe, '\\');
  if (slash == std::string::npos) return "C:\\";
  return slash <= 2 ? exe.substr(0, slash + 1) : exe.substr(0, slash);
}

std::string ResolveWindowsPath(const std::string& cwd, const std::string& path) {
  auto isSep = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && path[1] == ':') {
    if (path.size() >= 3 && isSep(path[2])) return path;
    // "X:name" is relative to the current directory of drive X: ours, or its root.
    if (!cwd.empty() && Cp932EqualsNoCase(cwd.substr(0, 1), path.substr(0, 1)))
      return JoinPath(cwd, path.substr(2));
    return path.substr(0, 2) + "\\" + path.substr(2);
  }
  if (!path.empty() && isSep(path[0])) {
    if (path.size() >= 2 && isSep(path[1])) return path;  // UNC
    return cwd.substr(0, 2) + path;
  }
  return JoinPath(cwd, path);
}

}  // namespace velandra::platform::sim
