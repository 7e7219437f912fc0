#include "app/command_line.h"

#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "system/platform/text.h"

// Rows name only the fields they set; GCC 12 warns for every member left to
// its default initialiser in a designated initialiser.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace velandra::app {

// Readable failures: flags and the texts as UTF-8.
void PrintTo(const CommandLineOptions& o, std::ostream* os) {
  *os << "{Resume=" << o.Resume << " Dialog=" << o.Dialog << " Shutdown=" << o.Shutdown
      << " UseProxy=" << o.UseProxy << " Now=" << o.Now << " Logon=" << o.Logon
      << " DiffGiven=" << o.DiffGiven << " Diff=" << o.Diff << " HideGiven=" << o.HideGiven
      << " Hide=" << o.Hide << " DelBatGiven=" << o.DelBatGiven << " DelBat=" << o.DelBat
      << " Relogon=" << o.Relogon << " PlaceName=\"" << platform::Cp932ToUtf8(o.PlaceName)
      << "\" LogonUserName=\"" << platform::Cp932ToUtf8(o.LogonUserName)
      << "\" LogonPassword=\"" << platform::Cp932ToUtf8(o.LogonPassword) << "\"}";
}

namespace {

// How the person at the prompt answers: OK, typing `user`/`password` over
// the prefilled fields where given, or Cancel.
struct Answer {
  bool ok = true;
  const char* user = nullptr;
  const char* password = nullptr;
};
const Answer kCancel{false};

// What a prompt showed.
struct Shown {
  uint32_t focus;
  std::string user;
};

class FakePrompt : public ui::IUserPasswordDialog {
 public:
  explicit FakePrompt(std::vector<Answer> answers)
      : answers_(answers.begin(), answers.end()) {}

