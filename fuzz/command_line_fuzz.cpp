// The command-line splitter and the options parser on arbitrary text. The
// input is the command line, then optionally "\0" and what the logon prompt
// answers (user, NUL, password; no answer cancels it). Neither may crash;
// tokens hold a space only where quotes were; a refused line leaves the
// options as they were.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fuzz_support.h"

namespace {

using namespace velandra;

class Prompt : public ui::IUserPasswordDialog {
 public:
  Prompt(bool answers, std::string user, std::string password)
      : answers_(answers), user_(std::move(user)), password_(std::move(password)) {}
  bool DoModal(ui::CDlgUserPassword& dialog) override {
    fuzz::Check(dialog.Message == app::kLogonPromptMessage, "the prompt lost its message");
    if (!answers_) return false;
    dialog.UserName = user_;
    dialog.Password = password_;
    return true;
  }

 private:
  bool answers_;
  std::string user_, password_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  const std::string_view line = input.substr(0, nul);
  std::string user, password;
  const bool answers = nul != std::string_view::npos;
  if (answers) {
    fuzz::Script rest(input.substr(nul + 1));
    user = rest.Field();
    password = rest.Field();
  }

  const std::vector<std::string> tokens = app::SplitCommandLine(line);
  const bool quotes = line.find('"') != std::string_view::npos;
  size_t bytes = 0;
  for (const std::string& t : tokens) {
    fuzz::Check(quotes || (!t.empty() && t.find(' ') == std::string::npos),
                "an unquoted line gave the token " + fuzz::Shown(t));
    bytes += t.size();
  }
  fuzz::Check(bytes <= line.size(), "the tokens are longer than the line");

  app::CommandLineOptions options;
  options.PlaceName = "before";
  const app::CommandLineOptions before = options;
  Prompt prompt(answers, user, password);
  if (!app::ParseCommandLine(tokens, options, prompt)) {
    fuzz::Check(options == before, "a refused command line changed the options");
    return 0;
  }
  // Flags are 0 or 1; a logon asked for or given leaves Logon set.
  for (uint32_t flag : {options.Resume, options.Dialog, options.Shutdown, options.UseProxy,
                        options.Now, options.Logon, options.Diff, options.Hide, options.DelBat,
                        options.Relogon})
    fuzz::Check(flag <= 1, "an option flag is neither 0 nor 1");
  return 0;
}
