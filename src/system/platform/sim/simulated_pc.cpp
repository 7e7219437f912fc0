#include "system/platform/sim/sim_network_drives.h"
#include "system/platform/sim/sim_printers.h"
#include "system/platform/sim/sim_domain.h"
#include "system/platform/sim/sim_shares.h"
#include "system/platform/sim/simulated_pc.h"

#include <fstream>
#include <iostream>
#include <system_error>

#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_backends.h"
#include "system/platform/sim/sim_processes.h"
#include "system/platform/sim/sim_profile.h"
#include "system/platform/sim/sim_registry.h"
#include "system/platform/sim/sim_session.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

struct SimulatedPc::Backends {
  explicit Backends(SimulatedPc& pc)
      : system(pc), accounts(pc), files(pc, accounts), shell(pc), messages(pc), processes(pc), session(pc),
        drives(pc), printers(pc), shares(pc), domain(pc) {}
  SimSystemInfo system;
  SimAccounts accounts;
  SimFiles files;
  SimShell shell;
  SimMessages messages;
  SimProcesses processes;
  SimSession session;
  SimNetworkDrives drives;
  SimPrinters printers;
  SimShares shares;
  SimDomain domain;
};

namespace {

constexpr char kMachineHeader[] =
    "# A simulated Windows PC (see docs/simulated-pc.md). Velandra rewrites\n"
    "# this file when the PC's state changes.\n";
constexpr char kSecurityHeader[] =
    "# Access-allowed entries added to files of the simulated PC:\n"
    "# [Windows path] then allow = ACCOUNT MASK, in the order they were added.\n";

bool ParseNumber(const std::string& text, uint32_t& value) {
  if (text.empty()) return false;
  int base = 10;
  size_t pos = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    pos = 2;
  }
  uint64_t v = 0;
  for (; pos < text.size(); ++pos) {
    char c = text[pos];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFull) return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

constexpr const char* kNumericWindowsKeys[] = {
    "major", "minor", "build", "platform_id", "service_pack_major",
    "suite_mask", "product_type"};

// Checks what the backends will read, so that a typing error in pc.ini is
// reported with its line at start rather than misread later.
bool CheckMachine(const StateFile& m, std::string& error) {
  const StateFile::Section* w = m.Find("windows");
  if (!w) {
    error = m.Name() + ": the section [windows] is missing";
    return false;
  }
  for (const auto& e : w->Entries) {
    for (const char* key : kNumericWindowsKeys) {
      uint32_t v;
      if (Cp932EqualsNoCase(e.Key, key) && !ParseNumber(e.Value, v)) {
        error = m.Name() + " line " + std::to_string(e.Line) + ": " + e.Key +
                " must be a number (decimal or 0x hex): " + e.Value;
        return false;
      }
    }
  }
  if (const StateFile::Entry* e = m.Find("session", "exit_request");
      e && !ExitRequestFlags(e->Value)) {
    error = m.Name() + " line " + std::to_string(e->Line) +
            ": exit_request must be log off, shut down, restart or power off: " + e->Value;
    return false;
  }
  if (const StateFile::Entry* e = m.Find("session", "failing")) {
    if (auto unknown = UnknownSessionStep(e->Value)) {
      error = m.Name() + " line " + std::to_string(e->Line) + ": failing names an unknown step \"" +
              *unknown + "\" (open token, lookup privilege, adjust token, exit, impersonate, revert)";
      return false;
    }
  }
  if (!CheckDomainState(m, error)) return false;
  if (const StateFile::Section* v = m.Find("volumes")) {
    for (const auto& e : v->Entries) {
      char d = e.Key.size() == 1 ? e.Key[0] : 0;
      if (!((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z'))) {
        error = m.Name() + " line " + std::to_string(e.Line) +
                ": a volume is named by its drive letter: " + e.Key;
        return false;
      }
    }
  }
  return true;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::unique_ptr<SimulatedPc> SimulatedPc::Open(const std::filesystem::path& dir,
                                               std::string& error) {
  std::unique_ptr<SimulatedPc> pc(new SimulatedPc());
  pc->dir_ = dir;
  pc->console_ = &std::cout;
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    error = HostPathToUtf8(dir) + ": no such simulated PC directory";
    return nullptr;
  }
  if (!pc->machine_.Load(dir / kMachineFile, true, error) ||
      !CheckMachine(pc->machine_, error) ||
      !pc->users_.Load(dir / kUsersFile, false, error) ||
      !pc->security_.Load(dir / kSecurityFile, false, error))
    return nullptr;
  pc->registry_ = std::make_unique<SimRegistry>();
  if (!pc->registry_->LoadFile(dir / kRegistryFile, error)) return nullptr;
  SimulatedPc* self = pc.get();
  pc->profile_ = std::make_unique<SimProfile>(
      [self](const std::string& path, std::filesystem::path& host) {
        return self->MapPath(path, host);
      });
  pc->backends_ = std::make_unique<Backends>(*pc);
  pc->platform_.reset(new Platform{*pc->profile_, *pc->registry_,
                                   pc->backends_->system, pc->backends_->accounts,
                                   pc->backends_->files, pc->backends_->shell,
                                   pc->backends_->messages, pc->backends_->processes,
                                   pc->backends_->session, pc->backends_->drives,
                                   pc->backends_->printers, pc->backends_->shares,
                                   pc->backends_->domain});
  return pc;
}

SimulatedPc::~SimulatedPc() = default;

std::string SimulatedPc::CurrentUser() const {
  if (!process_.Impersonating.empty()) return process_.Impersonating;
  return machine_.Get("session", "user");
}

uint32_t SimulatedPc::WindowsNumber(const char* key, uint32_t def) const {
  const StateFile::Entry* e = machine_.Find("windows", key);
  uint32_t v = def;
  if (e && ParseNumber(e->Value, v)) return v;
  return def;
}

void SimulatedPc::LogEvent(const std::string& utf8) {
  events_.push_back(utf8);
  std::ofstream log(dir_ / kEventsFile, std::ios::binary | std::ios::app);
  log << utf8 << "\n";
}

bool SimulatedPc::SaveMachine() {
  return machine_.Save(dir_ / kMachineFile, kMachineHeader);
}

bool SimulatedPc::SaveSecurity() {
  return security_.Save(dir_ / kSecurityFile, kSecurityHeader);
}

bool SimulatedPc::MapPath(const std::string& windowsPath,
                          std::filesystem::path& host) const {
  // Only absolute paths on a drive of the PC: "X:\..." (or "X:" alone).
  if (windowsPath.size() < 2 || windowsPath[1] != ':') return false;
  char drive = windowsPath[0];
  if (drive >= 'a' && drive <= 'z') drive = static_cast<char>(drive - 'a' + 'A');
  if (drive < 'A' || drive > 'Z' || !machine_.Find("volumes", std::string(1, drive)))
    return false;
  std::string_view rest = std::string_view(windowsPath).substr(2);
  if (!rest.empty() && !IsSeparator(rest[0])) return false;  // drive-relative

  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos < rest.size()) {
    size_t end = pos;
    while (end < rest.size() && !IsSeparator(rest[end])) {
      size_t n = Cp932CharLength(rest, end);
      if (n == 1) {
        unsigned char c = static_cast<unsigned char>(rest[end]);
        if (c < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) !=
                            std::string_view::npos)
          return false;
      }
      end += n;
    }
    std::string part(rest.substr(pos, end - pos));
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();  // never above the drive root
      continue;
    }
    // Windows drops trailing dots and blanks of a name.
    // (Neither byte can be a CP932 trail byte.)
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (part.empty()) continue;
    parts.push_back(part);
  }

  std::filesystem::path current = dir_ / std::string(1, drive);
  std::error_code ec;
  for (const auto& part : parts) {
    bool ok = true;
    std::string utf8 = Cp932ToUtf8(part, &ok);
    if (!ok) return false;
    std::filesystem::path next = current / HostPathFromUtf8(utf8);
    // Windows names are case-insensitive: take an existing entry's spelling.
    if (!std::filesystem::exists(next, ec) && std::filesystem::is_directory(current, ec)) {
      for (const auto& entry : std::filesystem::directory_iterator(current, ec)) {
        std::string name = HostPathToUtf8(entry.path().filename());
        if (Cp932EqualsNoCase(Utf8ToCp932(name), part)) {
          next = entry.path();
          break;
        }
      }
    }
    current = next;
  }
  host = current;
  return true;
}

}  // namespace velandra::platform::sim
