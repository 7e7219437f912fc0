#include "system/platform/sim/regedit4.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "system/platform/sim/sim_registry.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {
namespace {

using namespace std::string_literals;

std::string Hex(std::string_view data) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : data) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 0xF]);
  }
  return out;
}

std::string FullPath(Hive hive, std::string_view path) {
  std::string out(HiveName(hive));
  if (!path.empty()) out += "\\" + std::string(path);
  return out;
}

// One readable line per entry, so that a table row states what it expects.
std::string Describe(const Regedit4Entry& e) {
  std::string where = FullPath(e.hive, e.path);
  switch (e.kind) {
    case Regedit4Entry::Kind::Key: return "key " + where;
    case Regedit4Entry::Kind::DeleteKey: return "delete key " + where;
    case Regedit4Entry::Kind::DeleteValue: return "delete value " + where + " [" + e.name + "]";
    case Regedit4Entry::Kind::Value:
      return "value " + where + " [" + e.name + "] type " + std::to_string(e.type) +
             ": " + Hex(e.data);
  }
  return "?";
}

std::string K(std::string_view where) { return "key " + std::string(where); }
std::string V(std::string_view where, std::string_view name, uint32_t type,
              std::string_view data) {
  return "value " + std::string(where) + " [" + std::string(name) + "] type " +
         std::to_string(type) + ": " + Hex(data);
}

std::vector<std::string> Parse(std::string_view text, std::string* error = nullptr) {
  std::vector<Regedit4Entry> entries;
  std::string err;
  std::vector<std::string> out;
  if (!ParseRegedit4(text, "test.reg", entries, err)) {
    if (error) *error = err;
    out.push_back("ERROR " + err);
    return out;
  }
  for (const auto& e : entries) out.push_back(Describe(e));
  return out;
}

constexpr const char* kCu = "HKEY_CURRENT_USER\\T";

struct ReadCase {
  const char* name;
  std::string body;  // after "REGEDIT4" and CRLF
  std::vector<std::string> expected;
};

