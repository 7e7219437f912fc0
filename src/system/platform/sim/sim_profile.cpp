#include "system/platform/sim/sim_profile.h"

#include <sys/stat.h>
#ifdef _WIN32
#include "system/platform/win32/win_api.h"
#endif

#include <cerrno>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "system/platform/text.h"

namespace velandra::platform::sim {
namespace {

// Ctrl-Z counts as a blank, as it does for Windows: DOS editors end files
// with it.
bool IsProfileBlank(char c) { return c == ' ' || c == '\t' || c == '\x1a'; }

std::string_view TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsProfileBlank(s[b])) ++b;
  return s.substr(b);
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  size_t e = s.size();
  while (e > 0 && IsProfileBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

std::string Fold(std::string_view name) { return Cp932ToUpperAscii(Trim(name)); }

// At most `limit` bytes, never half of a two-byte character.
std::string_view CutAtCharBoundary(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t n = Cp932CharLength(text, pos);
    if (pos + n > limit) break;
    pos += n;
  }
  return text.substr(0, pos);
}

std::string_view StripQuotes(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// The integer rule of GetPrivateProfileInt: blanks, an optional sign, the
// leading decimal digits, in 32-bit arithmetic as Windows does it.
int ParseProfileInt(std::string_view v) {
  size_t i = 0;
  while (i < v.size() && static_cast<unsigned char>(v[i]) <= ' ') ++i;
  bool negative = false;
  if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
  uint32_t n = 0;
  for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
    n = n * 10u + static_cast<uint32_t>(v[i] - '0');
  if (negative) n = 0u - n;
  return static_cast<int>(n);
}

bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

enum class Kind : uint8_t { Blank, Comment, Header, Entry };
enum class WriteKind : uint8_t { Set, DeleteKey, DeleteSection };
enum class Eol : uint8_t { None, CrLf, Lf, Cr };

// One physical line of the file, kept byte for byte, with what it means.
struct Line {
  std::string raw;  // without the line break
  Eol eol = Eol::CrLf;
  Kind kind = Kind::Blank;
  bool hasValue = false;  // an entry with '='
  size_t nameBegin = 0, nameLen = 0;  // section name or key
  size_t valueBegin = 0, valueLen = 0;

  std::string_view Name() const {
    return std::string_view(raw).substr(nameBegin, nameLen);
  }
  std::string_view Value() const {
    return std::string_view(raw).substr(valueBegin, valueLen);
  }
};

void Classify(Line& line) {
  std::string_view raw = line.raw;
  // A NUL ends the readable text of a line; the rest is kept but not read.
  std::string_view text = raw.substr(0, raw.find('\0'));
  size_t b = 0, e = text.size();
  while (b < e && IsProfileBlank(text[b])) ++b;
  while (e > b && IsProfileBlank(text[e - 1])) --e;
  line.hasValue = false;
  line.nameBegin = line.nameLen = line.valueBegin = line.valueLen = 0;
  if (b == e) {
    line.kind = Kind::Blank;
    return;
  }
  std::string_view inner = text.substr(b, e - b);
  if (inner[0] == ';') {
    line.kind = Kind::Comment;
    return;
  }
  auto setName = [&](size_t from, size_t to) {  // offsets in `inner`, trimmed
    while (from < to && IsProfileBlank(inner[from])) ++from;
    while (to > from && IsProfileBlank(inner[to - 1])) --to;
    line.nameBegin = b + from;
    line.nameLen = to - from;
  };
  if (inner[0] == '[') {
    // ']' may be the trail byte of a two-byte character ("ス" is 83 5D).
    size_t close = Cp932Find(inner, ']', 1);
    if (close != std::string_view::npos) {
      line.kind = Kind::Header;
      setName(1, close);
      return;
    }
    // Without a closing bracket the line is no header; Windows reads it as
    // an ordinary line of the section it is in.
  }
  line.kind = Kind::Entry;
  size_t eq = inner.find('=');  // 0x3D is never a trail byte
  if (eq == std::string_view::npos) {
    setName(0, inner.size());
    return;
  }
  setName(0, eq);
  size_t v = eq + 1;
  while (v < inner.size() && IsProfileBlank(inner[v])) ++v;
  line.hasValue = true;
  line.valueBegin = b + v;
  line.valueLen = inner.size() - v;
}

Line MakeLine(std::string raw) {
  Line line;
  line.raw = std::move(raw);
  line.eol = Eol::CrLf;
  Classify(line);
  return line;
}

struct Section {
  bool hasHeader = false;
  Line header;
  std::vector<Line> lines;
  std::unordered_map<std::string, size_t> keys;  // folded key -> first entry

  std::string_view Name() const { return hasHeader ? header.Name() : std::string_view(); }
  void Reindex() {
    keys.clear();
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == Kind::Entry) keys.emplace(Fold(lines[i].Name()), i);
  }
};

// The parsed file. sections[0] holds the lines before the first header and
// answers to the empty section name. Where a name occurs twice, the first
// section and the first key count, as for Windows.
struct Model {
  std::vector<Section> sections;
  std::unordered_map<std::string, size_t> index;  // folded name -> first section

