#include "system/platform/sim/sim_shortcut.h"

#include <system_error>

#include "system/platform/sim/host_files.h"
#include "system/platform/sim/sim_backends.h"
#include "system/platform/sim/simulated_pc.h"
#include "system/platform/sim/state_file.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {

constexpr char kShortcutSection[] = "shortcut";
constexpr char kShortcutHeader[] = "# A shortcut of the simulated PC (docs/simulated-pc.md).\n";

struct Field {
  const char* key;
  std::string ShortcutSpec::*member;
  size_t limit;
};
constexpr Field kFields[] = {
    {"target", &ShortcutSpec::Target, kShortcutMaxPath},
    {"arguments", &ShortcutSpec::Arguments, kShortcutMaxText},
    {"working_directory", &ShortcutSpec::WorkingDirectory, kShortcutMaxPath},
    {"description", &ShortcutSpec::Description, kShortcutMaxText},
};

// Values the "key = value" line would change (its blanks are trimmed) or
// that reading would take for quoted ones.
bool NeedsQuotes(const std::string& v) {
  if (v.empty()) return false;
  return IsBlank(v.front()) || IsBlank(v.back()) ||
         (v.size() >= 2 && v.front() == '"' && v.back() == '"');
}

std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
    std::string inner = v.substr(1, v.size() - 2);
    if (NeedsQuotes(inner)) return inner;
  }
  return v;
}

// A CP932 field that the file can hold; `why` names the field otherwise.
bool CheckField(const Field& f, const std::string& cp932, std::string& why) {
  for (unsigned char c : cp932)
    if (c < 0x20 && c != '\t') {
      why = std::string(f.key) + " holds a control character";
      return false;
    }
  if (cp932.size() > f.limit) {
    why = std::string(f.key) + " is longer than a shortcut keeps (" + std::to_string(f.limit) +
          " bytes)";
    return false;
  }
  return true;
}

std::string Describe(const ShortcutSpec& spec) {
  std::string text = Cp932ToUtf8(spec.Target);
  if (!spec.Arguments.empty()) text += " " + Cp932ToUtf8(spec.Arguments);
  return text;
}

}  // namespace

bool FormatShortcut(const ShortcutSpec& spec, std::string& text, std::string& why) {
  if (spec.Target.empty()) {
    why = "the shortcut has no target";
    return false;
  }
  std::string out = std::string(kShortcutHeader) + "[" + kShortcutSection + "]\n";
  for (const Field& f : kFields) {
    const std::string& value = spec.*f.member;
    if (!CheckField(f, value, why)) return false;
    bool ok = true;
    std::string utf8 = Cp932ToUtf8(value, &ok);
    if (!ok) {
      why = std::string(f.key) + " is not CP932 text";
      return false;
    }
    out += std::string(f.key) + " = " + (NeedsQuotes(utf8) ? "\"" + utf8 + "\"" : utf8) + "\n";
  }
  text = std::move(out);
  return true;
}

bool ParseShortcut(const std::string& text, ShortcutSpec& spec, std::string& why) {
  StateFile file;
  if (!file.Parse(text, "shortcut", why)) return false;
  if (file.Sections().size() != 1 ||
      !Cp932EqualsNoCase(file.Sections()[0].Name, kShortcutSection)) {
    why = "a shortcut holds one section [shortcut]";
    return false;
  }
  ShortcutSpec read;
  bool seen[std::size(kFields)] = {};
  for (const auto& e : file.Sections()[0].Entries) {
    const std::string at = "line " + std::to_string(e.Line) + ": ";
    size_t i = 0;
    while (i < std::size(kFields) && !Cp932EqualsNoCase(e.Key, kFields[i].key)) ++i;
    if (i == std::size(kFields)) {
      why = at + "unknown key " + e.Key;
      return false;
    }
    if (seen[i]) {
      why = at + e.Key + " is given twice";
      return false;
    }
    seen[i] = true;
    bool ok = true;
    std::string value = Utf8ToCp932(Unquote(e.Value), &ok);
    if (!ok) {
      why = at + e.Key + " is not UTF-8 text that code page 932 can hold";
      return false;
    }
    if (!CheckField(kFields[i], value, why)) {
      why = at + why;
      return false;
    }
    read.*kFields[i].member = std::move(value);
  }
  if (read.Target.empty()) {
    why = "the shortcut has no target";
    return false;
  }
  spec = std::move(read);
  return true;
}

