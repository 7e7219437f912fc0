// One table of private-profile cases, run against SimProfile and, in the
// Windows build, against Win32Profile (kernel32; Wine's when run under Wine)
// with the very same rows. A row that Wine answers differently is skipped
// for Win32Profile with the reason; SimProfile keeps the behaviour of the row.
#include "system/platform/sim/sim_profile.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/scratch_dir.h"
#include "system/platform/sim/host_files.h"
#ifdef _WIN32
#include "system/platform/win32/win32_profile.h"
#endif

namespace velandra::platform {
namespace {

using sim::SimProfile;

std::string ReadBytes(const std::filesystem::path& path) {
  std::string data;
  return sim::ReadHostFile(path, data) ? data : std::string();
}

bool Exists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

void WriteBytes(const std::filesystem::path& path, const std::string& data) {
  ASSERT_TRUE(sim::WriteHostFileAtomically(path, data));
}

// Shows control and high bytes, so that a failing row is readable.
std::string Visible(const std::string& s) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s.substr(0, 400)) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  if (s.size() > 400) out += "...(" + std::to_string(s.size()) + " bytes)";
  return out;
}

// ---------------------------------------------------------------------------
// The table.

enum class Op { String, Int, Section, Write, DeleteKey, DeleteSection };

struct Row {
  std::string name;
  std::optional<std::string> before;  // nullopt: no file
  Op op = Op::String;
  std::string section, key, arg;  // arg: the default (String) or the value (Write)
  uint32_t size = 256;
  int intDefault = 0;
  std::string result;  // String, Section: the bytes; Int: decimal; writes: "ok"/"refused"
  std::optional<std::string> after;  // writes: the file afterwards (nullopt: none)
  std::optional<std::string> readBack;  // writes: GetString of the key afterwards
  bool missingDir = false;  // the file's directory does not exist
  const char* wine = nullptr;  // why Wine's kernel32 answers otherwise