  void Parse(std::string_view data) {
    sections.clear();
    sections.emplace_back();
    size_t pos = 0;
    while (pos < data.size()) {
      size_t end = data.find_first_of("\r\n", pos);
      Line line;
      if (end == std::string_view::npos) {
        line.raw.assign(data.substr(pos));
        line.eol = Eol::None;
        pos = data.size();
      } else {
        line.raw.assign(data.substr(pos, end - pos));
        if (data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n') {
          line.eol = Eol::CrLf;
          pos = end + 2;
        } else {
          line.eol = data[end] == '\r' ? Eol::Cr : Eol::Lf;
          pos = end + 1;
        }
      }
      Classify(line);
      if (line.kind == Kind::Header) {
        sections.emplace_back();
        sections.back().hasHeader = true;
        sections.back().header = std::move(line);
      } else {
        sections.back().lines.push_back(std::move(line));
      }
    }
    for (Section& s : sections) s.Reindex();
    Reindex();
  }

  void Reindex() {
    index.clear();
    for (size_t i = 0; i < sections.size(); ++i) index.emplace(Fold(sections[i].Name()), i);
  }

  Section* Find(const std::string& folded) {
    auto it = index.find(folded);
    return it == index.end() ? nullptr : &sections[it->second];
  }

  // The file's last line gets a line break before anything is added after it.
  void EndLastLine() {
    for (size_t i = sections.size(); i-- > 0;) {
      Section& s = sections[i];
      Line* last = !s.lines.empty() ? &s.lines.back() : (s.hasHeader ? &s.header : nullptr);
      if (!last) continue;
      if (last->eol == Eol::None) last->eol = Eol::CrLf;
      return;
    }
  }

  std::string Serialize() const {
    size_t total = 0;
    for (const Section& s : sections) {
      if (s.hasHeader) total += s.header.raw.size() + 2;
      for (const Line& l : s.lines) total += l.raw.size() + 2;
    }
    std::string out;
    out.reserve(total);
    auto put = [&out](const Line& l) {
      out += l.raw;
      switch (l.eol) {
        case Eol::None: break;
        case Eol::CrLf: out += "\r\n"; break;
        case Eol::Lf: out += '\n'; break;
        case Eol::Cr: out += '\r'; break;
      }
    };
    for (const Section& s : sections) {
      if (s.hasHeader) put(s.header);
      for (const Line& l : s.lines) put(l);
    }
    return out;
  }
};

struct Stamp {
  bool exists = false;
  bool regular = false;
  bool statFailed = false;  // it may exist, but cannot be looked at
  uint64_t size = 0;
  int64_t mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;
  uint64_t inode = 0;
  bool operator==(const Stamp&) const = default;
};

// One stat call per operation: that is what keeps 10,000 reads cheap. On
// Windows the C runtime's stat gives whole seconds only, so that a change by
// another writer within the same second and of the same size would go
// unseen; the file times there come from GetFileAttributesExW, in 100 ns.
Stamp StatHost(const std::filesystem::path& path) {
  Stamp s;
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = ::GetLastError();
    s.statFailed = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    return s;
  }
  auto ticks = [](const FILETIME& t) {
    return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  s.exists = true;
  s.regular = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  s.mtimeNsec = ticks(data.ftLastWriteTime);
  s.ctimeNsec = ticks(data.ftCreationTime);
  s.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return s;
#else
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    s.statFailed = errno != ENOENT && errno != ENOTDIR;
    return s;
  }
  s.regular = S_ISREG(st.st_mode);
  s.mtimeSec = st.st_mtim.tv_sec;
  s.mtimeNsec = st.st_mtim.tv_nsec;
  s.ctimeSec = st.st_ctim.tv_sec;
  s.ctimeNsec = st.st_ctim.tv_nsec;
  s.inode = st.st_ino;
  s.exists = true;
  s.size = static_cast<uint64_t>(st.st_size);
  return s;
#endif
}

}  // namespace