TEST(Regedit4Read, ValueFormsAndLineRules) {
  const std::string key = "[HKEY_CURRENT_USER\\T]\r\n";
  const ReadCase cases[] = {
      {"string", key + "\"Name\"=\"Value\"\r\n", {K(kCu), V(kCu, "Name", 1, "Value\0"s)}},
      {"escapes, a trailing escaped backslash",
       key + R"("a\\b\"c"="C:\\dir\\\"q\"")" "\r\n" R"("d"="x\\")" "\r\n",
       {K(kCu), V(kCu, "a\\b\"c", 1, "C:\\dir\\\"q\"\0"s), V(kCu, "d", 1, "x\\\0"s)}},
      {"default value as @ and as \"\"", key + "@=\"d\"\r\n\"\"=\"e\"\r\n",
       {K(kCu), V(kCu, "", 1, "d\0"s), V(kCu, "", 1, "e\0"s)}},
      {"empty string", key + "\"e\"=\"\"\r\n", {K(kCu), V(kCu, "e", 1, "\0"s)}},
      {"dword forms", key + "\"a\"=dword:0000001f\r\n\"b\"=DWORD:FFFFFFFF\r\n\"c\"=dword:1\r\n",
       {K(kCu), V(kCu, "a", 4, "\x1f\0\0\0"s), V(kCu, "b", 4, "\xff\xff\xff\xff"s),
        V(kCu, "c", 4, "\x01\0\0\0"s)}},
      {"binary", key + "\"a\"=hex:01,ff,00\r\n\"b\"=hex:\r\n\"c\"=HEX:a\r\n",
       {K(kCu), V(kCu, "a", 3, "\x01\xff\0"s), V(kCu, "b", 3, ""), V(kCu, "c", 3, "\x0a")}},
      {"hex(N) of any type",
       key + "\"e\"=hex(2):25,00\r\n\"m\"=hex(7):61,00,00\r\n\"n\"=hex(0):\r\n"
             "\"q\"=hex(b):01\r\n\"x\"=hex(ffffffff):02\r\n\"y\"=hex(100):03\r\n",
       {K(kCu), V(kCu, "e", 2, "%\0"s), V(kCu, "m", 7, "a\0\0"s), V(kCu, "n", 0, ""),
        V(kCu, "q", 11, "\x01"), V(kCu, "x", 0xFFFFFFFFu, "\x02"), V(kCu, "y", 0x100, "\x03")}},
      {"continuation lines, CRLF and LF",
       key + "\"a\"=hex:01,02,\\\r\n  03,04\r\n\"b\"=hex(7):61,\\\n\t00,\\\n  00\n"
             "\"c\"=hex:\\\r\n  ff\r\n\"d\"=hex:01,  \\\r\n  02\r\n",
       {K(kCu), V(kCu, "a", 3, "\x01\x02\x03\x04"), V(kCu, "b", 7, "a\0\0"s),
        V(kCu, "c", 3, "\xff"), V(kCu, "d", 3, "\x01\x02")}},
      {"deletions",
       "[-HKEY_CURRENT_USER\\Gone\\Sub]\r\n" + key + "\"a\"=-\r\n@=-\r\n",
       {"delete key HKEY_CURRENT_USER\\Gone\\Sub", K(kCu), "delete value "s + kCu + " [a]",
        "delete value "s + kCu + " []"}},
      {"comments, blank lines, indentation, spaces around =, LF only",
       "\n; a comment\n   \n\t; indented comment\n" + std::string("[HKEY_CURRENT_USER\\T]\n") +
           "  \"a\" = \"b\"  \n\"c\"\t=dword:00000002 \n",
       {K(kCu), V(kCu, "a", 1, "b\0"s), V(kCu, "c", 4, "\x02\0\0\0"s)}},
      {"CP932 names and data with trail byte 0x5C",
       // 表 = 95 5C, ソ = 83 5C, 能 = 94 5C: none of these 5C is a separator
       // or an escape; the escaped backslash after ソ is one.
       "[HKEY_CURRENT_USER\\表\\ソフト]\r\n\"能\"=\"表\"\r\n\"ソ\\\\\"=\"ソ\\\"\"\r\n",
       {K("HKEY_CURRENT_USER\\表\\ソフト"),
        V("HKEY_CURRENT_USER\\表\\ソフト", "能", 1, "表\0"s),
        V("HKEY_CURRENT_USER\\表\\ソフト", "ソ\\", 1, "ソ\"\0"s)}},
      {"key names with brackets, hive root, hive name in lower case",
       "[HKEY_CURRENT_USER\\a]b[c]]\r\n[HKEY_LOCAL_MACHINE]\r\n\"r\"=\"1\"\r\n"
       "[hkey_users\\x]\r\n",
       {"key HKEY_CURRENT_USER\\a]b[c]", "key HKEY_LOCAL_MACHINE",
        V("HKEY_LOCAL_MACHINE", "r", 1, "1\0"s), "key HKEY_USERS\\x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parse("REGEDIT4\r\n" + c.body), c.expected);
  }
}

TEST(Regedit4Read, EntriesKnowTheirLine) {
  std::vector<Regedit4Entry> entries;
  std::string error;
  ASSERT_TRUE(ParseRegedit4("REGEDIT4\r\n\r\n[HKEY_USERS\\a]\r\n\"x\"=hex:01,\\\r\n 02\r\n"
                            "\"y\"=\"z\"\r\n",
                            "t", entries, error))
      << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].line, 3);
  EXPECT_EQ(entries[1].line, 4);
  EXPECT_EQ(entries[2].line, 6);
}

struct BadCase {
  const char* name;
  std::string text;
  int line;
  const char* says;  // part of the message
};

