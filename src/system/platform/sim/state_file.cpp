#include "system/platform/sim/state_file.h"

#include "system/platform/sim/host_files.h"
#include "system/platform/text.h"

namespace velandra::platform::sim {

namespace {
std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}
}  // namespace

bool StateFile::Parse(const std::string& text, const std::string& name,
                      std::string& error) {
  std::vector<Section> sections;
  int line = 0;
  size_t pos = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;  // a BOM from an editor
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string raw = text.substr(pos, end - pos);
    pos = end + 1;
    ++line;
    if (raw.find('\0') != std::string::npos) {
      error = name + " line " + std::to_string(line) + ": binary data (NUL byte)";
      return false;
    }
    std::string l = Trim(raw);
    if (l.empty() || l[0] == '#' || l[0] == ';') {
      if (end == text.size()) break;
      continue;
    }
    if (l[0] == '[') {
      if (l.back() != ']' || l.size() < 3) {
        error = name + " line " + std::to_string(line) +
                ": a section line must look like [name]: " + l;
        return false;
      }
      sections.push_back({Trim(l.substr(1, l.size() - 2)), line, {}});
    } else {
      size_t eq = l.find('=');
      if (eq == std::string::npos || eq == 0) {
        error = name + " line " + std::to_string(line) +
                ": expected \"key = value\": " + l;
        return false;
      }
      if (sections.empty()) {
        error = name + " line " + std::to_string(line) +
                ": \"" + l + "\" stands before any [section]";
        return false;
      }
      sections.back().Entries.push_back(
          {Trim(l.substr(0, eq)), Trim(l.substr(eq + 1)), line});
    }
    if (end == text.size()) break;
  }
  name_ = name;
  sections_ = std::move(sections);
  return true;
}

bool StateFile::Load(const std::filesystem::path& file, bool required,
                     std::string& error) {
  std::string data;
  std::string name = HostPathToUtf8(file.filename());
  if (!ReadHostFile(file, data)) {
    if (!required && !std::filesystem::exists(file)) {
      name_ = name;
      sections_.clear();
      return true;
    }
    error = HostPathToUtf8(file) + ": cannot be read";
    return false;
  }
  return Parse(data, name, error);
}

std::string StateFile::Serialize(const std::string& header) const {
  std::string out = header;
  for (const auto& s : sections_) {
    if (!out.empty()) out += "\n";
    out += "[" + s.Name + "]\n";
    for (const auto& e : s.Entries) out += e.Key + " = " + e.Value + "\n";
  }
  return out;
}

bool StateFile::Save(const std::filesystem::path& file, const std::string& header,
                     std::string* error) const {
  return WriteHostFileAtomically(file, Serialize(header), error);
}

const StateFile::Section* StateFile::Find(const std::string& section) const {
  for (const auto& s : sections_)
    if (Cp932EqualsNoCase(s.Name, section)) return &s;
  return nullptr;
}

StateFile::Section* StateFile::FindMutable(const std::string& section) {
  for (auto& s : sections_)
    if (Cp932EqualsNoCase(s.Name, section)) return &s;
  return nullptr;
}

const StateFile::Entry* StateFile::Find(const std::string& section,
                                        const std::string& key) const {
  const Section* s = Find(section);
  if (!s) return nullptr;
  for (const auto& e : s->Entries)
    if (Cp932EqualsNoCase(e.Key, key)) return &e;
  return nullptr;
}

std::string StateFile::Get(const std::string& section, const std::string& key,
                           const std::string& def) const {
  const Entry* e = Find(section, key);
  return e ? e->Value : def;
}

StateFile::Section& StateFile::AddSection(const std::string& name) {
  if (Section* s = FindMutable(name)) return *s;
  sections_.push_back({name, 0, {}});
  return sections_.back();
}

void StateFile::Set(const std::string& section, const std::string& key,
                    const std::string& value) {
  Section& s = AddSection(section);
  for (auto& e : s.Entries)
    if (Cp932EqualsNoCase(e.Key, key)) {
      e.Value = value;
      return;
    }
  s.Entries.push_back({key, value, 0});
}

void StateFile::Add(const std::string& section, const std::string& key,
                    const std::string& value) {
  AddSection(section).Entries.push_back({key, value, 0});
}

void StateFile::Remove(const std::string& section, const std::string& key) {
  Section* s = FindMutable(section);
  if (!s) return;
  std::erase_if(s->Entries,
                [&](const Entry& e) { return Cp932EqualsNoCase(e.Key, key); });
}

void StateFile::RemoveSection(const std::string& section) {
  std::erase_if(sections_, [&](const Section& s) {
    return Cp932EqualsNoCase(s.Name, section);
  });
}

std::vector<std::string> SplitStateList(const std::string& list) {
  std::vector<std::string> items;
  size_t pos = 0;
  while (!list.empty() && pos <= list.size()) {
    size_t end = list.find(',', pos);
    if (end == std::string::npos) end = list.size();
    std::string item = list.substr(pos, end - pos);
    size_t b = item.find_first_not_of(" \t"), e = item.find_last_not_of(" \t");
    items.push_back(b == std::string::npos ? "" : item.substr(b, e - b + 1));
    pos = end + 1;
  }
  return items;
}

}  // namespace velandra::platform::sim