std::string ProfileWriteProblem(std::string_view section, const std::string_view* key,
                                const std::string_view* value) {
  if (HasLineBreakOrNul(section)) return "the section name holds a line break or NUL";
  if (Cp932Find(section, ']') != std::string_view::npos)
    return "the section name holds ']'";
  // The name is written trimmed; there a lone lead byte at the end would take
  // the closing ']' as its trail byte.
  section = Trim(section);
  if (!section.empty() && IsCp932LeadByte(static_cast<unsigned char>(section.back()))) {
    size_t pos = 0;
    while (pos + Cp932CharLength(section, pos) < section.size())
      pos += Cp932CharLength(section, pos);
    if (Cp932CharLength(section, pos) == 1) return "the section name ends in half a character";
  }
  if (key) {
    if (HasLineBreakOrNul(*key)) return "the key holds a line break or NUL";
    if (key->find('=') != std::string_view::npos) return "the key holds '='";
    std::string_view k = Trim(*key);
    if (!k.empty() && (k[0] == '[' || k[0] == ';'))
      return "the key starts with '[' or ';'";
  }
  if (value && HasLineBreakOrNul(*value)) return "the value holds a line break or NUL";
  return {};
}

struct SimProfile::Op {
  WriteKind kind;
  std::string section, key, value;
};

struct SimProfile::File {
  std::filesystem::path host;
  enum class State { Missing, Loaded, Unreadable } state = State::Missing;
  bool valid = false;  // model and stamp describe the host file
  Stamp stamp;
  Model model;
  std::vector<Op> pending;  // applied, not yet written (batch)
};

namespace {

// Applies one write to the model; false when it changes nothing.
bool Apply(Model& model, WriteKind kind, std::string_view sectionArg, std::string_view keyArg,
           std::string_view valueArg) {
  std::string_view sectionName = Trim(sectionArg);
  std::string folded = Cp932ToUpperAscii(sectionName);
  if (kind == WriteKind::DeleteSection) {  // every copy of the section
    bool changed = false;
    for (size_t i = model.sections.size(); i-- > 0;) {
      Section& s = model.sections[i];
      if (Cp932ToUpperAscii(s.Name()) != folded) continue;
      if (i == 0) {
        if (s.lines.empty()) continue;
        s.lines.clear();
        s.keys.clear();
      } else {
        model.sections.erase(model.sections.begin() + static_cast<std::ptrdiff_t>(i));
      }
      changed = true;
    }
    if (changed) model.Reindex();
    return changed;
  }
  std::string_view keyName = Trim(keyArg);
  std::string foldedKey = Cp932ToUpperAscii(keyName);
  Section* s = model.Find(folded);
  if (kind == WriteKind::DeleteKey) {  // every copy of the key in the section
    if (!s || !s->keys.count(foldedKey)) return false;
    std::erase_if(s->lines, [&](const Line& l) {
      return l.kind == Kind::Entry && Cp932ToUpperAscii(l.Name()) == foldedKey;
    });
    s->Reindex();
    return true;
  }
  // Windows drops the value's leading blanks; the trailing ones are written
  // and trimmed when read.
  std::string_view value = TrimLeft(valueArg);
  std::string line;
  if (!s) {
    Section added;
    added.hasHeader = true;
    added.header = MakeLine("[" + std::string(sectionName) + "]");
    line.assign(keyName).append("=").append(value);
    added.lines.push_back(MakeLine(std::move(line)));
    model.EndLastLine();
    model.sections.push_back(std::move(added));
    model.sections.back().Reindex();
    model.index.emplace(std::move(folded), model.sections.size() - 1);
    return true;
  }
  auto it = s->keys.find(foldedKey);
  if (it != s->keys.end()) {
    Line& old = s->lines[it->second];
    if (old.hasValue && old.Value() == value) return false;
    // The key keeps the spelling it has in the file.
    line.assign(old.Name()).append("=").append(value);
    old = MakeLine(std::move(line));
    return true;
  }
  // A new key goes after the section's last entry, before the blank lines
  // and comments that separate it from the next section.
  size_t pos = s->lines.size();
  while (pos > 0 && (s->lines[pos - 1].kind == Kind::Blank ||
                     s->lines[pos - 1].kind == Kind::Comment))
    --pos;
  Line* before = pos > 0 ? &s->lines[pos - 1] : (s->hasHeader ? &s->header : nullptr);
  if (before && before->eol == Eol::None) before->eol = Eol::CrLf;
  line.assign(keyName).append("=").append(value);
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(pos), MakeLine(std::move(line)));
  // Only blank lines and comments moved, and they are not indexed.
  s->keys.emplace(std::move(foldedKey), pos);
  return true;
}

}  // namespace