TEST(Regedit4Read, MalformedLinesNameFileAndLine) {
  const std::string head = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\T]\r\n";  // value lines are line 4
  const BadCase cases[] = {
      {"empty file", "", 1, "first line"},
      {"wrong header", "REGEDIT5\r\n", 1, "first line"},
      {"version 5 header without byte order mark",
       "Windows Registry Editor Version 5.00\r\n", 1, "UTF-16LE"},
      {"UTF-8 byte order mark", "\xEF\xBB\xBFREGEDIT4\r\n", 1, "UTF-8"},
      {"NUL byte", head + "\"a\"=\"b\0c\"\r\n"s, 4, "NUL"},
      {"stray text", head + "foo\r\n", 4, "neither"},
      {"key without ]", "REGEDIT4\r\n[HKEY_CURRENT_USER\\T\r\n", 2, "closing ']'"},
      {"text after ]", "REGEDIT4\r\n[HKEY_CURRENT_USER\\T] x\r\n", 2, "closing ']'"},
      {"] swallowed as trail byte", "REGEDIT4\r\n[HKEY_CURRENT_USER\\\x81]\r\n", 2, "closing ']'"},
      {"unknown hive", "REGEDIT4\r\n[HKEY_CURRENT_CONFIG\\x]\r\n", 2, "HKEY_CURRENT_CONFIG"},
      {"short hive name", "REGEDIT4\r\n[HKLM\\x]\r\n", 2, "unknown root key"},
      {"empty key name", "REGEDIT4\r\n[HKEY_CURRENT_USER\\a\\\\b]\r\n", 2, "empty key name"},
      {"trailing backslash in key", "REGEDIT4\r\n[HKEY_CURRENT_USER\\a\\]\r\n", 2,
       "empty key name"},
      {"deleting a hive", "REGEDIT4\r\n[-HKEY_CURRENT_USER]\r\n", 2, "root key"},
      {"value before any key", "REGEDIT4\r\n\"a\"=\"b\"\r\n", 2, "before the first"},
      {"value after a deletion", "REGEDIT4\r\n[-HKEY_CURRENT_USER\\x]\r\n\"a\"=\"b\"\r\n", 3,
       "after a key deletion"},
      {"name without closing quote", head + "\"a=\"b\r\n", 4, "expected '='"},
      {"unterminated name", head + "\"abc\r\n", 4, "no closing quote"},
      {"unknown escape", head + "\"a\\n\"=\"b\"\r\n", 4, "unknown escape"},
      {"escape at line end", head + "\"a\"=\"b\\\r\n", 4, "no closing quote"},
      {"missing =", head + "\"a\" \"b\"\r\n", 4, "expected '='"},
      {"unknown form", head + "\"a\"=foo\r\n", 4, "unknown value form"},
      {"string not closed", head + "\"a\"=\"b\r\n", 4, "no closing quote"},
      {"closing quote eaten by a lead byte", head + "\"a\"=\"\x81\"\r\n", 4, "no closing quote"},
      {"text after string", head + "\"a\"=\"b\" c\r\n", 4, "after the string"},
      {"dword not hex", head + "\"a\"=dword:xyz\r\n", 4, "dword"},
      {"dword too long", head + "\"a\"=dword:123456789\r\n", 4, "dword"},
      {"dword empty", head + "\"a\"=dword:\r\n", 4, "dword"},
      {"bad hex byte", head + "\"a\"=hex:01,1g\r\n", 4, "bad hex byte"},
      {"three digit byte", head + "\"a\"=hex:123\r\n", 4, "bad hex byte"},
      {"empty byte", head + "\"a\"=hex:01,,02\r\n", 4, "empty byte"},
      {"bad type", head + "\"a\"=hex(zz):01\r\n", 4, "hex(N)"},
      {"type not closed", head + "\"a\"=hex(2:01\r\n", 4, "hex(N)"},
      {"type too long", head + "\"a\"=hex(123456789):01\r\n", 4, "hex(N)"},
      {"hex without colon", head + "\"a\"=hex 01\r\n", 4, "':'"},
      {"bad byte on a continuation line", head + "\"a\"=hex:01,\\\r\n  02,\\\r\n  zz\r\n", 6,
       "bad hex byte"},
      {"continued past the end", head + "\"a\"=hex:01,\\", 4, "past the end"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Regedit4Entry> entries(1);  // marker: must stay as it was
    entries[0].name = "marker";
    std::string error;
    EXPECT_FALSE(ParseRegedit4(c.text, "fixture.reg", entries, error));
    EXPECT_EQ(error.rfind("fixture.reg: line " + std::to_string(c.line) + ": ", 0), 0u)
        << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "marker");
  }
}