bool SimShell::CreateShortcut(const std::string& path, const ShortcutSpec& spec) {
  std::filesystem::path host;
  std::error_code ec;
  std::string text, why;
  auto refuse = [&](const std::string& reason) {
    pc_.LogEvent("shortcut not created: " + Cp932ToUtf8(path) + ": " + reason);
    return false;
  };
  if (!FormatShortcut(spec, text, why)) return refuse(why);
  // IPersistFile::Save makes no folders.
  if (!pc_.MapPath(path, host) || !std::filesystem::is_directory(host.parent_path(), ec))
    return refuse("no such folder");
  if (std::filesystem::is_directory(host, ec)) return refuse("a folder of that name is there");
  const bool replaced = std::filesystem::exists(host, ec);
  if (!WriteHostFileAtomically(host, text, &why)) return refuse(why);
  pc_.LogEvent(std::string(replaced ? "shortcut replaced: " : "shortcut created: ") +
               Cp932ToUtf8(path) + " -> " + Describe(spec));
  return true;
}

bool SimShell::ReadShortcut(const std::string& path, ShortcutSpec& spec) {
  std::filesystem::path host;
  std::error_code ec;
  std::string data, why;
  if (!pc_.MapPath(path, host) || std::filesystem::is_directory(host, ec) ||
      !ReadHostFile(host, data))
    return false;
  if (!ParseShortcut(data, spec, why)) {
    pc_.LogEvent("shortcut cannot be read: " + Cp932ToUtf8(path) + ": " + why);
    return false;
  }
  return true;
}

bool SimShell::Execute(const std::string& verb, const std::string& file,
                       const std::string& parameters, const std::string& directory,
                       int show) {
  IFiles& files = pc_.platform().files;
  auto refuse = [&](const std::string& why) {
    pc_.LogEvent("shell could not start (" + why + "): " + Cp932ToUtf8(file));
    return false;
  };
  // An address such as "mailto:..." or "https://..." goes to the handler
  // of its scheme, which the simulated PC always has. A drive letter is no
  // scheme.
  const size_t colon = file.find(':');
  if (colon != std::string::npos && colon >= 2 &&
      file.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") == colon) {
    pc_.LogEvent("shell opened address (" +
                 (verb.empty() ? std::string("default verb") : Cp932ToUtf8(verb)) + ", show " +
                 std::to_string(show) + "): " + Cp932ToUtf8(file));
    return true;
  }
  // A bare name is looked for in system32 and then in the Windows folder,
  // where EXPLORER.EXE is.
  std::string path = file;
  if (!file.empty() && Cp932Find(file, '\\') == std::string::npos &&
      file.find(':') == std::string::npos) {
    const std::string system32 = pc_.platform().system.SystemDirectory();
    const size_t slash = Cp932FindLast(system32, '\\');
    const std::string windows = slash == std::string::npos ? "" : system32.substr(0, slash);
    path = system32 + "\\" + file;
    if (!files.Exists(path)) path = windows + "\\" + file;
  }
  if (file.empty() || !files.Exists(path)) return refuse("no such file");
  if (!directory.empty() && !files.IsDirectory(directory)) return refuse("no such folder " +
                                                                          Cp932ToUtf8(directory));
  pc_.LogEvent("shell started (" + (verb.empty() ? std::string("default verb") : Cp932ToUtf8(verb)) +
               ", show " + std::to_string(show) + "): " + Cp932ToUtf8(path) +
               (parameters.empty() ? "" : "; parameters: " + Cp932ToUtf8(parameters)) +
               (directory.empty() ? "" : "; directory: " + Cp932ToUtf8(directory)));
  return true;
}

}  // namespace velandra::platform::sim