SimProfile::SimProfile(PathMapper mapper) : mapper_(std::move(mapper)) {}

SimProfile::~SimProfile() {
  if (batchDepth_ > 0) {
    batchDepth_ = 1;
    EndBatch();
  }
}

void SimProfile::Refresh(File& file) {
  Stamp now = StatHost(file.host);
  if (file.valid && now == file.stamp) return;
  file.stamp = now;
  file.valid = true;
  std::string data;
  if (now.statFailed || (now.exists && (!now.regular || !ReadHostFile(file.host, data)))) {
    file.state = File::State::Unreadable;
    data.clear();
  } else {
    file.state = now.exists ? File::State::Loaded : File::State::Missing;
  }
  file.model.Parse(data);
  // Another process changed the file during a batch: our writes go on top.
  for (const Op& op : file.pending)
    Apply(file.model, op.kind, op.section, op.key, op.value);
}

SimProfile::File* SimProfile::Open(const std::string& path) {
  // In a batch a file is mapped and looked at once: load all and save all
  // make tens of thousands of calls, and a stat and a path mapping each
  // cost far more than the lookup itself.
  if (batchDepth_ > 0) {
    auto seen = batchFiles_.find(path);
    if (seen != batchFiles_.end()) return seen->second;
  }
  std::filesystem::path host;
  if (!mapper_ || !mapper_(path, host)) return nullptr;
  std::unique_ptr<File>& slot = files_[host];
  if (!slot) {
    slot = std::make_unique<File>();
    slot->host = host;
  }
  Refresh(*slot);
  if (batchDepth_ > 0) batchFiles_.emplace(path, slot.get());
  return slot.get();
}

bool SimProfile::Flush(File& file) {
  std::string error;
  if (!WriteHostFileAtomically(file.host, file.model.Serialize(), &error)) {
    lastError_ = error;
    file.valid = false;  // the next access sees the file as it is
    file.pending.clear();
    return false;
  }
  file.pending.clear();
  file.state = File::State::Loaded;
  file.stamp = StatHost(file.host);
  return true;
}

bool SimProfile::Modify(const std::string& path, const Op& op) {
  lastError_.clear();
  std::string_view key = op.key, value = op.value;
  std::string problem = ProfileWriteProblem(op.section, op.kind == WriteKind::DeleteSection ? nullptr : &key,
                                            op.kind == WriteKind::Set ? &value : nullptr);
  if (!problem.empty()) {
    lastError_ = problem;
    return false;
  }
  File* file = Open(path);
  if (!file) {
    lastError_ = "the path has no host file: " + Cp932ToUtf8(path);
    return false;
  }
  if (file->state == File::State::Unreadable) {
    // Writing would replace a file whose content we do not know.
    lastError_ = "cannot read " + HostPathToUtf8(file->host);
    return false;
  }
  if (file->state == File::State::Missing && op.kind == WriteKind::Set) {
    std::error_code ec;
    std::filesystem::path dir = file->host.parent_path();
    if (!dir.empty() && !std::filesystem::is_directory(dir, ec)) {
      lastError_ = "no such directory: " + HostPathToUtf8(dir);
      return false;
    }
  }
  if (!Apply(file->model, op.kind, op.section, op.key, op.value)) return true;
  if (batchDepth_ > 0) {
    file->pending.push_back(op);
    return true;
  }
  return Flush(*file);
}