TEST(Regedit4Read, MessagesAreUtf8) {
  std::string error;
  Parse("REGEDIT4\r\n[HKEY_表\\x]\r\n", &error);
  EXPECT_NE(error.find("\"HKEY_\xe8\xa1\xa8\""), std::string::npos) << error;
}

std::string Utf16Le(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

TEST(Regedit4Read, Version5UnicodeFilesBecomeCp932) {
  const std::string file = Utf16Le(
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_CURRENT_USER\\\u8868\u793a]\r\n"                // 表示
      u"\"\u540d\u524d\"=\"\u5024\\\\\"\r\n"                  // 名前 = 値\ .
      u"\"e\"=hex(2):25,00,61,00,25,00,00,00\r\n"
      u"\"m\"=hex(7):68,88,00,00,79,00,00,00,00,00\r\n"      // 表, y
      u"\"d\"=dword:00000002\r\n"
      u"\"b\"=hex:01,02\r\n");
  const std::string where = "HKEY_CURRENT_USER\\表示";
  EXPECT_EQ(Parse(file), (std::vector<std::string>{
                             K(where), V(where, "名前", 1, "値\\\0"s),
                             V(where, "e", 2, "%a%\0"s), V(where, "m", 7, "表\0y\0\0"s),
                             V(where, "d", 4, "\x02\0\0\0"s), V(where, "b", 3, "\x01\x02")}));
}

