// The simulated PC's own description files (pc.ini, users.ini, security.ini):
// UTF-8 text, "[section]" lines, "key = value" lines, '#' or ';' comments.
// They are meant to be edited by hand, so every error names file and line.
#pragma once
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velandra::platform::sim {

class StateFile {
 public:
  struct Entry {
    std::string Key;    // UTF-8, as written
    std::string Value;  // UTF-8, blanks around it removed
    int Line = 0;
  };
  struct Section {
    std::string Name;
    int Line = 0;
    std::vector<Entry> Entries;
  };

  // Parses `text`; `name` is used in error messages. False and `error` set
  // ("pc.ini line 3: ...") on the first malformed line; nothing is kept then.
  bool Parse(const std::string& text, const std::string& name, std::string& error);
  // Reads and parses a file; a missing file is an error when `required`.
  bool Load(const std::filesystem::path& file, bool required, std::string& error);
  bool Save(const std::filesystem::path& file, const std::string& header,
            std::string* error = nullptr) const;
  std::string Serialize(const std::string& header) const;

  const std::vector<Section>& Sections() const { return sections_; }
  // Section and key names compare ASCII-case-insensitively.
  const Section* Find(const std::string& section) const;
  const Entry* Find(const std::string& section, const std::string& key) const;
  std::string Get(const std::string& section, const std::string& key,
                  const std::string& def = "") const;
  void Set(const std::string& section, const std::string& key,
           const std::string& value);
  // Appends an entry even when the key is there already.
  void Add(const std::string& section, const std::string& key,
           const std::string& value);
  void Remove(const std::string& section, const std::string& key);
  void RemoveSection(const std::string& section);
  Section& AddSection(const std::string& name);
  const std::string& Name() const { return name_; }

 private:
  Section* FindMutable(const std::string& section);
  std::string name_;
  std::vector<Section> sections_;
};

// A comma-separated value, blanks around the items removed; empty items
// (from "a,,b" or a trailing comma) are kept, so that they can be reported.
std::vector<std::string> SplitStateList(const std::string& list);

}  // namespace velandra::platform::sim