  Row& Wine(const char* why) {
    wine = why;
    return *this;
  }
  Row& ReadsBack(std::string v) {
    readBack = std::move(v);
    return *this;
  }
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

std::optional<std::string> NoFile() { return std::nullopt; }

Row Str(std::string name, std::optional<std::string> before, std::string section,
        std::string key, std::string def, uint32_t size, std::string expect) {
  Row r;
  r.name = std::move(name);
  r.before = std::move(before);
  r.op = Op::String;
  r.section = std::move(section);
  r.key = std::move(key);
  r.arg = std::move(def);
  r.size = size;
  r.result = std::move(expect);
  return r;
}

Row Int(std::string name, std::optional<std::string> before, std::string section,
        std::string key, int def, int expect) {
  Row r;
  r.name = std::move(name);
  r.before = std::move(before);
  r.op = Op::Int;
  r.section = std::move(section);
  r.key = std::move(key);
  r.intDefault = def;
  r.result = std::to_string(expect);
  return r;
}

Row Sec(std::string name, std::optional<std::string> before, std::string section,
        uint32_t size, std::string expect) {
  Row r;
  r.name = std::move(name);
  r.before = std::move(before);
  r.op = Op::Section;
  r.section = std::move(section);
  r.size = size;
  r.result = std::move(expect);
  return r;
}

Row Put(std::string name, std::optional<std::string> before, std::string section,
        std::string key, std::string value, bool ok, std::optional<std::string> after) {
  Row r;
  r.name = std::move(name);
  r.before = std::move(before);
  r.op = Op::Write;
  r.section = std::move(section);
  r.key = std::move(key);
  r.arg = std::move(value);
  r.result = ok ? "ok" : "refused";
  r.after = std::move(after);
  return r;
}

Row DelKey(std::string name, std::optional<std::string> before, std::string section,
           std::string key, std::optional<std::string> after) {
  Row r;
  r.name = std::move(name);
  r.before = std::move(before);
  r.op = Op::DeleteKey;
  r.section = std::move(section);
  r.key = std::move(key);
  r.result = "ok";
  r.after = std::move(after);
  return r;
}

Row DelSec(std::string name, std::optional<std::string> before, std::string section,
           std::optional<std::string> after) {
  Row r;
  r.name = std::move(name);
  r.before = std::move(before);
  r.op = Op::DeleteSection;
  r.section = std::move(section);
  r.result = "ok";
  r.after = std::move(after);
  return r;
}

std::string Z(const char* s, size_t n) { return std::string(s, n); }  // bytes with NULs

// Wine's reasons, one each, shared by the rows they explain.
const char kWineRebuilds[] =
    "Wine rebuilds the whole file on every write and drops blank lines and "
    "formatting; Windows edits the file in place and keeps every other line";
const char kWineNulLost[] =
    "Wine rebuilds the file from what it read, so the bytes after a NUL in a "
    "line are lost on any write; Windows edits the file in place";
const char kWineConverts[] =
    "Wine rebuilds the file through UTF-16: bytes that are no CP932 become "
    "0x81 0x45, line breaks become CRLF, the rest of a line after a NUL goes";
const char kWineFirstCopy[] =
    "Wine (like Windows, as far as I know) removes only the first copy of a "
    "duplicated name, so the second copy then reads back; SimProfile removes "
    "every copy so that the deleted name is really gone";

// 64 KB of every byte value, NUL, CR, LF, '[', ']' and '=' included, ending
// with a line break; deterministic.
std::string Garbage() {
  std::string g;
  uint32_t x = 12345;
  for (int i = 0; i < 65536; ++i) {
    x = x * 1103515245u + 12345u;
    g += static_cast<char>(x >> 23);
  }
  return g + "\r\n";
}

std::string HugeFile() {
  return "[A]\r\nbig=" + std::string(1 << 20, 'x') + "\r\nk=v\r\n";
}

std::vector<Row> Rows() {
  const std::string kA = "[A]\r\nk=v\r\n";
  const std::string kList = "[A]\r\na=1\r\nb=2\r\n; c\r\n\r\nnoeq\r\n q = \"x\" \r\n[B]\r\nz=9\r\n";
  const std::string kCut = "[A]\r\na=1\r\nbb=22\r\n";
  const std::string kNul = Z("[A]\r\nk=v\0junk\r\nm=1\r\n", 20);
  const std::string kTruncated = "[COMMON]\r\nDIFFCHECK=TRUE\r\nEDI";
  const std::string kGarbage = Garbage();
  const std::string kGarbageWithSection = kGarbage + "[Velandra]\r\nk=v\r\n";
  const std::string kHuge = HugeFile();
  return {
      // GetPrivateProfileString: found, missing, sizes.
      Str("basic", kA, "A", "k", "d", 256, "v"),
      Str("missing_file", NoFile(), "A", "k", "d", 256, "d"),
      Str("missing_section", kA, "B", "k", "d", 256, "d"),
      Str("missing_key", kA, "A", "x", "d", 256, "d"),
      Str("cut_to_size_minus_one", "[A]\r\nk=abcdef\r\n", "A", "k", "d", 4, "abc"),
      Str("size_one_gives_empty", kA, "A", "k", "d", 1, ""),
      Str("size_zero_gives_empty", kA, "A", "k", "d", 0, ""),
      Str("default_cut", kA, "A", "x", "defaultlong", 4, "def"),
      Str("default_trailing_spaces_dropped", kA, "A", "x", "  dd  ", 256, "  dd"),
      Str("default_quotes_kept", kA, "A", "x", "\"d\"", 256, "\"d\"")
          .Wine("Wine strips a pair of quotes from the default too; the quote "
                "rule is about stored values, and the system's defaults (the "
                "sentinels) hold no quotes"),
      Str("empty_value_is_not_missing", "[A]\r\nk=\r\n", "A", "k", "d", 256, ""),
      Str("line_without_equals_is_missing", "[A]\r\nk\r\n", "A", "k", "d", 256, "d"),
      // Quotes.
      Str("double_quotes_stripped", "[A]\r\nk=\"abc\"\r\n", "A", "k", "d", 256, "abc"),
      Str("single_quotes_stripped", "[A]\r\nk='abc'\r\n", "A", "k", "d", 256, "abc"),
      Str("blanks_inside_quotes_kept", "[A]\r\nk=\" a \"\r\n", "A", "k", "d", 256, " a "),
      Str("lone_quote_kept", "[A]\r\nk=\"\r\n", "A", "k", "d", 256, "\""),
      Str("mixed_quotes_kept", "[A]\r\nk=\"abc'\r\n", "A", "k", "d", 256, "\"abc'"),
      Str("quoted_value_exactly_fits", "[A]\r\nk=\"abc\"\r\n", "A", "k", "d", 4, "abc")
          .Wine("Wine drops the last character of a quoted value when the buffer "
                "is at most one byte larger than it (\"ab\" here); 3 bytes fit "
                "into 4, and Windows documents the cut at size - 1"),
      Str("quoted_value_cut", "[A]\r\nk=\"abc\"\r\n", "A", "k", "d", 3, "ab"),
      // Names: case, blanks, CP932.
      Str("names_ignore_case", "[aBc]\r\nKeY=v\r\n", "ABC", "key", "d", 256, "v"),
      Str("blanks_around_names_and_values_trimmed",
          "  [ A ]  \r\n\t k \t=  v v \t\r\n", "A", "k", "d", 256, "v v"),
      Str("requested_names_trimmed", kA, " A ", " k ", "d", 256, "v"),
      Str("ideographic_space_kept", "[A]\r\nk=あ　\r\n", "A", "k", "d", 256, "あ　"),
      Str("full_width_letters_are_not_folded", "[Ａ]\r\nk=v\r\n", "ａ", "k", "d", 256, "d"),
      Str("trail_byte_letters_are_not_folded", "[ア]\r\nk=v\r\n", "ャ", "k", "d", 256, "d"),
      Str("trail_byte_bracket_in_section", "[ス]\r\nk=1\r\n", "ス", "k", "d", 256, "1"),
      Str("trail_byte_backslash_in_key", "[A]\r\nソ表=1\r\n", "A", "ソ表", "d", 256, "1"),
      Str("japanese_value", "[場所]\r\n名前=本社　３Ｆ\r\n", "場所", "名前", "d", 256,
          "本社　３Ｆ"),
      Str("cut_keeps_whole_characters", "[A]\r\nk=あい\r\n", "A", "k", "d", 4, "あ"),
      Str("cut_keeps_whole_characters_odd", "[A]\r\nk=aあい\r\n", "A", "k", "d", 3, "a"),
      Str("cp932_bytes_pass_through", "[A]\r\nk=\x80\xA0\xFD\r\n", "A", "k", "d", 256,
          "\x80\xA0\xFD"),
      Str("lone_lead_byte_passes_through", "[A]\r\nk=a\x82\r\n", "A", "k", "d", 256, "a\x82")
          .Wine("Wine converts the file to UTF-16 and back and turns half a "
                "character into 0x81 0x45; Windows returns the bytes of an ANSI "
                "file as they are, as far as I know"),
      // Layout.
      Str("first_of_two_keys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "d", 256, "1"),
      Str("first_of_two_sections", "[A]\r\nx=1\r\n[B]\r\n[A]\r\nk=2\r\n", "A", "k", "d",
          256, "d"),
      Str("lines_before_first_section", "k=1\r\n[A]\r\n", "", "k", "d", 256, "1"),
      Str("comment_line_is_no_entry", "[A]\r\n;k=1\r\n", "A", ";k", "d", 256, "d")
          .Wine("Wine reads a comment line as a key named \";k\"; comments are "
                "not entries (and keys starting with ';' are refused on writing)"),
      Str("open_bracket_line_is_ordinary", "[A]\r\n[B\r\nk=1\r\n", "A", "k", "d", 256, "1"),
      Str("text_after_bracket_ignored", "[A]junk\r\nk=1\r\n", "A", "k", "d", 256, "1"),
      Str("lf_line_ends", "[A]\nk=v\n", "A", "k", "d", 256, "v"),
      Str("lone_cr_ends_line", "[A]\r\nk=1\rm=2\r\n", "A", "m", "d", 256, "2"),
      Str("ctrl_z_is_blank", "[A]\r\nk=v\x1a\r\n", "A", "k", "d", 256, "v"),
      Str("no_final_newline", "[A]\r\nk=v", "A", "k", "d", 256, "v"),
      Str("utf8_bom_is_not_skipped", "\xEF\xBB\xBF[A]\r\nk=v\r\n", "A", "k", "d", 256, "d")
          .Wine("Wine reads a file with a UTF-8 byte-order mark as UTF-8; Windows "
                "XP knows only UTF-16 marks and reads the mark as part of the "
                "first line, as far as I know; the file is CP932 without a mark"),
      // Bad input.
      Str("nul_ends_its_line", kNul, "A", "k", "d", 256, "v"),
      Str("nul_keeps_later_lines", kNul, "A", "m", "d", 256, "1"),
      Str("truncated_file", kTruncated, "COMMON", "DIFFCHECK", "d", 256, "TRUE"),
      Str("truncated_header", "[A]\r\nk=v\r\n[B", "B", "k", "d", 256, "d"),
      Str("truncated_in_character", "[A]\r\nk=\x82", "A", "k", "d", 256, "\x82")
          .Wine("Wine turns half a character into 0x81 0x45 (see "
                "lone_lead_byte_passes_through)"),
      Str("garbage_missing_key", kGarbage, "Velandra", "k", "d", 256, "d"),
      Str("garbage_then_section", kGarbageWithSection, "Velandra", "k", "d", 256, "v"),
      Str("huge_line_then_key", kHuge, "A", "k", "d", 256, "v"),
      Str("huge_value_cut", kHuge, "A", "big", "d", 10, "xxxxxxxxx"),

      // GetPrivateProfileInt.
      Int("int_leading_digits", "[A]\r\nk=12abc\r\n", "A", "k", 5, 12),
      Int("int_negative", "[A]\r\nk=-7\r\n", "A", "k", 5, -7),
      Int("int_plus", "[A]\r\nk=+7\r\n", "A", "k", 5, 7),
      Int("int_empty_value_gives_default", "[A]\r\nk=\r\n", "A", "k", 5, 5),
      Int("int_no_digits_gives_zero", "[A]\r\nk=abc\r\n", "A", "k", 5, 0),
      Int("int_minus_alone_gives_zero", "[A]\r\nk=-\r\n", "A", "k", 5, 0),
      Int("int_missing_key", kA, "A", "x", 5, 5),
      Int("int_missing_file", NoFile(), "A", "k", -3, -3),
      Int("int_quoted", "[A]\r\nk=\"12\"\r\n", "A", "k", 5, 12),
      Int("int_quoted_blank", "[A]\r\nk=\" 12\"\r\n", "A", "k", 5, 12),
      Int("int_wraps_in_32_bits", "[A]\r\nk=4294967297\r\n", "A", "k", 5, 1),
      Int("int_above_int_max", "[A]\r\nk=3000000000\r\n", "A", "k", 5, -1294967296),
      Int("int_hex_is_not_decimal", "[A]\r\nk=0x10\r\n", "A", "k", 5, 0)
          .Wine("Wine reads \"0x10\" as 16 (it converts with base detection, "
                "and Windows does too as far as I know); the rule here is the "
                "leading decimal digits, and the system writes only decimal"),
      Int("int_many_leading_zeros", "[A]\r\nk=000000000000000000000000000000000000042\r\n",
          "A", "k", 5, 42)
          .Wine("Wine reads only the first 29 characters of the value (0 here)"),

      // GetPrivateProfileSection.
      Sec("section_entries", kList, "A", 32767,
          Z("a=1\0b=2\0noeq\0q=\"x\"\0\0", 20)),
      Sec("section_missing", kList, "Q", 32767, Z("\0", 1)),
      Sec("section_empty", "[A]\r\n[B]\r\nz=1\r\n", "A", 32767, Z("\0", 1)),
      Sec("section_missing_file", NoFile(), "A", 32767, Z("\0", 1)),
      Sec("section_first_copy", "[A]\r\nx=1\r\n[a]\r\ny=2\r\n", "A", 32767, Z("x=1\0\0", 5)),
      Sec("section_equals_in_value", "[PLACELIST]\r\nP7=Office=2F\r\n", "placelist", 32767,
          Z("P7=Office=2F\0\0", 14)),
      Sec("section_size_0", kCut, "A", 0, ""),
      Sec("section_size_1", kCut, "A", 1, Z("\0", 1)),
      Sec("section_size_2", kCut, "A", 2, Z("\0", 1)),
      Sec("section_size_3", kCut, "A", 3, Z("a\0\0", 3)),
      Sec("section_size_5", kCut, "A", 5, Z("a=1\0\0", 5)),
      Sec("section_size_6", kCut, "A", 6, Z("a=1\0\0", 5)),
      Sec("section_size_7", kCut, "A", 7, Z("a=1\0b\0\0", 7)),
      Sec("section_size_10", kCut, "A", 10, Z("a=1\0bb=2\0\0", 10)),
      Sec("section_size_11_fits", kCut, "A", 11, Z("a=1\0bb=22\0\0", 11)),
      Sec("section_cut_keeps_whole_characters", "[A]\r\na=あい\r\n", "A", 7,
          Z("a=\x82\xA0\0\0", 6))
          .Wine("Wine cuts the section listing inside a two-byte character "
                "(a=\x82\xA0\x82); Windows cuts bytes too, as far as I know; half a "
                "character would swallow the byte that follows it"),
      Sec("section_nul", kNul, "A", 32767, Z("k=v\0m=1\0\0", 9)),
      Sec("section_open_bracket_line", "[A]\r\n[B\r\nk=1\r\n", "A", 32767,
          Z("[B\0k=1\0\0", 8)),
      Sec("section_truncated_file", kTruncated, "COMMON", 32767,
          Z("DIFFCHECK=TRUE\0EDI\0\0", 20)),

      // WritePrivateProfileString.
      Put("write_creates_file", NoFile(), "A", "k", "v", true, "[A]\r\nk=v\r\n").ReadsBack("v"),
      Put("write_japanese", NoFile(), "設定", "キー表", "値ソ", true, "[設定]\r\nキー表=値ソ\r\n")
          .ReadsBack("値ソ"),
      Put("write_appends_key", kA, "A", "n", "2", true, "[A]\r\nk=v\r\nn=2\r\n"),
      Put("write_appends_key_before_blank_line", "[A]\r\nk=v\r\n\r\n[B]\r\nz=1\r\n", "A",
          "n", "2", true, "[A]\r\nk=v\r\nn=2\r\n\r\n[B]\r\nz=1\r\n")
          .Wine(kWineRebuilds),
      Put("write_appends_key_before_comment", "[A]\r\nk=v\r\n; about B\r\n[B]\r\n", "A", "n",
          "2", true, "[A]\r\nk=v\r\nn=2\r\n; about B\r\n[B]\r\n")
          .Wine("Wine keeps comments as entries and appends after them"),
      Put("write_appends_section", kA, "B", "n", "2", true, "[A]\r\nk=v\r\n[B]\r\nn=2\r\n"),
      Put("write_appends_section_no_final_newline", "[A]\r\nk=v", "B", "n", "2", true,
          "[A]\r\nk=v\r\n[B]\r\nn=2\r\n"),
      Put("write_appends_key_no_final_newline", "[A]\r\nk=v", "A", "n", "2", true,
          "[A]\r\nk=v\r\nn=2\r\n"),
      Put("write_appends_key_after_bare_header", "[A]", "A", "n", "2", true, "[A]\r\nn=2\r\n"),
      Put("write_replaces_keeps_other_lines",
          "; top\r\n[A]\r\n k = old \r\n; c\r\n\r\nm=1\r\n", "A", "K", "new", true,
          "; top\r\n[A]\r\nk=new\r\n; c\r\n\r\nm=1\r\n")
          .Wine(kWineRebuilds)
          .ReadsBack("new"),
      Put("write_same_value_leaves_file", "[A]\n k = v \n\n", "A", "k", "v", true,
          "[A]\n k = v \n\n"),
      Put("write_keeps_lf_lines", "[A]\nk=v\n", "A", "n", "2", true, "[A]\nk=v\nn=2\r\n")
          .Wine(kWineRebuilds),
      Put("write_drops_leading_blanks", "[A]\r\n", "A", "k", "  v  ", true,
          "[A]\r\nk=v  \r\n")
          .ReadsBack("v"),
      Put("write_empty_value", "[A]\r\n", "A", "k", "", true, "[A]\r\nk=\r\n").ReadsBack(""),
      Put("write_quoted_value_as_is", "[A]\r\n", "A", "k", "\"a b\"", true,
          "[A]\r\nk=\"a b\"\r\n")
          .ReadsBack("a b"),
      Put("write_trims_names", "[A]\r\n", "  A  ", "  k  ", "v", true, "[A]\r\nk=v\r\n")
          .Wine("Wine writes the key's trailing blanks (\"k  =v\"); both read back "
                "as k")
          .ReadsBack("v"),
      Put("write_ignores_case", "[aBc]\r\nKeY=old\r\n", "ABC", "key", "new", true,
          "[aBc]\r\nKeY=new\r\n"),
      Put("write_keeps_cp932_bytes", "[A]\r\nx=\x80\xA0\xFD\r\n", "A", "k", "v", true,
          "[A]\r\nx=\x80\xA0\xFD\r\nk=v\r\n"),
      Put("write_lines_before_first_section", "k=1\r\n[A]\r\n", "", "k", "2", true,
          "k=2\r\n[A]\r\n"),
      Put("write_after_truncated_header", "[A]\r\nk=v\r\n[B", "B", "x", "1", true,
          "[A]\r\nk=v\r\n[B\r\n[B]\r\nx=1\r\n")
          .ReadsBack("1"),
      Put("write_keeps_truncated_file", kTruncated, "COMMON", "EDITOR", "x", true,
          kTruncated + "\r\nEDITOR=x\r\n"),
      Put("write_keeps_nul_line", kNul, "A", "n", "2", true, kNul + "n=2\r\n")
          .Wine(kWineNulLost),
      Put("write_keeps_huge_line", kHuge, "A", "n", "1", true, kHuge + "n=1\r\n"),
      Put("write_keeps_garbage", kGarbage, "Velandra", "k", "v", true,
          kGarbage + "[Velandra]\r\nk=v\r\n")
          .Wine(kWineConverts)
          .ReadsBack("v"),
      // Writes that would not read back as written are refused.
      Put("refuse_line_break_in_value", "[A]\r\n", "A", "k", "a\r\n[X]\r\ny=1", false,
          "[A]\r\n"),
      Put("refuse_nul_in_value", "[A]\r\n", "A", "k", Z("a\0b", 3), false, "[A]\r\n"),
      Put("refuse_equals_in_key", "[A]\r\n", "A", "a=b", "c", false, "[A]\r\n"),
      Put("refuse_comment_key", "[A]\r\n", "A", ";k", "c", false, "[A]\r\n"),
      Put("refuse_bracket_key", "[A]\r\n", "A", "[B]", "c", false, "[A]\r\n"),
      Put("refuse_bracket_in_section", "[A]\r\n", "A]x", "k", "c", false, "[A]\r\n"),
      Put("refuse_half_character_section", NoFile(), "A\x82", "k", "c", false, NoFile()),
      // The name is written trimmed: the blank after the lead byte goes, and
      // the lead byte would then take the ']' as its trail byte.
      Put("refuse_half_character_section_before_blank", NoFile(), "A\x82 ", "k", "c", false,
          NoFile()),
      [] {
        Row r = Put("refuse_missing_directory", NoFile(), "A", "k", "v", false, NoFile());
        r.missingDir = true;
        return r;
      }(),

      // Deletions.
      DelKey("delete_key", "[A]\r\nk=v\r\nm=1\r\n", "A", "k", "[A]\r\nm=1\r\n"),
      DelKey("delete_key_ignores_case", "[A]\r\nKey=v\r\n", "a", "KEY", "[A]\r\n"),
      DelKey("delete_key_every_copy", "[A]\r\nk=v\r\nk=w\r\nm=1\r\n", "A", "k",
             "[A]\r\nm=1\r\n")
          .Wine(kWineFirstCopy),
      DelKey("delete_key_missing", kA, "A", "x", kA),
      DelKey("delete_key_missing_file", NoFile(), "A", "k", NoFile()),
      DelKey("delete_last_line_without_newline", "[A]\r\nk=v\r\nm=1", "A", "m",
             "[A]\r\nk=v\r\n"),
      DelSec("delete_section", "[A]\r\nk=v\r\n; c\r\n\r\n[B]\r\nm=1\r\n", "A",
             "[B]\r\nm=1\r\n"),
      DelSec("delete_section_keeps_other_lines",
             "; top\r\n\r\n[B]\r\nm=1\r\n\r\n[A]\r\nk=v\r\n", "a",
             "; top\r\n\r\n[B]\r\nm=1\r\n\r\n")
          .Wine(kWineRebuilds),
      DelSec("delete_section_every_copy", "[A]\r\nk=v\r\n[B]\r\nm=1\r\n[A]\r\nq=1\r\n", "A",
             "[B]\r\nm=1\r\n")
          .Wine(kWineFirstCopy),
      DelSec("delete_section_missing", kA, "B", kA),
      DelSec("delete_section_missing_file", NoFile(), "A", NoFile()),
  };
}

// ---------------------------------------------------------------------------
// The backends.

struct ProfileBackend {
  const char* name;
  std::function<std::unique_ptr<IProfile>()> make;
  bool isWin32;
};

void PrintTo(const ProfileBackend& backend, std::ostream* os) { *os << backend.name; }

std::vector<ProfileBackend> ProfileBackends() {
  std::vector<ProfileBackend> b;
  b.push_back({"Sim", [] { return std::make_unique<SimProfile>(sim::IdentityPathMapper()); },
               false});
#ifdef _WIN32
  b.push_back({"Win32", [] { return std::make_unique<win32::Win32Profile>(); }, true});
#endif
  return b;
}

std::string ProfilePath(const std::filesystem::path& file) { return file.string(); }

class ProfilePeer : public ::testing::TestWithParam<std::tuple<Row, ProfileBackend>> {};

TEST_P(ProfilePeer, Row) {
  const Row& row = std::get<0>(GetParam());
  const ProfileBackend& backend = std::get<1>(GetParam());
  if (backend.isWin32 && row.wine) GTEST_SKIP() << row.wine;
  testing::ScratchDir dir;
  std::filesystem::path file =
      row.missingDir ? dir.path() / "missing" / "Velandra.ini" : dir.path() / "Velandra.ini";
  if (row.before) WriteBytes(file, *row.before);
  const std::string path = ProfilePath(file);
  std::unique_ptr<IProfile> profile = backend.make();

  std::string got;
  switch (row.op) {
    case Op::String:
      got = profile->GetString(row.section, row.key, row.arg, row.size, path);
      break;
    case Op::Int:
      got = std::to_string(profile->GetInt(row.section, row.key, row.intDefault, path));
      break;
    case Op::Section:
      got = profile->GetSection(row.section, row.size, path);
      break;
    case Op::Write:
      got = profile->WriteString(row.section, row.key, row.arg, path) ? "ok" : "refused";
      break;
    case Op::DeleteKey:
      got = profile->DeleteKey(row.section, row.key, path) ? "ok" : "refused";
      break;
    case Op::DeleteSection:
      got = profile->DeleteSection(row.section, path) ? "ok" : "refused";
      break;
  }
  EXPECT_EQ(Visible(got), Visible(row.result));

  bool isRead = row.op == Op::String || row.op == Op::Int || row.op == Op::Section;
  std::optional<std::string> expected = isRead ? row.before : row.after;
  if (expected) {
    EXPECT_TRUE(Exists(file));
    EXPECT_EQ(Visible(ReadBytes(file)), Visible(*expected));
  } else {
    EXPECT_FALSE(Exists(file));
  }
  if (row.readBack) {
    EXPECT_EQ(Visible(profile->GetString(row.section, row.key, "<none>", 256, path)),
              Visible(*row.readBack));
    std::unique_ptr<IProfile> fresh = backend.make();
    EXPECT_EQ(Visible(fresh->GetString(row.section, row.key, "<none>", 256, path)),
              Visible(*row.readBack));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProfilePeer, ::testing::Combine(::testing::ValuesIn(Rows()),
                                           ::testing::ValuesIn(ProfileBackends())),
    [](const ::testing::TestParamInfo<ProfilePeer::ParamType>& info) {
      return std::get<0>(info.param).name + "_" + std::get<1>(info.param).name;
    });

// ---------------------------------------------------------------------------
// SimProfile's cache and batches.

class SimProfileFile : public ::testing::Test {
 protected:
  const std::filesystem::path& Dir() const { return dir_.path(); }

  testing::ScratchDir dir_;
  std::filesystem::path file_ = dir_.path() / "Velandra.ini";
  std::string path_ = ProfilePath(file_);
  SimProfile profile_{sim::IdentityPathMapper()};
};

TEST_F(SimProfileFile, ReadsSeeAnotherProcessesWrite) {
  WriteBytes(file_, "[A]\r\nk=1\r\n");
  EXPECT_EQ(profile_.GetString("A", "k", "", 256, path_), "1");
  WriteBytes(file_, "[A]\r\nk=22\r\n");
  EXPECT_EQ(profile_.GetString("A", "k", "", 256, path_), "22");
  std::filesystem::remove(file_);
  EXPECT_EQ(profile_.GetString("A", "k", "gone", 256, path_), "gone");
}

TEST_F(SimProfileFile, WriteGoesToDiskAtOnceOutsideBatch) {
  ASSERT_TRUE(profile_.WriteString("A", "k", "v", path_));
  EXPECT_EQ(ReadBytes(file_), "[A]\r\nk=v\r\n");
  ASSERT_TRUE(profile_.DeleteKey("A", "k", path_));
  EXPECT_EQ(ReadBytes(file_), "[A]\r\n");
}

TEST_F(SimProfileFile, BatchWritesOnceAtOutermostEnd) {
  WriteBytes(file_, "; kept\r\n[A]\r\nold=1\r\n");
  profile_.BeginBatch();
  {
    ProfileBatch inner(profile_);
    for (int i = 0; i < 500; ++i)
      ASSERT_TRUE(profile_.WriteString("S" + std::to_string(i % 7), "K" + std::to_string(i),
                                       std::to_string(i), path_));
    ASSERT_TRUE(profile_.DeleteKey("A", "old", path_));
    EXPECT_EQ(profile_.GetString("S3", "K3", "", 256, path_), "3");  // reads see them
    EXPECT_EQ(profile_.GetString("A", "old", "none", 256, path_), "none");
  }
  EXPECT_EQ(ReadBytes(file_), "; kept\r\n[A]\r\nold=1\r\n");  // inner end: still held
  EXPECT_TRUE(profile_.EndBatch());
  SimProfile fresh(sim::IdentityPathMapper());
  EXPECT_EQ(fresh.GetString("S3", "K3", "", 256, path_), "3");
  EXPECT_EQ(fresh.GetString("S2", "K499", "", 256, path_), "499");
  EXPECT_EQ(fresh.GetString("A", "old", "none", 256, path_), "none");
  EXPECT_EQ(ReadBytes(file_).rfind("; kept\r\n[A]\r\n[S0]\r\nK0=0\r\n", 0), 0u);
}

TEST_F(SimProfileFile, BatchKeepsAnotherProcessesChange) {
  WriteBytes(file_, "[A]\r\nk=1\r\n");
  {
    ProfileBatch batch(profile_);
    ASSERT_TRUE(profile_.WriteString("A", "mine", "2", path_));
    WriteBytes(file_, "[A]\r\nk=1\r\nother=3\r\n");
  }
  EXPECT_EQ(ReadBytes(file_), "[A]\r\nk=1\r\nother=3\r\nmine=2\r\n");
}

// Load all reads in a batch: one consistent reading of the file, even when
// another process writes it meanwhile; the next read after the batch sees it.
TEST_F(SimProfileFile, BatchReadsTheFileOnce) {
  WriteBytes(file_, "[A]\r\nk=1\r\n");
  {
    ProfileBatch batch(profile_);
    EXPECT_EQ(profile_.GetString("A", "k", "", 256, path_), "1");
    WriteBytes(file_, "[A]\r\nk=22\r\nn=3\r\n");
    EXPECT_EQ(profile_.GetString("A", "k", "", 256, path_), "1");
    EXPECT_EQ(profile_.GetInt("A", "n", -1, path_), -1);
  }
  EXPECT_EQ(profile_.GetString("A", "k", "", 256, path_), "22");
  EXPECT_EQ(ReadBytes(file_), "[A]\r\nk=22\r\nn=3\r\n");
}

TEST_F(SimProfileFile, DestructorWritesUnfinishedBatch) {
  {
    SimProfile profile(sim::IdentityPathMapper());
    profile.BeginBatch();
    ASSERT_TRUE(profile.WriteString("A", "k", "v", path_));
    EXPECT_FALSE(Exists(file_));
  }
  EXPECT_EQ(ReadBytes(file_), "[A]\r\nk=v\r\n");
}

TEST_F(SimProfileFile, FailedBatchWriteIsReportedAndNotPretended) {
  std::filesystem::path sub = Dir() / "sub";
  std::filesystem::create_directories(sub);
  std::string path = ProfilePath(sub / "Velandra.ini");
  profile_.BeginBatch();
  ASSERT_TRUE(profile_.WriteString("A", "k", "v", path));
  std::filesystem::remove_all(sub);
  WriteBytes(sub, "a file where the directory was");
  EXPECT_FALSE(profile_.EndBatch());
  EXPECT_FALSE(profile_.LastError().empty());
  EXPECT_EQ(profile_.GetString("A", "k", "none", 256, path), "none");
}

TEST_F(SimProfileFile, UnreadableFileIsNeverReplaced) {
  std::filesystem::create_directories(file_);  // a directory by the file's name
  EXPECT_EQ(profile_.GetString("A", "k", "d", 256, path_), "d");
  EXPECT_FALSE(profile_.WriteString("A", "k", "v", path_));
  EXPECT_FALSE(profile_.LastError().empty());
  EXPECT_TRUE(std::filesystem::is_directory(file_));
}

TEST_F(SimProfileFile, RefusedWriteSaysWhy) {
  EXPECT_FALSE(profile_.WriteString("A", "k", "x\ny", path_));
  EXPECT_NE(profile_.LastError().find("line break"), std::string::npos);
  EXPECT_TRUE(profile_.WriteString("A", "k", "x", path_));
  EXPECT_EQ(profile_.LastError(), "");
}

TEST(SimProfile, UnmappedPathReadsDefaultsAndRefusesWrites) {
  SimProfile profile([](const std::string&, std::filesystem::path&) { return false; });
  EXPECT_EQ(profile.GetString("A", "k", "d", 256, "Z:\\x.ini"), "d");
  EXPECT_EQ(profile.GetInt("A", "k", 4, "Z:\\x.ini"), 4);
  EXPECT_EQ(profile.GetSection("A", 100, "Z:\\x.ini"), std::string(1, '\0'));
  EXPECT_FALSE(profile.WriteString("A", "k", "v", "Z:\\x.ini"));
}

// The size of a full configuration: 10,000 keys in a file of about 200 KB,
// saved in one batch and loaded key by key.
TEST_F(SimProfileFile, ManyKeysRoundTrip) {
  auto section = [](int i) { return "P" + std::to_string(i / 100) + "A" + std::to_string(i % 3); };
  auto value = [](int i) { return "192.168." + std::to_string(i % 256) + ".1,設定" + std::to_string(i); };
  {
    ProfileBatch batch(profile_);
    for (int i = 0; i < 10000; ++i)
      profile_.WriteString(section(i), "Key" + std::to_string(i), value(i), path_);
  }
  EXPECT_GT(ReadBytes(file_).size(), 200000u);
  SimProfile fresh(sim::IdentityPathMapper());
  int wrong = 0;
  for (int i = 0; i < 10000; ++i)
    if (fresh.GetString(section(i), "key" + std::to_string(i), "", 256, path_) != value(i)) ++wrong;
  EXPECT_EQ(wrong, 0);
}

// ---------------------------------------------------------------------------
// A Velandra.ini in Japanese written by one backend reads back identically
// through the other.
#ifdef _WIN32

struct JapaneseEntry {
  const char* section;
  const char* key;
  const char* value;
};

const JapaneseEntry kJapanese[] = {
    {"PLACELIST", "P0", "標準"},
    {"PLACELIST", "P1", "本社　３Ｆ会議室"},
    {"P1", "DefaultPrinter", "\\\\サーバ\\表示ソフト"},  // trail bytes 0x5C
    {"接続場所ス", "名前", "ソース表示"},                      // ']' (0x5D) as a trail byte
    {"接続場所ス", "ＡＢＣ", "ａｂｃ"},
    {"ADAPTERLIST", "C0", "ローカル エリア接続"},
};

TEST(ProfileJapanese, SimWritesWin32Reads) {
  testing::ScratchDir dir;
  std::string path = ProfilePath(dir.path() / "Velandra.ini");
  SimProfile writer(sim::IdentityPathMapper());
  for (const JapaneseEntry& e : kJapanese) ASSERT_TRUE(writer.WriteString(e.section, e.key, e.value, path));
  win32::Win32Profile reader;
  for (const JapaneseEntry& e : kJapanese) {
    SCOPED_TRACE(e.key);
    EXPECT_EQ(Visible(reader.GetString(e.section, e.key, "none", 256, path)), Visible(e.value));
  }
  EXPECT_EQ(reader.GetSection("接続場所ス", 32767, path),
            writer.GetSection("接続場所ス", 32767, path));
}

TEST(ProfileJapanese, Win32WritesSimReadsSameBytes) {
  testing::ScratchDir dir;
  std::filesystem::path file = dir.path() / "Velandra.ini";
  std::string path = ProfilePath(file);
  win32::Win32Profile writer;
  for (const JapaneseEntry& e : kJapanese) ASSERT_TRUE(writer.WriteString(e.section, e.key, e.value, path));
  SimProfile reader(sim::IdentityPathMapper());
  for (const JapaneseEntry& e : kJapanese) {
    SCOPED_TRACE(e.key);
    EXPECT_EQ(Visible(reader.GetString(e.section, e.key, "none", 256, path)), Visible(e.value));
  }
  // Both write a new file byte for byte the same way.
  testing::ScratchDir other;
  std::string simPath = ProfilePath(other.path() / "Velandra.ini");
  for (const JapaneseEntry& e : kJapanese) ASSERT_TRUE(reader.WriteString(e.section, e.key, e.value, simPath));
  EXPECT_EQ(Visible(ReadBytes(file)), Visible(ReadBytes(other.path() / "Velandra.ini")));
}

#endif

}  // namespace
}  // namespace velandra::platform