TEST(Regedit4Read, Version5ErrorsNameTheLine) {
  const std::string head = "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\T]\r\n";
  struct {
    const char* name;
    std::u16string text;
    int line;
  } cases[] = {
      {"character outside CP932", u"Windows Registry Editor Version 5.00\r\n"
                                  u"[HKEY_CURRENT_USER\\T]\r\n\"\uD55C\"=\"x\"\r\n",
       3},
      {"odd UTF-16 data", u"Windows Registry Editor Version 5.00\r\n"
                          u"[HKEY_CURRENT_USER\\T]\r\n\r\n\"a\"=hex(2):25,00,61\r\n",
       4},
      {"REGEDIT4 header in a Unicode file", u"REGEDIT4\r\n", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    Parse(Utf16Le(c.text), &error);
    EXPECT_EQ(error.rfind("test.reg: line " + std::to_string(c.line) + ": ", 0), 0u) << error;
  }
}

// ---- writer ----

Regedit4Value Val(std::string name, uint32_t type, std::string data) {
  return Regedit4Value{std::move(name), type, std::move(data)};
}

TEST(Regedit4Write, CanonicalText) {
  std::vector<Regedit4Key> keys = {
      {Hive::CurrentUser, "Software\\b",
       {Val("", kRegSz, "d\0"s), Val("q\"\\", kRegSz, "C:\\x\0"s)}},
      {Hive::LocalMachine, "SYSTEM", {}},
      {Hive::CurrentUser, "Software\\A", {Val("n", kRegDword, "\x01\0\0\0"s)}},
      {Hive::CurrentUser, "", {}},
      {Hive::ClassesRoot, "", {Val("r", kRegBinary, "\xab")}},
  };
  EXPECT_EQ(WriteRegedit4(keys),
            "REGEDIT4\r\n"
            "\r\n[HKEY_CLASSES_ROOT]\r\n\"r\"=hex:ab\r\n"
            "\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"n\"=dword:00000001\r\n"
            "\r\n[HKEY_CURRENT_USER\\Software\\b]\r\n@=\"d\"\r\n"
            "\"q\\\"\\\\\"=\"C:\\\\x\"\r\n"
            "\r\n[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n"
            "\r\n");
}

TEST(Regedit4Write, ValueForms) {
  struct {
    const char* name;
    Regedit4Value value;
    const char* line;
  } cases[] = {
      {"string", Val("v", kRegSz, "abc\0"s), "\"v\"=\"abc\""},
      {"string without zero", Val("v", kRegSz, "abc"), "\"v\"=hex(1):61,62,63"},
      {"string of size 0", Val("v", kRegSz, ""), "\"v\"=hex(1):"},
      {"zero inside", Val("v", kRegSz, "a\0b\0"s), "\"v\"=hex(1):61,00,62,00"},
      {"line break inside", Val("v", kRegSz, "a\r\nb\0"s), "\"v\"=hex(1):61,0d,0a,62,00"},
      {"lone lead byte at the end", Val("v", kRegSz, "\x81\0"s), "\"v\"=hex(1):81,00"},
      {"trail byte 0x5C not escaped", Val("表", kRegSz, "ソ\\\0"s), "\"表\"=\"ソ\\\\\""},
      {"expand string", Val("v", kRegExpandSz, "%a%\0"s), "\"v\"=hex(2):25,61,25,00"},
      {"multi string", Val("v", kRegMultiSz, "a\0\0"s), "\"v\"=hex(7):61,00,00"},
      {"dword", Val("v", kRegDword, "\x78\x56\x34\x12"), "\"v\"=dword:12345678"},
      {"dword of 3 bytes", Val("v", kRegDword, "\x01\x02\x03"), "\"v\"=hex(4):01,02,03"},
      {"empty binary", Val("v", kRegBinary, ""), "\"v\"=hex:"},
      {"none", Val("v", kRegNone, ""), "\"v\"=hex(0):"},
      {"other type", Val("v", 0x1234, "\xff"), "\"v\"=hex(1234):ff"},
      {"default value", Val("", kRegDword, "\0\0\0\0"s), "@=dword:00000000"},
      {"name with quote and backslash", Val("a\"b\\c", kRegSz, "\0"s), "\"a\\\"b\\\\c\"=\"\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = WriteRegedit4({{Hive::Users, "k", {c.value}}});
    EXPECT_EQ(text, "REGEDIT4\r\n\r\n[HKEY_USERS\\k]\r\n" + std::string(c.line) + "\r\n\r\n");
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST(Regedit4Write, HexIsWrappedAsRegeditWrapsIt) {
  std::string data;
  for (int i = 0; i < 60; ++i) data.push_back(static_cast<char>(i));
  auto lines = Lines(WriteRegedit4({{Hive::LocalMachine, "k", {Val("ProductId", 3, data)}}}));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[3],
            "\"ProductId\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,"
            "13,14,\\");
  EXPECT_EQ(lines[4],
            "  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,\\");
  EXPECT_EQ(lines[5], "  2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b");
  EXPECT_EQ(lines[3].size(), 80u);

  // A name longer than a line still gets its first byte on its own line.
  std::string longName(100, 'n');
  lines = Lines(WriteRegedit4({{Hive::LocalMachine, "k", {Val(longName, 3, "\x01\x02")}}}));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3], "\"" + longName + "\"=hex:01,\\");
  EXPECT_EQ(lines[4], "  02");
}

// ---- round trips ----

class RandomRegistry {
 public:
  explicit RandomRegistry(unsigned seed) : rng_(seed) {}

  std::vector<Regedit4Key> Make() {
    std::vector<Regedit4Key> keys;
    for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser, Hive::Users, Hive::ClassesRoot})
      if (Chance(3)) AddKey(keys, hive, "", 0);
    return keys;
  }

 private:
  bool Chance(int n) { return Int(0, n - 1) == 0; }
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  std::string RandomName() {
    static const char* const kPieces[] = {
        "a", "B", "z", "Z", "0", " ", "\t", "\"", "\\", "]", "[", "@", "=", ";", "-", ",",
        "\r", "\x80", "\xa0", "\xfd", "\xff", "\xb1", "表", "ソ", "能", "ア", "ャ", "漢", "字"};
    std::string name;
    int n = Int(1, 8);
    for (int i = 0; i < n; ++i) {
      switch (Int(0, 2)) {
        case 0: name += kPieces[Int(0, std::size(kPieces) - 1)]; break;
        case 1: name.push_back(static_cast<char>(Int(1, 255))); break;
        default:  // a lead byte with any trail byte
          name.push_back(static_cast<char>(Int(0x81, 0x9F)));
          name.push_back(static_cast<char>(Int(1, 255)));
      }
    }
    return name;
  }

  std::string RandomBytes(int max) {
    std::string data;
    int n = Int(0, max);
    for (int i = 0; i < n; ++i) data.push_back(static_cast<char>(Int(0, 255)));
    return data;
  }

  Regedit4Value RandomValue() {
    static const uint32_t kTypes[] = {kRegNone, kRegSz, kRegSz, kRegExpandSz,
                                      kRegBinary, kRegDword, kRegDword, kRegMultiSz, 11};
    Regedit4Value v;
    v.type = Chance(10) ? static_cast<uint32_t>(rng_()) : kTypes[Int(0, std::size(kTypes) - 1)];
    if (v.type == kRegSz && Chance(2)) {
      v.data = RandomName() + '\0';  // usually a quoted string
    } else if (v.type == kRegDword && Chance(2)) {
      v.data = RandomBytes(0);
      for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<char>(Int(0, 255)));
    } else {
      v.data = RandomBytes(Chance(5) ? 300 : 20);
    }
    return v;
  }

  void AddKey(std::vector<Regedit4Key>& keys, Hive hive, const std::string& path, int depth) {
    Regedit4Key key{hive, path, {}};
    std::set<std::string> names;
    int values = Int(0, 4);
    for (int i = 0; i < values; ++i) {
      Regedit4Value v = RandomValue();
      v.name = Chance(6) ? "" : RandomName();
      if (!IsRegedit4ValueName(v.name) || !names.insert(Cp932ToUpperAscii(v.name)).second)
        continue;
      key.values.push_back(std::move(v));
    }
    keys.push_back(std::move(key));
    if (depth == 3) return;
    std::set<std::string> subkeys;
    int children = Int(0, 3);
    for (int i = 0; i < children; ++i) {
      std::string name = RandomName();
      if (!IsRegedit4KeyName(name) || !subkeys.insert(Cp932ToUpperAscii(name)).second) continue;
      AddKey(keys, hive, path.empty() ? name : path + "\\" + name, depth + 1);
    }
  }

  std::mt19937 rng_;
};

