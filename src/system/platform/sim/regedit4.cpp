#include "system/platform/sim/regedit4.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {

namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsSpace(s[n - 1])) --n;
  return s.substr(0, n);
}

std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to 8 hex digits, nothing else.
bool ParseHex32(std::string_view s, uint32_t& value) {
  if (s.empty() || s.size() > 8) return false;
  uint32_t v = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0) return false;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  value = v;
  return true;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  return Cp932EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

// Text for a message: CP932 converted, cut short when long.
std::string Quote(std::string_view cp932) {
  std::string_view shown = cp932.substr(0, 60);
  std::string out = "\"" + Cp932ToUtf8(shown) + "\"";
  if (shown.size() < cp932.size()) out.insert(out.size() - 1, "...");
  return out;
}

// True when walking `text` by characters ends exactly at its end, i.e. its
// last byte is not a lead byte waiting for a trail byte.
bool EndsOnCharBoundary(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (IsCp932LeadByte(static_cast<unsigned char>(text[pos])) &&
        pos + 1 >= text.size())
      return false;
    pos += Cp932CharLength(text, pos);
  }
  return true;
}

std::string Utf16BytesToCp932(std::string_view bytes, bool& ok) {
  std::u16string wide(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < wide.size(); ++i)
    wide[i] = static_cast<char16_t>(
        static_cast<unsigned char>(bytes[2 * i]) |
        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  ok = true;
  return Utf16ToCp932(wide, &ok);
}

class Parser {
 public:
  Parser(std::string_view source, std::vector<std::string> lines, bool unicode)
      : source_(source), lines_(std::move(lines)), unicode_(unicode) {}

  bool Run(std::vector<Regedit4Entry>& entries, std::string& error) {
    for (index_ = 1; index_ < lines_.size(); ++index_) {
      if (!ParseLine()) {
        error = error_;
        return false;
      }
    }
    entries = std::move(entries_);
    return true;
  }

 private:
  int LineNumber() const { return static_cast<int>(index_) + 1; }

  bool Fail(const std::string& what) {
    error_ = std::string(source_) + ": line " + std::to_string(LineNumber()) +
             ": " + what;
    return false;
  }

  bool ParseLine() {
    std::string_view line = TrimLeft(lines_[index_]);
    if (line.empty() || line[0] == ';') return true;
    if (line[0] == '[') return ParseKeyLine(line);
    if (line[0] == '"' || line[0] == '@') return ParseValueLine(line);
    return Fail("neither a [key] line, a value line nor a ';' comment: " +
                Quote(TrimRight(line)));
  }

  bool ParseKeyLine(std::string_view line) {
    line = TrimRight(line);
    size_t close = Cp932FindLast(line, ']');
    if (close == std::string_view::npos || close + 1 != line.size())
      return Fail("key line without closing ']'");
    std::string_view inner = line.substr(1, close - 1);
    bool deletion = !inner.empty() && inner[0] == '-';
    if (deletion) inner.remove_prefix(1);
    size_t sep = Cp932Find(inner, '\\');
    std::string_view hiveName = inner.substr(0, sep);
    Hive hive;
    if (!ParseHiveName(hiveName, hive))
      return Fail("unknown root key " + Quote(hiveName) +
                  " (known: HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, "
                  "HKEY_LOCAL_MACHINE, HKEY_USERS)");
    std::string_view path;
    if (sep != std::string_view::npos) {
      path = inner.substr(sep + 1);
      size_t start = 0;
      while (true) {
        size_t next = Cp932Find(path, '\\', start);
        std::string_view part = path.substr(
            start, next == std::string_view::npos ? std::string_view::npos
                                                  : next - start);
        if (part.empty()) return Fail("empty key name in " + Quote(inner));
        if (next == std::string_view::npos) break;
        start = next + 1;
      }
    }
    Regedit4Entry entry;
    entry.hive = hive;
    entry.path = std::string(path);
    entry.line = LineNumber();
    if (deletion) {
      if (path.empty()) return Fail("a root key cannot be deleted");
      entry.kind = Regedit4Entry::Kind::DeleteKey;
      haveKey_ = false;
      afterDeletion_ = true;
    } else {
      entry.kind = Regedit4Entry::Kind::Key;
      haveKey_ = true;
      afterDeletion_ = false;
      keyHive_ = hive;
      keyPath_ = entry.path;
    }
    entries_.push_back(std::move(entry));
    return true;
  }

  // A quoted text starting at line[pos] == '"'; pos ends after the closing
  // quote. Only \\ and \" are escapes, and only outside two-byte characters.
  bool ParseQuoted(std::string_view line, size_t& pos, std::string& out,
                   const char* what) {
    ++pos;
    while (pos < line.size()) {
      size_t n = Cp932CharLength(line, pos);
      if (n == 2) {
        out.append(line.substr(pos, 2));
        pos += 2;
        continue;
      }
      char c = line[pos];
      if (c == '"') {
        ++pos;
        return true;
      }
      if (c == '\\') {
        if (pos + 1 >= line.size()) break;
        char d = line[pos + 1];
        if (d != '\\' && d != '"')
          return Fail(std::string("unknown escape in the ") + what + " " +
                      Quote(line.substr(pos, 2)) +
                      " (only \\\\ and \\\" are escapes)");
        out.push_back(d);
        pos += 2;
        continue;
      }
      out.push_back(c);
      ++pos;
    }
    return Fail(std::string("the ") + what + " has no closing quote");
  }

  bool ParseValueLine(std::string_view line) {
    Regedit4Entry entry;
    entry.line = LineNumber();
    size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (!ParseQuoted(line, pos, entry.name, "value name")) {
      return false;
    }
    while (pos < line.size() && IsSpace(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=')
      return Fail("expected '=' after the value name");
    ++pos;
    while (pos < line.size() && IsSpace(line[pos])) ++pos;
    if (!haveKey_)
      return Fail(afterDeletion_
                      ? "value line after a key deletion (values need a "
                        "[key] line)"
                      : "value line before the first [key] line");
    entry.hive = keyHive_;
    entry.path = keyPath_;
    std::string_view rest = line.substr(pos);

    if (Trim(rest) == "-") {
      entry.kind = Regedit4Entry::Kind::DeleteValue;
    } else if (!rest.empty() && rest[0] == '"') {
      size_t p = 0;
      std::string text;
      if (!ParseQuoted(rest, p, text, "string")) return false;
      if (!Trim(rest.substr(p)).empty())
        return Fail("unexpected text after the string: " +
                    Quote(Trim(rest.substr(p))));
      entry.kind = Regedit4Entry::Kind::Value;
      entry.type = kRegSz;
      entry.data = std::move(text);
      entry.data.push_back('\0');
    } else if (StartsWithNoCase(rest, "dword:")) {
      std::string_view digits = TrimRight(rest.substr(6));
      uint32_t v = 0;
      if (!ParseHex32(digits, v))
        return Fail("dword needs 1 to 8 hex digits, not " + Quote(digits));
      entry.kind = Regedit4Entry::Kind::Value;
      entry.type = kRegDword;
      char bytes[4] = {static_cast<char>(v & 0xFF),
                       static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF),
                       static_cast<char>((v >> 24) & 0xFF)};
      entry.data.assign(bytes, 4);
    } else if (StartsWithNoCase(rest, "hex")) {
      size_t p = 3;
      uint32_t type = kRegBinary;
      if (p < rest.size() && rest[p] == '(') {
        size_t close = rest.find(')', p);
        if (close == std::string_view::npos ||
            !ParseHex32(rest.substr(p + 1, close - p - 1), type))
          return Fail("hex(N) needs a type N of 1 to 8 hex digits");
        p = close + 1;
      }
      if (p >= rest.size() || rest[p] != ':')
        return Fail("expected ':' after " + Quote(rest.substr(0, p)));
      entry.kind = Regedit4Entry::Kind::Value;
      entry.type = type;
      if (!ParseHexBytes(rest.substr(p + 1), entry.data)) return false;
      if (unicode_ && (type == kRegSz || type == kRegExpandSz ||
                       type == kRegMultiSz)) {
        // Version 5 files hold string types as UTF-16LE bytes.
        if (entry.data.size() % 2 != 0)
          return Fail("UTF-16 string data with an odd number of bytes");
        bool ok = true;
        entry.data = Utf16BytesToCp932(entry.data, ok);
        if (!ok) return Fail("string data that code page 932 cannot hold");
      }
    } else {
      return Fail("unknown value form " + Quote(TrimRight(rest)) +
                  " (expected \"text\", dword:, hex:, hex(N): or -)");
    }
    entries_.push_back(std::move(entry));
    return true;
  }

  // Comma-separated bytes, continued on the next line after a trailing '\'.
  // Leaves index_ on the last line of the value.
  bool ParseHexBytes(std::string_view chunk, std::string& data) {
    while (true) {
      chunk = TrimRight(chunk);
      bool continued = !chunk.empty() && chunk.back() == '\\';
      if (continued) chunk.remove_suffix(1);
      size_t start = 0;
      while (true) {
        size_t comma = chunk.find(',', start);
        bool last = comma == std::string_view::npos;
        std::string_view token =
            Trim(chunk.substr(start, last ? std::string_view::npos : comma - start));
        if (token.empty()) {
          if (!last) return Fail("empty byte between commas");
        } else {
          int hi = HexDigit(token[0]);
          int lo = token.size() == 2 ? HexDigit(token[1]) : 0;
          if (token.size() > 2 || hi < 0 || lo < 0)
            return Fail("bad hex byte " + Quote(token));
          data.push_back(static_cast<char>(
              token.size() == 2 ? (hi << 4) | lo : hi));
        }
        if (last) break;
        start = comma + 1;
      }
      if (!continued) return true;
      if (index_ + 1 >= lines_.size())
        return Fail("value continued past the end of the file");
      ++index_;
      chunk = lines_[index_];
    }
  }

  std::string_view source_;
  std::vector<std::string> lines_;
  bool unicode_;
  size_t index_ = 0;
  bool haveKey_ = false;
  bool afterDeletion_ = false;
  Hive keyHive_ = Hive::LocalMachine;
  std::string keyPath_;
  std::vector<Regedit4Entry> entries_;
  std::string error_;
};

std::string LineError(std::string_view source, size_t line,
                      const std::string& what) {
  return std::string(source) + ": line " + std::to_string(line) + ": " + what;
}

// Lines of a byte file (LF or CRLF); false on a NUL byte.
bool SplitLines(std::string_view bytes, std::string_view source,
                std::vector<std::string>& lines, std::string& error) {
  size_t start = 0;
  while (true) {
    size_t end = bytes.find('\n', start);
    std::string_view line = bytes.substr(
        start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\0') != std::string_view::npos) {
      error = LineError(source, lines.size() + 1, "NUL byte in the line");
      return false;
    }
    lines.emplace_back(line);
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

// Lines of a UTF-16LE file (after its byte order mark), each converted to
// CP932; false when a line holds what CP932 cannot.
bool SplitUtf16Lines(std::string_view bytes, std::string_view source,
                     std::vector<std::string>& lines, std::string& error) {
  if (bytes.size() % 2 != 0) {
    error = std::string(source) +
            ": a UTF-16 file with an odd number of bytes (cut short?)";
    return false;
  }
  std::u16string line;
  auto finish = [&]() {
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    if (line.find(u'\0') != std::u16string::npos) {
      error = LineError(source, lines.size() + 1, "NUL character in the line");
      return false;
    }
    bool ok = true;
    std::string text = Utf16ToCp932(line, &ok);
    if (!ok) {
      error = LineError(source, lines.size() + 1,
                        "characters that code page 932 cannot hold");
      return false;
    }
    lines.push_back(std::move(text));
    line.clear();
    return true;
  };
  for (size_t i = 0; i < bytes.size(); i += 2) {
    char16_t c = static_cast<char16_t>(
        static_cast<unsigned char>(bytes[i]) |
        (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (c == u'\n') {
      if (!finish()) return false;
    } else {
      line.push_back(c);
    }
  }
  return finish();
}

void AppendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  // Most texts have neither byte, not even as a trail byte: nothing to escape.
  if (text.find_first_of("\\\"") == std::string_view::npos) {
    out.append(text);
    out.push_back('"');
    return;
  }
  for (size_t pos = 0; pos < text.size();) {
    size_t n = Cp932CharLength(text, pos);
    if (n == 1 && (text[pos] == '\\' || text[pos] == '"')) out.push_back('\\');
    out.append(text.substr(pos, n));
    pos += n;
  }
  out.push_back('"');
}

// Data a quoted string reads back to exactly: text and one terminating zero.
bool IsPlainString(std::string_view data) {
  if (data.empty() || data.back() != '\0') return false;
  std::string_view text = data.substr(0, data.size() - 1);
  if (text.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos)
    return false;
  return EndsOnCharBoundary(text);
}

// Hex bytes wrapped as regedit does: no line longer than 80 characters, the
// trailing '\' included, continuation lines indented by two spaces.
void AppendHex(std::string& out, size_t lineStart, std::string_view data) {
  static const char kDigits[] = "0123456789abcdef";
  size_t lineLen = out.size() - lineStart;
  bool lineHasByte = false;
  for (size_t i = 0; i < data.size(); ++i) {
    if (lineHasByte && lineLen + 3 > 79) {
      out += "\\\r\n  ";
      lineLen = 2;
    }
    unsigned char b = static_cast<unsigned char>(data[i]);
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0xF]);
    lineLen += 2;
    if (i + 1 < data.size()) {
      out.push_back(',');
      ++lineLen;
    }
    lineHasByte = true;
  }
}

void AppendValue(std::string& out, const Regedit4Value& value) {
  size_t lineStart = out.size();
  if (value.name.empty())
    out.push_back('@');
  else
    AppendQuoted(out, value.name);
  out.push_back('=');
  char buf[32];
  if (value.type == kRegSz && IsPlainString(value.data)) {
    AppendQuoted(out, std::string_view(value.data).substr(0, value.data.size() - 1));
  } else if (value.type == kRegDword && value.data.size() == 4) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
      v = (v << 8) | static_cast<unsigned char>(value.data[i]);
    std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(v));
    out += buf;
  } else {
    if (value.type == kRegBinary) {
      out += "hex:";
    } else {
      std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(value.type));
      out += buf;
    }
    AppendHex(out, lineStart, value.data);
  }
  out += "\r\n";
}

