// REGEDIT4 registry files as regedit exports them on Japanese Windows: CP932
// bytes, CRLF, first line "REGEDIT4". The reader also takes regedit's
// Unicode export ("Windows Registry Editor Version 5.00", UTF-16LE with a
// byte order mark) and converts it to the CP932 the ANSI registry calls
// return. The writer's output reads back to exactly what was written.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "system/platform/registry.h"

namespace velandra::platform::sim {

// One key line or value line of a file, in file order.
struct Regedit4Entry {
  enum class Kind {
    Key,          // [HKEY_...\path]: the key exists (created when missing)
    DeleteKey,    // [-HKEY_...\path]: the key and everything below it go
    Value,        // "name"=... or @=...: the value is set
    DeleteValue,  // "name"=-
  };
  Kind kind = Kind::Key;
  Hive hive = Hive::LocalMachine;
  // Below the hive, as written in the file (components separated by '\');
  // "" is the hive itself. Value entries carry the path of their key.
  std::string path;
  std::string name;  // value name; "" is the default value (@)
  uint32_t type = 0;
  std::string data;  // the value's bytes exactly as stored
  int line = 0;      // line of the file where the entry starts (from 1)
};

// Parses a whole file. `source` (UTF-8) names it in messages. On failure
// `error` is "<source>: line <n>: <what is wrong>" in UTF-8 and `entries` is
// left as it was: a file is taken whole or not at all.
bool ParseRegedit4(std::string_view bytes, std::string_view source,
                   std::vector<Regedit4Entry>& entries, std::string& error);

struct Regedit4Value {
  std::string name;
  uint32_t type = 0;
  std::string data;
};

struct Regedit4Key {
  Hive hive = Hive::LocalMachine;
  std::string path;  // "" for the hive itself
  std::vector<Regedit4Value> values;
};

// The canonical file: "REGEDIT4", keys sorted as Windows enumerates them
// (hives alphabetically, a key before its subkeys), values in the order
// given, CRLF. A hive key without values gets no line of its own. Strings
// that a quoted form cannot carry exactly (no terminating zero, zero or line
// break inside, a lone lead byte at the end) are written as hex(1). Each key
// must appear once and every name must satisfy the checks below.
std::string WriteRegedit4(const std::vector<Regedit4Key>& keys);
// The same for keys already in that order, which is not checked: the
// simulated registry walks its tree in it and writes the file on every change.
std::string WriteOrderedRegedit4(const std::vector<Regedit4Key>& keys);
// The hives in the order of the file.
inline constexpr Hive kRegedit4HiveOrder[] = {Hive::ClassesRoot, Hive::CurrentUser,
                                              Hive::LocalMachine, Hive::Users};

// A value name a file can hold: no NUL or LF, and not ending in a lone
// CP932 lead byte (which would swallow the closing quote).
bool IsRegedit4ValueName(std::string_view name);
// A single key name (one path component) a file can hold: a value name that
// is not empty and has no '\' outside a two-byte character.
bool IsRegedit4KeyName(std::string_view name);

// Sort key for subkey names. Windows lists subkeys ordered by their
// upper-cased names compared as UTF-16 (here only ASCII letters are
// upper-cased, as everywhere in the system), which is not CP932 byte order
// for kanji: "字" comes before "漢" although its CP932 bytes are larger.
// Ties (names that convert alike) fall back to the upper-cased CP932 bytes,
// so two names compare equal exactly when Cp932EqualsNoCase holds.
struct KeyNameOrder {
  std::u16string wide;
  std::string upper;
  bool operator<(const KeyNameOrder& other) const {
    if (wide != other.wide) return wide < other.wide;
    return upper < other.upper;
  }
};
KeyNameOrder OrderOfKeyName(std::string_view name);

}  // namespace velandra::platform::sim