// What a parsed canonical file holds: every key once, with its values.
std::map<std::string, std::vector<std::string>> Content(const std::vector<Regedit4Entry>& entries) {
  std::map<std::string, std::vector<std::string>> content;
  for (const auto& e : entries) {
    auto& values = content[FullPath(e.hive, e.path)];
    if (e.kind == Regedit4Entry::Kind::Value)
      values.push_back(Describe(e));
    else
      EXPECT_EQ(e.kind, Regedit4Entry::Kind::Key);
  }
  return content;
}

std::map<std::string, std::vector<std::string>> Content(const std::vector<Regedit4Key>& keys) {
  std::map<std::string, std::vector<std::string>> content;
  for (const auto& key : keys) {
    if (key.path.empty() && key.values.empty()) continue;  // hives get no line of their own
    auto& values = content[FullPath(key.hive, key.path)];
    for (const auto& v : key.values) {
      Regedit4Entry e;
      e.kind = Regedit4Entry::Kind::Value;
      e.hive = key.hive;
      e.path = key.path;
      e.name = v.name;
      e.type = v.type;
      e.data = v.data;
      values.push_back(Describe(e));
    }
  }
  return content;
}

TEST(Regedit4RoundTrip, RandomContentReadsBackExactly) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::vector<Regedit4Key> keys = RandomRegistry(seed).Make();
    std::string text = WriteRegedit4(keys);
    std::vector<Regedit4Entry> entries;
    std::string error;
    ASSERT_TRUE(ParseRegedit4(text, "round-trip", entries, error)) << error;
    EXPECT_EQ(Content(entries), Content(keys));

    // The text is canonical: writing what was read gives the same bytes, and
    // so does the simulated registry after loading it.
    std::vector<Regedit4Key> reread;
    for (const auto& e : entries) {
      if (e.kind == Regedit4Entry::Kind::Key)
        reread.push_back({e.hive, e.path, {}});
      else
        reread.back().values.push_back({e.name, e.type, e.data});
    }
    EXPECT_EQ(WriteRegedit4(reread), text);
    SimRegistry registry;
    ASSERT_TRUE(registry.LoadText(text, error)) << error;
    EXPECT_EQ(registry.ToRegedit4(), text);

    // Made key by key in the reverse order, the registry writes it alike.
    SimRegistry built;
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
      std::unique_ptr<IRegistryKey> key;
      ASSERT_EQ(built.CreateKey(it->hive, it->path, kKeyAllAccess, key), kErrorSuccess);
      for (const auto& v : it->values)
        ASSERT_EQ(key->SetValue(v.name, v.type, v.data), kErrorSuccess);
    }
    EXPECT_EQ(built.ToRegedit4(), text);
  }
}