  bool DoModal(ui::CDlgUserPassword& dialog) override {
    // The command line never prefills a password, and every prompt says why.
    EXPECT_EQ(dialog.Password, "");
    EXPECT_EQ(dialog.Message, kLogonPromptMessage);
    shown.push_back({dialog.Focus, dialog.UserName});
    if (answers_.empty()) {
      ADD_FAILURE() << "prompt shown but the row has no answer for it";
      return false;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    if (!answer.ok) return false;
    if (answer.user) dialog.UserName = answer.user;
    if (answer.password) dialog.Password = answer.password;
    return true;
  }

  std::vector<Shown> shown;

 private:
  std::deque<Answer> answers_;
};

struct Row {
  const char* name;
  std::string line;
  std::vector<std::string> tokens;
  bool ok;
  CommandLineOptions options;  // expected; on failure the untouched defaults
  std::vector<Shown> prompts = {};
  std::vector<Answer> answers = {};
};

using O = CommandLineOptions;
const O kUnchanged{};

const Row kRows[] = {
    // Splitting
    {"empty line", "", {}, true, {}},
    {"leading, double and trailing spaces", "  -p  Home  ", {"-p", "Home"}, true,
     {.PlaceName = "Home"}},
    {"only space separates, not tab", "-p\tHome", {"-p\tHome"}, true, {}},
    {"quoted name with space, last token", R"(-p "My Place")", {"-p", "My Place"}, true,
     {.PlaceName = "My Place"}},
    {"quoted name with space, then an option", R"(-p "My Place" -now)",
     {"-p", "My Place", "-now"}, true, {.Now = 1, .PlaceName = "My Place"}},
    {"quotes inside a token keep it whole", R"(-p My" "Place -s)",
     {"-p", R"(My" "Place)", "-s"}, true, {.Shutdown = 1, .PlaceName = R"(My" "Place)"}},
    {"quoted option word counts, mid line and last", R"("-now" "-s")", {"-now", "-s"}, true,
     {.Shutdown = 1, .Now = 1}},
    {"empty quoted tokens are kept", R"(-p "" "")", {"-p", "", ""}, true, {}},
    {"a lone quote as the last token", R"(-p ")", {"-p", "\""}, true, {}},
    {"unclosed quote keeps every character of the name", R"(-p "My Place)",
     {"-p", "\"My Place"}, true, {.PlaceName = "My Place"}},
    {"unclosed quote swallows the rest of the line", R"(-p "My -now)",
     {"-p", "\"My -now"}, true, {.PlaceName = "My -now"}},
    {"doubly quoted value loses both pairs", R"(-p ""x"" -now)", {"-p", "\"x\"", "-now"},
     true, {.Now = 1, .PlaceName = "x"}},
    // "表" is 0x95 0x5C and "ソ" 0x83 0x5C: trail bytes equal to '\'.
    {"CP932 name with 0x5C trail bytes", "-p \"表 ソ\" -now", {"-p", "表 ソ", "-now"}, true,
     {.Now = 1, .PlaceName = "表 ソ"}},
    {"a stray lead byte does not swallow the space after it", "-p \x81 -now",
     {"-p", "\x81", "-now"}, true, {.Now = 1, .PlaceName = "\x81"}},

    // Place names
    {"-p alone fails", "-p", {"-p"}, false, kUnchanged},
    {"-r alone fails", "-r", {"-r"}, false, kUnchanged},
    {"-p last after other options fails, nothing kept", "-now -s -p", {"-now", "-s", "-p"},
     false, kUnchanged},
    {"-r NAME resumes", "-r Home", {"-r", "Home"}, true, {.Resume = 1, .PlaceName = "Home"}},
    {"-p replaces -r", "-r A -p B", {"-r", "A", "-p", "B"}, true,
     {.Resume = 1, .PlaceName = "B"}},
    {"-p replaces -r whatever the order", "-p B -r A", {"-p", "B", "-r", "A"}, true,
     {.Resume = 1, .PlaceName = "B"}},
    {"last -p wins", "-p A -p B", {"-p", "A", "-p", "B"}, true, {.PlaceName = "B"}},
    {"-P upper case is no option", "-P Home", {"-P", "Home"}, true, {}},
    {"-p value is also seen as an option", "-p -now", {"-p", "-now"}, true,
     {.Now = 1, .PlaceName = "-now"}},
    {"-r value -p is itself read as -p", "-r -p X", {"-r", "-p", "X"}, true,
     {.Resume = 1, .PlaceName = "X"}},

    // Flags and pairs
    {"unknown tokens alone", "foo -x -NOW", {"foo", "-x", "-NOW"}, true, {}},
    {"simple flags", "-d -np -s -relogon -p X", {"-d", "-np", "-s", "-relogon", "-p", "X"},
     true, {.Dialog = 1, .Shutdown = 1, .UseProxy = 0, .Relogon = 1, .PlaceName = "X"}},
    {"repeated flags", "-s -s -np -np", {"-s", "-s", "-np", "-np"}, true,
     {.Shutdown = 1, .UseProxy = 0}},
    {"-now -nodiff -diff: -nodiff wins", "-now -nodiff -diff", {"-now", "-nodiff", "-diff"},
     true, {.Now = 1, .DiffGiven = 1, .Diff = 0}},
    {"-nodiff -diff: -nodiff wins", "-diff -nodiff", {"-diff", "-nodiff"}, true,
     {.DiffGiven = 1, .Diff = 0}},
    {"-diff alone", "-diff", {"-diff"}, true, {.DiffGiven = 1, .Diff = 1}},
    {"-hide and -delbat alone", "-hide -delbat", {"-hide", "-delbat"}, true,
     {.HideGiven = 1, .Hide = 1, .DelBatGiven = 1, .DelBat = 1}},
    {"-nohide and -nodelbat win over their partners", "-nohide -hide -nodelbat -delbat",
     {"-nohide", "-hide", "-nodelbat", "-delbat"}, true,
     {.HideGiven = 1, .Hide = 0, .DelBatGiven = 1, .DelBat = 0}},

    // -logon
    {"-logon alone asks with empty fields", "-logon -p X", {"-logon", "-p", "X"}, true,
     {.Logon = 1, .PlaceName = "X", .LogonUserName = "admin", .LogonPassword = "pw"},
     {{0, ""}}, {{true, "admin", "pw"}}},
    {"-logon as last token asks", "-p X -logon", {"-p", "X", "-logon"}, true,
     {.Logon = 1, .PlaceName = "X", .LogonUserName = "admin", .LogonPassword = "pw"},
     {{0, ""}}, {{true, "admin", "pw"}}},
    {"-logon then -now: user name empty", "-logon -now -p X", {"-logon", "-now", "-p", "X"},
     true, {.Now = 1, .Logon = 1, .PlaceName = "X", .LogonUserName = "u", .LogonPassword = "p"},
     {{0, ""}}, {{true, "u", "p"}}},
    {"-logon USER last: prefilled, focus on password", "-p X -logon admin",
     {"-p", "X", "-logon", "admin"}, true,
     {.Logon = 1, .PlaceName = "X", .LogonUserName = "admin", .LogonPassword = "secret"},
     {{1, "admin"}}, {{true, nullptr, "secret"}}},
    {"-logon USER then an option: prefilled, focus on password", "-logon admin -now -p X",
     {"-logon", "admin", "-now", "-p", "X"}, true,
     {.Now = 1, .Logon = 1, .PlaceName = "X", .LogonUserName = "other", .LogonPassword = "pw2"},
     {{1, "admin"}}, {{true, "other", "pw2"}}},
    {"-logon USER PASSWORD -now: no prompt", "-logon admin pw -now -p X",
     {"-logon", "admin", "pw", "-now", "-p", "X"}, true,
     {.Now = 1, .Logon = 1, .PlaceName = "X", .LogonUserName = "admin", .LogonPassword = "pw"}},
    {"-logon USER PASSWORD last: no prompt", "-p X -logon admin pw",
     {"-p", "X", "-logon", "admin", "pw"}, true,
     {.Logon = 1, .PlaceName = "X", .LogonUserName = "admin", .LogonPassword = "pw"}},
    {"-logon quoted password last keeps its space, loses its quotes",
     R"(-p X -logon admin "my pass")", {"-p", "X", "-logon", "admin", "my pass"}, true,
     {.Logon = 1, .PlaceName = "X", .LogonUserName = "admin", .LogonPassword = "my pass"}},
    {"-logon with empty user and password given", R"(-logon "" "" -p X)",
     {"-logon", "", "", "-p", "X"}, true, {.Logon = 1, .PlaceName = "X"}},
    {"-logon Japanese user as last token", "-p X -logon 管理者", {"-p", "X", "-logon", "管理者"},
     true, {.Logon = 1, .PlaceName = "X", .LogonUserName = "管理者", .LogonPassword = "パス"},
     {{1, "管理者"}}, {{true, nullptr, "パス"}}},
    {"-logon OK with fields left empty", "-logon", {"-logon"}, true, {.Logon = 1}, {{0, ""}},
     {{true}}},
    {"-logon cancelled fails", "-logon -p X", {"-logon", "-p", "X"}, false, kUnchanged,
     {{0, ""}}, {kCancel}},
    {"-logon USER cancelled fails", "-p X -logon admin -now", {"-p", "X", "-logon", "admin", "-now"},
     false, kUnchanged, {{1, "admin"}}, {kCancel}},
    {"second -logon replaces the first", "-logon a b -logon c d -p X",
     {"-logon", "a", "b", "-logon", "c", "d", "-p", "X"}, true,
     {.Logon = 1, .PlaceName = "X", .LogonUserName = "c", .LogonPassword = "d"}},
    {"second -logon alone asks after the first was read", "-logon a b -p X -logon",
     {"-logon", "a", "b", "-p", "X", "-logon"}, true,
     {.Logon = 1, .PlaceName = "X", .LogonUserName = "x", .LogonPassword = "y"}, {{0, ""}},
     {{true, "x", "y"}}},
    {"a prompt ends the -logon pass: later -logon not read", "-logon -logon c d",
     {"-logon", "-logon", "c", "d"}, true,
     {.Logon = 1, .LogonUserName = "u", .LogonPassword = "p"}, {{0, ""}}, {{true, "u", "p"}}},
    {"-logon is asked before -p is found missing", "-logon -p", {"-logon", "-p"}, false,
     kUnchanged, {{0, ""}}, {{true, "u", "p"}}},
};