int HiveRank(Hive hive) {
  int rank = 0;
  for (Hive h : kRegedit4HiveOrder) {
    if (h == hive) break;
    ++rank;
  }
  return rank;
}

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  if (path.empty()) return parts;
  size_t start = 0;
  while (true) {
    size_t next = Cp932Find(path, '\\', start);
    parts.push_back(path.substr(
        start, next == std::string_view::npos ? std::string_view::npos : next - start));
    if (next == std::string_view::npos) return parts;
    start = next + 1;
  }
}

}  // namespace

bool ParseRegedit4(std::string_view bytes, std::string_view source,
                   std::vector<Regedit4Entry>& entries, std::string& error) {
  std::vector<std::string> lines;
  bool unicode = false;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    unicode = true;
    if (!SplitUtf16Lines(bytes.substr(2), source, lines, error)) return false;
  } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
             static_cast<unsigned char>(bytes[1]) == 0xFF) {
    error = LineError(source, 1, "UTF-16 big-endian files are not read "
                                 "(save as REGEDIT4 or as regedit's Unicode)");
    return false;
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    error = LineError(source, 1, "UTF-8 files are not read (save as REGEDIT4, "
                                 "whose text is code page 932)");
    return false;
  } else if (!SplitLines(bytes, source, lines, error)) {
    return false;
  }
  std::string_view header = TrimRight(lines[0]);
  if (unicode ? header != kHeader5 : header != kHeader4) {
    if (!unicode && header == kHeader5)
      error = LineError(source, 1, "a \"" + std::string(kHeader5) +
                                       "\" file must be UTF-16LE with a byte "
                                       "order mark, as regedit saves it");
    else
      error = LineError(source, 1, "the first line must be \"" +
                                       std::string(unicode ? kHeader5 : kHeader4) +
                                       "\", not " + Quote(header));
    return false;
  }
  Parser parser(source, std::move(lines), unicode);
  return parser.Run(entries, error);
}