TEST(Regedit4RoundTrip, DamagedTextIsRejectedOrReadNeverFatal) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::string text = WriteRegedit4(RandomRegistry(seed).Make());
    std::mt19937 rng(seed);
    for (int i = 0; i < 3; ++i) {
      size_t at = std::uniform_int_distribution<size_t>(0, text.size() - 1)(rng);
      switch (rng() % 3) {
        case 0: text[at] = static_cast<char>(rng()); break;
        case 1: text.erase(at, 1); break;
        default: text.insert(at, 1, "\\\"[],:=\n-@;"[rng() % 11]);
      }
    }
    std::vector<Regedit4Entry> entries;
    std::string error;
    if (!ParseRegedit4(text, "damaged.reg", entries, error)) {
      EXPECT_EQ(error.rfind("damaged.reg: ", 0), 0u) << error;
      EXPECT_TRUE(entries.empty());
    }
  }
}

TEST(Regedit4Names, WhatAFileCanHold) {
  EXPECT_TRUE(IsRegedit4ValueName(""));
  EXPECT_TRUE(IsRegedit4ValueName("表"));
  EXPECT_TRUE(IsRegedit4ValueName("a\\b\r\""));
  EXPECT_FALSE(IsRegedit4ValueName("a\nb"));
  EXPECT_FALSE(IsRegedit4ValueName("a\0b"s));
  EXPECT_FALSE(IsRegedit4ValueName("a\x81"));
  EXPECT_TRUE(IsRegedit4KeyName("表"));  // its 0x5C is a trail byte
  EXPECT_FALSE(IsRegedit4KeyName(""));
  EXPECT_FALSE(IsRegedit4KeyName("a\\b"));
}

TEST(Regedit4Names, KeyOrderIsWindowsOrder) {
  auto less = [](std::string_view a, std::string_view b) {
    return OrderOfKeyName(a) < OrderOfKeyName(b);
  };
  EXPECT_TRUE(less("a", "B"));
  EXPECT_TRUE(less("B", "_"));   // upper-cased before comparing: 'B' < '_' < 'b'
  EXPECT_TRUE(less("10", "9"));
  EXPECT_TRUE(less("字", "漢"));  // U+5B57 < U+6F22, though CP932 8E9A > 8ABF
  EXPECT_FALSE(less("Tcpip", "TCPIP"));
  EXPECT_FALSE(less("TCPIP", "Tcpip"));
  EXPECT_TRUE(less("ア", "ャ"));  // trail bytes 'A' and 'a' are not folded
}

}  // namespace
}  // namespace velandra::platform::sim