std::string SimProfile::GetString(std::string_view section, std::string_view key,
                                  std::string_view def, uint32_t size,
                                  const std::string& path) {
  if (size == 0) return {};
  // Windows drops the default's trailing spaces.
  while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
  std::string_view result = def;
  if (File* file = Open(path)) {
    if (Section* s = file->model.Find(Fold(section))) {
      auto it = s->keys.find(Fold(key));
      if (it != s->keys.end() && s->lines[it->second].hasValue)
        result = StripQuotes(s->lines[it->second].Value());
    }
  }
  return std::string(CutAtCharBoundary(result, size - 1));
}

int SimProfile::GetInt(std::string_view section, std::string_view key, int def,
                       const std::string& path) {
  File* file = Open(path);
  if (!file) return def;
  Section* s = file->model.Find(Fold(section));
  if (!s) return def;
  auto it = s->keys.find(Fold(key));
  if (it == s->keys.end() || !s->lines[it->second].hasValue) return def;
  std::string_view v = StripQuotes(s->lines[it->second].Value());
  // An empty value reads as the default too.
  return v.empty() ? def : ParseProfileInt(v);
}

std::string SimProfile::GetSection(std::string_view section, uint32_t size,
                                   const std::string& path) {
  if (size == 0) return {};
  std::vector<std::string> entries;
  size_t total = 1;
  if (File* file = Open(path)) {
    if (Section* s = file->model.Find(Fold(section))) {
      for (const Line& l : s->lines) {
        if (l.kind != Kind::Entry) continue;
        std::string e(l.Name());
        if (l.hasValue) e.append("=").append(l.Value());
        total += e.size() + 1;
        entries.push_back(std::move(e));
      }
    }
  }
  std::string out;
  if (total <= size) {
    out.reserve(total);
    for (const std::string& e : entries) out.append(e).push_back('\0');
    out.push_back('\0');
    return out;
  }
  // Too small: as much as fits in size - 2 bytes, the last entry cut short,
  // then the final zero bytes (Windows returns size - 2 then).
  size_t budget = size >= 2 ? size - 2 : 0;
  for (const std::string& e : entries) {
    if (budget == 0) break;
    if (e.size() + 1 <= budget) {
      out.append(e).push_back('\0');
      budget -= e.size() + 1;
      continue;
    }
    std::string_view part = CutAtCharBoundary(e, budget);
    if (!part.empty()) out.append(part).push_back('\0');
    break;
  }
  out.push_back('\0');
  return out;
}

bool SimProfile::WriteString(std::string_view section, std::string_view key,
                             std::string_view value, const std::string& path) {
  return Modify(path, Op{WriteKind::Set, std::string(section), std::string(key), std::string(value)});
}

bool SimProfile::DeleteKey(std::string_view section, std::string_view key,
                           const std::string& path) {
  return Modify(path, Op{WriteKind::DeleteKey, std::string(section), std::string(key), {}});
}

bool SimProfile::DeleteSection(std::string_view section, const std::string& path) {
  return Modify(path, Op{WriteKind::DeleteSection, std::string(section), {}, {}});
}

void SimProfile::BeginBatch() { ++batchDepth_; }

bool SimProfile::EndBatch() {
  if (batchDepth_ == 0 || --batchDepth_ > 0) return true;
  batchFiles_.clear();
  bool ok = true;
  bool cleared = false;
  for (auto& [host, file] : files_) {
    if (file->pending.empty()) continue;
    if (!cleared) lastError_.clear();
    cleared = true;
    Refresh(*file);
    if (file->state == File::State::Unreadable) {
      lastError_ = "cannot read " + HostPathToUtf8(host);
      file->pending.clear();
      file->valid = false;
      ok = false;
      continue;
    }
    if (!Flush(*file)) ok = false;
  }
  return ok;
}

}  // namespace velandra::platform::sim