TEST(ParseCommandLine, Table) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    const std::vector<std::string> tokens = SplitCommandLine(row.line);
    EXPECT_EQ(tokens, row.tokens);

    FakePrompt prompt(row.answers);
    CommandLineOptions options;
    EXPECT_EQ(ParseCommandLine(tokens, options, prompt), row.ok);
    EXPECT_EQ(options, row.options);
    ASSERT_EQ(prompt.shown.size(), row.prompts.size());
    for (size_t i = 0; i < row.prompts.size(); ++i) {
      EXPECT_EQ(prompt.shown[i].focus, row.prompts[i].focus) << "prompt " << i;
      EXPECT_EQ(prompt.shown[i].user, row.prompts[i].user) << "prompt " << i;
    }
  }
}

// A failed parse leaves whatever the options held.
TEST(ParseCommandLine, FailureLeavesOptionsAsTheyWere) {
  const O marker{.Resume = 7, .UseProxy = 7, .Diff = 7, .PlaceName = "marker",
                 .LogonUserName = "mu", .LogonPassword = "mp"};
  for (const char* line : {"-now -np -diff -p", "-logon u p -r"}) {
    SCOPED_TRACE(line);
    FakePrompt prompt({});
    CommandLineOptions options = marker;
    EXPECT_FALSE(ParseCommandLine(SplitCommandLine(line), options, prompt));
    EXPECT_EQ(options, marker);
  }
}