bool IsRegedit4ValueName(std::string_view name) {
  if (name.find_first_of(std::string_view("\0\n", 2)) != std::string_view::npos)
    return false;
  return EndsOnCharBoundary(name);
}

bool IsRegedit4KeyName(std::string_view name) {
  return !name.empty() && IsRegedit4ValueName(name) &&
         Cp932Find(name, '\\') == std::string_view::npos;
}

KeyNameOrder OrderOfKeyName(std::string_view name) {
  KeyNameOrder order;
  order.upper = Cp932ToUpperAscii(name);
  bool ascii = std::all_of(order.upper.begin(), order.upper.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii)
    order.wide.assign(order.upper.begin(), order.upper.end());
  else
    order.wide = Cp932ToUtf16(order.upper);
  return order;
}

namespace {

void AppendKey(std::string& out, const Regedit4Key& key) {
  if (key.path.empty() && key.values.empty()) return;
  out += "\r\n[";
  out += HiveName(key.hive);
  if (!key.path.empty()) {
    out.push_back('\\');
    out += key.path;
  }
  out += "]\r\n";
  for (const auto& value : key.values) AppendValue(out, value);
}

}  // namespace

std::string WriteRegedit4(const std::vector<Regedit4Key>& keys) {
  struct Sorted {
    int hive;
    std::vector<KeyNameOrder> parts;
    const Regedit4Key* key;
  };
  std::vector<Sorted> sorted;
  sorted.reserve(keys.size());
  for (const auto& key : keys) {
    Sorted s{HiveRank(key.hive), {}, &key};
    for (std::string_view part : SplitPath(key.path))
      s.parts.push_back(OrderOfKeyName(part));
    sorted.push_back(std::move(s));
  }
  std::stable_sort(sorted.begin(), sorted.end(), [](const Sorted& a, const Sorted& b) {
    if (a.hive != b.hive) return a.hive < b.hive;
    return std::lexicographical_compare(a.parts.begin(), a.parts.end(),
                                        b.parts.begin(), b.parts.end());
  });

  std::string out(kHeader4);
  out += "\r\n";
  for (const auto& s : sorted) AppendKey(out, *s.key);
  out += "\r\n";
  return out;
}

std::string WriteOrderedRegedit4(const std::vector<Regedit4Key>& keys) {
  std::string out(kHeader4);
  out += "\r\n";
  for (const Regedit4Key& key : keys) AppendKey(out, key);
  out += "\r\n";
  return out;
}

}  // namespace velandra::platform::sim
