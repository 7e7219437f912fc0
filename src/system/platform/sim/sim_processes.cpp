#include "system/platform/sim/sim_processes.h"

#include <filesystem>

#include "system/platform/sim/sim_netsh.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

// A process that has ended by the time CreateProcess returns.
class SimProcess : public IProcess {
 public:
  explicit SimProcess(uint32_t code) : code_(code) {}
  void WaitForInputIdle() override {}
  bool Wait(uint32_t) override { return true; }
  uint32_t ExitCode() override { return code_; }

 private:
  uint32_t code_;
};

bool HasPath(std::string_view name) {
  return Cp932Find(name, '\\') != std::string_view::npos ||
         name.find('/') != std::string_view::npos || name.find(':') != std::string_view::npos;
}

// SearchPath's rule: ".exe" is added when the last name has no dot.
std::string WithDefaultExtension(const std::string& name) {
  size_t start = 0;
  for (size_t p = 0; p < name.size(); p += Cp932CharLength(name, p))
    if (name[p] == '\\' || name[p] == '/' || name[p] == ':') start = p + 1;
  return name.find('.', start) == std::string::npos ? name + ".exe" : name;
}

std::string ParentOf(const std::string& path) {
  const size_t slash = Cp932FindLast(path, '\\');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// 0 when `name` names a program file; else the error of the search.
long Search(SimulatedPc& pc, const std::string& name, std::string& path) {
  IFiles& files = pc.platform().files;
  const std::string cwd = ProcessCurrentDirectory(pc);
  const std::string file = WithDefaultExtension(name);
  auto isFile = [&](const std::string& p) { return files.Exists(p) && !files.IsDirectory(p); };
  if (HasPath(name)) {
    const std::string full = ResolveWindowsPath(cwd, file);
    if (isFile(full)) {
      path = full;
      return 0;
    }
    return files.IsDirectory(ParentOf(full)) ? kErrorFileNotFound : kErrorPathNotFound;
  }
  // The executable's folder, which is the current directory too, then
  // system32, system, the Windows folder and PATH.
  const std::string system32 = pc.platform().system.SystemDirectory();
  const std::string root = ParentOf(system32);
  std::vector<std::string> dirs = {cwd, system32, root + "system", root};
  for (const auto& dir : PathDirectories(pc)) dirs.push_back(dir);
  for (std::string dir : dirs) {
    if (dir.empty()) continue;
    const size_t last = Cp932FindLast(dir, '\\');
    if (last == std::string::npos || last + 1 != dir.size()) dir += '\\';
    if (isFile(dir + file)) {
      path = dir + file;
      return 0;
    }
  }
  return kErrorFileNotFound;
}

}  // namespace

long FindProgram(SimulatedPc& pc, const std::string& commandLine, FoundProgram& found) {
  size_t start = 0;
  while (start < commandLine.size() && IsBlank(commandLine[start])) ++start;
  const std::string line = commandLine.substr(start);
  if (line.empty()) return kErrorFileNotFound;
  std::string path;
  if (line[0] == '"') {
    size_t close = Cp932Find(line, '"', 1);
    if (close == std::string::npos) close = line.size();
    const long error = Search(pc, line.substr(1, close - 1), path);
    if (error != 0) return error;
    const size_t end = std::min(close + 1, line.size());
    found = {path, line.substr(0, end), line.substr(end)};
    return 0;
  }
  // Unquoted: "C:\Program Files\x.bat" is tried as "C:\Program.exe" first.
  long error = kErrorFileNotFound;
  for (size_t p = 0;; p += Cp932CharLength(line, p)) {
    if (p < line.size() && !IsBlank(line[p])) continue;
    error = Search(pc, line.substr(0, p), path);
    if (error == 0) {
      found = {path, line.substr(0, p), line.substr(p)};
      return 0;
    }
    if (p >= line.size()) return error;
  }
}

SimProcesses::SimProcesses(SimulatedPc& pc)
    : pc_(pc), netsh_([&pc](const std::vector<std::string>& args, std::string& output) {
        return RunNetsh(pc, args, output);
      }) {}

std::unique_ptr<IProcess> SimProcesses::Create(const std::string& commandLine, bool hidden,
                                               long& error) {
  FoundProgram found;
  error = FindProgram(pc_, commandLine, found);
  if (error == 0) {
    RunContext context{pc_, netsh_, hidden};
    const uint32_t code = RunProgramFile(context, found.Path, found.InvokedAs, found.Arguments, error);
    if (error == 0) return std::make_unique<SimProcess>(code);
  }
  pc_.LogEvent("process not created (error " + std::to_string(error) + "): " +
               Cp932ToUtf8(commandLine));
  return nullptr;
}

}  // namespace velandra::platform::sim
