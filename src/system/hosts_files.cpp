#include "system/hosts_files.h"

#include <memory>
#include <vector>

#include "system/platform/text.h"
#include "system/platform/win_types.h"
#include "system/utilities.h"

namespace velandra {

namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageOwner;

void Show(platform::Platform& platform, const std::string& text, MessageIcon icon) {
  platform.messages.Show(MessageOwner::MainWindow, text, kCaption, icon, MessageButtons::Ok);
}

std::string EtcPath(platform::ISystemInfo& system, const std::string& name) {
  const std::string dir = system.SystemDirectory();
  if (dir.empty()) return {};
  return dir + "\\drivers\\etc\\" + name;
}

// Lines as the C library's text mode reads them: CR LF counts as LF, the
// line end is not part of the line, a last line without one still counts.
std::vector<std::string> TextLines(const std::string& data) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string line = data.substr(start, end - start);
    if (end < data.size() && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool IsReservedDeviceName(const std::string& name) {
  // The device is named by the part before the first dot, blanks after it
  // ignored ("CON .txt" is the console too).
  size_t dot = platform::Cp932Find(name, '.');
  std::string base = name.substr(0, dot);
  while (!base.empty() && base.back() == ' ') base.pop_back();
  base = platform::Cp932ToUpperAscii(base);
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* device : kDevices)
    if (base == device) return true;
  return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

const char* KindText(HostsKind kind) { return kind == HostsKind::Hosts ? "hosts" : "lmhosts"; }

std::string RefusedNameMessage(const std::string& placeName, const std::string& reason,
                               const std::string& consequence) {
  return "接続場所「" + placeName + "」の名前はファイル名に使えません(" + reason + ")。" +
         consequence;
}

}  // namespace

const char* HostsFileName(HostsKind kind) { return KindText(kind); }

std::string SystemHostsPath(platform::ISystemInfo& system, HostsKind kind) {
  return EtcPath(system, KindText(kind));
}

std::string SystemHostsSamplePath(platform::ISystemInfo& system, HostsKind kind) {
  return EtcPath(system, std::string(KindText(kind)) + ".sam");
}

std::string PlaceNameFileProblem(const std::string& placeName) {
  if (placeName.empty()) return "名前が空です";
  for (size_t pos = 0; pos < placeName.size();) {
    const size_t n = platform::Cp932CharLength(placeName, pos);
    const unsigned char c = static_cast<unsigned char>(placeName[pos]);
    if (n == 1) {
      if (platform::IsCp932LeadByte(c)) return "途中で切れた全角文字があります";
      if (c < 0x20 || c == 0x7F) return "制御文字を含んでいます";
      static const char kForbidden[] = "\\/:*?\"<>|";
      for (const char* f = kForbidden; *f; ++f)
        if (static_cast<char>(c) == *f)
          return std::string("使えない文字「") + *f + "」を含んでいます";
      if (c == '.' && pos + 1 < placeName.size() && placeName[pos + 1] == '.')
        return "「..」を含んでいます";
    }
    pos += n;
  }
  const char last = placeName.back();
  // Windows drops a trailing dot or blank from a file name; neither byte can
  // be a trail byte (0x40 and above).
  if (last == '.' || last == ' ') return "末尾がピリオドか空白です";
  if (IsReservedDeviceName(placeName)) return "装置名と同じ名前です";
  return {};
}

namespace {

// The reason the default variant cannot be made, empty when `path` is set.
std::string VariantPathProblem(platform::ISystemInfo& system, HostsKind kind,
                               const std::string& placeName, std::string& path) {
  std::string reason = PlaceNameFileProblem(placeName);
  if (!reason.empty()) return reason;
  path = GetExeDirectory(system) + "\\" + KindText(kind) + "." + placeName;
  if (path.size() > config::kMaxHostsPath)
    return "プログラムのフォルダーと合わせたパスが長すぎます";
  return {};
}

}  // namespace

bool DefaultVariantPath(platform::ISystemInfo& system, HostsKind kind,
                        const std::string& placeName, std::string& path,
                        std::string& problem) {
  std::string candidate;
  const std::string reason = VariantPathProblem(system, kind, placeName, candidate);
  if (!reason.empty()) {
    problem = RefusedNameMessage(placeName, reason,
                                 std::string(KindText(kind)) + "ファイルを作成しません");
    return false;
  }
  path = std::move(candidate);
  return true;
}

bool CopyWholeFile(platform::IFiles& files, const std::string& from, const std::string& to) {
  std::string data;
  return !from.empty() && !to.empty() && files.ReadFile(from, data) &&
         files.WriteFile(to, data);
}

void SnapshotHostsFiles(platform::Platform& platform, const std::string& placeName,
                        config::HostsFiles& files) {
  files.HOSTS.clear();
  files.LMHOSTS.clear();
  if (platform.system.SystemDirectory().empty()) return;
  bool refusalShown = false;
  for (HostsKind kind : {HostsKind::Hosts, HostsKind::Lmhosts}) {
    std::string& field = kind == HostsKind::Hosts ? files.HOSTS : files.LMHOSTS;
    const std::string system = SystemHostsPath(platform.system, kind);
    if (!platform.files.Exists(system)) continue;
    std::string path;
    const std::string reason = VariantPathProblem(platform.system, kind, placeName, path);
    if (!reason.empty()) {
      // One message for both files: the reason is the same.
      if (!refusalShown)
        Show(platform,
             RefusedNameMessage(placeName, reason,
                                "hostsファイルとlmhostsファイルの控えを作成しませんでした"),
             MessageIcon::Warning);
      refusalShown = true;
      continue;
    }
    if (CopyWholeFile(platform.files, system, path)) {
      field = path;
    } else {
      Show(platform, system + " を " + path + " にコピーできませんでした", MessageIcon::Warning);
    }
  }
}

bool CreateHostsVariant(platform::Platform& platform, HostsKind kind,
                        const std::string& placeName, std::string& path) {
  std::string target = path;
  if (target.empty()) {
    std::string problem;
    if (!DefaultVariantPath(platform.system, kind, placeName, target, problem)) {
      Show(platform, problem, MessageIcon::Warning);
      return false;
    }
  }
  path = target;
  const bool hosts = kind == HostsKind::Hosts;
  for (const std::string& source : {SystemHostsPath(platform.system, kind),
                                    SystemHostsSamplePath(platform.system, kind)}) {
    std::string data;
    if (source.empty() || !platform.files.ReadFile(source, data)) continue;
    // The source is there: a failed write is not "not found".
    if (!platform.files.WriteFile(target, data)) {
      Show(platform, source + " を " + target + " にコピーできませんでした", MessageIcon::Warning);
      return false;
    }
    Show(platform,
         source + (hosts ? " からhostsファイルをコピーしました"
                         : " からlmhostsファイルをコピーしました"),
         MessageIcon::Information);
    return true;
  }
  Show(platform,
       hosts ? "元のHOSTS、またはHOSTS.SAMが見つかりませんでした。空のファイルを作成します"
             : "元のLMHOSTS、またはLMHOSTS.SAMが見つかりませんでした。空のファイルを作成します",
       MessageIcon::Warning);
  if (platform.files.WriteFile(target, std::string())) return true;
  Show(platform, target + " を作成できませんでした", MessageIcon::Warning);
  return false;
}

bool EditHostsVariant(platform::Platform& platform, HostsKind kind, const std::string& editor,
                      const std::string& path) {
  if (path.empty()) {
    Show(platform,
         kind == HostsKind::Hosts ? kMsgHostsNameMissing : kMsgLmhostsNameMissing,
         MessageIcon::Warning);
    return false;
  }
  // Without an editor the quoted path would be started as a program.
  if (editor.empty()) {
    Show(platform, kMsgNoEditor, MessageIcon::Warning);
    return false;
  }
  const std::string commandLine = editor + " \"" + path + "\"";
  long error = 0;
  const std::unique_ptr<platform::IProcess> editing =
      platform.processes.Create(commandLine, false, error);
  if (!editing) {
    Show(platform,
         kMsgEditorNotStarted + commandLine + " (エラー " + std::to_string(error) + ")",
         MessageIcon::Warning);
    return false;
  }
  platform::WaitForExit(*editing);
  return true;
}

bool SameAsSystemFile(platform::IFiles& files, const std::string& systemPath,
                      const std::string& variantPath) {
  std::string systemData, variantData;
  const bool systemOpen = !systemPath.empty() && files.ReadFile(systemPath, systemData);
  const bool variantOpen = !variantPath.empty() && files.ReadFile(variantPath, variantData);
  if (!systemOpen || !variantOpen) return systemOpen == variantOpen;
  return TextLines(systemData) == TextLines(variantData);
}

HostsComparison CompareHostsFiles(platform::Platform& platform,
                                  const config::HostsFiles& files) {
  HostsComparison result;
  result.SameHosts = SameAsSystemFile(
      platform.files, SystemHostsPath(platform.system, HostsKind::Hosts), files.HOSTS);
  result.SameLmhosts = SameAsSystemFile(
      platform.files, SystemHostsPath(platform.system, HostsKind::Lmhosts), files.LMHOSTS);
  return result;
}

bool ApplyHostsFiles(platform::Platform& platform, const config::HostsFiles& files,
                     const HostsComparison& skip) {
  if (platform.system.SystemDirectory().empty()) return true;
  bool ok = true;
  for (HostsKind kind : {HostsKind::Hosts, HostsKind::Lmhosts}) {
    const bool hosts = kind == HostsKind::Hosts;
    if (hosts ? skip.SameHosts : skip.SameLmhosts) continue;
    const std::string& variant = hosts ? files.HOSTS : files.LMHOSTS;
    const std::string system = SystemHostsPath(platform.system, kind);
    if (!variant.empty()) {
      if (!CopyWholeFile(platform.files, variant, system)) {
        Show(platform, variant + " を " + system + " にコピーできませんでした",
             MessageIcon::Warning);
        ok = false;
      }
      continue;
    }
    long error = 0;
    if (!platform.files.DeleteFile(system, &error) && error != platform::kErrorFileNotFound &&
        error != platform::kErrorPathNotFound) {
      Show(platform, system + " を削除できませんでした", MessageIcon::Warning);
      ok = false;
    }
  }
  return ok;
}

std::string DescribeHostsFiles(platform::Platform& platform,
                               const config::HostsFiles& files) {
  const HostsComparison same = CompareHostsFiles(platform, files);
  std::string text;
  for (HostsKind kind : {HostsKind::Hosts, HostsKind::Lmhosts}) {
    const bool hosts = kind == HostsKind::Hosts;
    const std::string& variant = hosts ? files.HOSTS : files.LMHOSTS;
    text += hosts ? "HOSTS: " : "LMHOSTS: ";
    if (variant.empty()) {
      text += "(なし: 反映するとシステムのファイルを削除)";
    } else {
      text += variant;
      text += platform.files.Exists(variant) ? "" : " (ファイルがありません)";
    }
    text += (hosts ? same.SameHosts : same.SameLmhosts) ? " … システムのファイルと同じ\n"
                                                          : " … システムのファイルと異なる\n";
  }
  return text;
}

}  // namespace velandra