std::string Repeat(const std::string& piece, size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(ParseCommandLine, TenThousandTokens) {
  struct Long {
    const char* name;
    std::string line;
    size_t tokenCount;
    bool ok;
    O options;
    size_t prompts;
  };
  const Long rows[] = {
      {"pairs, then a quoted name", Repeat("-diff -nodiff ", 4999) + "-p \"Last Place\"", 10000,
       true, {.DiffGiven = 1, .Diff = 0, .PlaceName = "Last Place"}, 0},
      {"every token -p, the last without value", Repeat("-p ", 10000), 10000, false, {}, 0},
      {"every token -p but the last", Repeat("-p ", 9999) + "X", 10000, true,
       {.PlaceName = "X"}, 0},
      {"every token -logon: one prompt", Repeat("-logon ", 10000), 10000, true,
       {.Logon = 1, .LogonUserName = "u", .LogonPassword = "p"}, 1},
      {"every token a lone quote pair", Repeat("\"\" ", 10000), 10000, true, {}, 0},
      {"logon triples", Repeat("-logon u p ", 3333) + "-now", 10000, true,
       {.Now = 1, .Logon = 1, .LogonUserName = "u", .LogonPassword = "p"}, 0},
  };
  for (const Long& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<std::string> tokens = SplitCommandLine(row.line);
    EXPECT_EQ(tokens.size(), row.tokenCount);
    FakePrompt prompt({{true, "u", "p"}});
    CommandLineOptions options;
    EXPECT_EQ(ParseCommandLine(tokens, options, prompt), row.ok);
    EXPECT_EQ(options, row.options);
    EXPECT_EQ(prompt.shown.size(), row.prompts);
  }
}

}  // namespace
}  // namespace velandra::app
