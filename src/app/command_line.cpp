#include "app/command_line.h"

namespace velandra::app {

namespace {

bool IsQuoted(std::string_view token) {
  // Two bytes at least: a lone '"' is not a quoted empty token.
  return token.size() >= 2 && token.front() == '"' && token.back() == '"';
}

bool BeginsWithDash(const std::string& token) {
  return !token.empty() && token.front() == '-';
}

// The value of -p or -r. Split has already removed a pair of enclosing
// quotes; a value that still begins with one was quoted twice (""x"") or
// left open at the end of the line ("My Place). The leading quote goes, and
// the last byte only when it is the closing quote, so an unclosed name keeps
// all its characters.
std::string PlaceValue(const std::string& token) {
  if (token.empty() || token.front() != '"') return token;
  size_t end = token.size();
  if (end >= 2 && token.back() == '"') --end;
  return token.substr(1, end - 1);
}

// Runs `action` on every token equal to `word`, in order, with the token's
// index; stops (and gives false) when the action fails.
template <typename Action>
bool EachToken(const std::vector<std::string>& tokens, std::string_view word,
               Action action) {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i] == word && !action(i)) return false;
  }
  return true;
}

void SetFlag(const std::vector<std::string>& tokens, std::string_view word,
             uint32_t& flag, uint32_t value) {
  EachToken(tokens, word, [&](size_t) {
    flag = value;
    return true;
  });
}

void SetPair(const std::vector<std::string>& tokens, std::string_view word,
             uint32_t& given, uint32_t& flag, uint32_t value) {
  EachToken(tokens, word, [&](size_t) {
    given = 1;
    flag = value;
    return true;
  });
}

bool ReadPlace(const std::vector<std::string>& tokens, std::string_view word,
               CommandLineOptions& options, uint32_t* flag) {
  return EachToken(tokens, word, [&](size_t i) {
    if (i + 1 >= tokens.size()) return false;
    if (flag) *flag = 1;
    options.PlaceName = PlaceValue(tokens[i + 1]);
    return true;
  });
}

bool AskLogon(ui::IUserPasswordDialog& prompt, uint32_t focus,
              const std::string& userName, CommandLineOptions& options) {
  ui::CDlgUserPassword dialog;
  dialog.Focus = focus;
  dialog.UserName = userName;
  dialog.Message = kLogonPromptMessage;
  if (!prompt.DoModal(dialog)) return false;
  options.LogonUserName = dialog.UserName;
  options.LogonPassword = dialog.Password;
  return true;
}

// -logon [USER [PASSWORD]]: what the line lacks is asked for. A following
// token that begins with '-' is the next option, not a user name or password.
bool ReadLogon(const std::vector<std::string>& tokens, CommandLineOptions& options,
               ui::IUserPasswordDialog& prompt) {
  const size_t count = tokens.size();
  for (size_t i = 0; i < count; ++i) {
    if (tokens[i] != "-logon") continue;
    options.Logon = 1;
    if (i + 1 == count) return AskLogon(prompt, 0, "", options);
    const std::string& user = tokens[i + 1];
    if (BeginsWithDash(user)) return AskLogon(prompt, 0, "", options);
    if (i + 2 == count) return AskLogon(prompt, 1, user, options);
    options.LogonUserName = user;
    const std::string& password = tokens[i + 2];
    if (BeginsWithDash(password)) return AskLogon(prompt, 1, user, options);
    options.LogonPassword = password;
    i += 2;
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> tokens;
  size_t start = 0;
  auto finish = [&](size_t end) {
    std::string_view token = text.substr(start, end - start);
    start = end + 1;
    if (token.empty()) return;
    // The last token is unquoted too, so that a value means the same at the
    // end of the line as before another option ("-logon user "my pass"").
    if (IsQuoted(token)) token = token.substr(1, token.size() - 2);
    tokens.emplace_back(token);
  };
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') {
      quoted = !quoted;
    } else if (text[i] == ' ' && !quoted) {
      finish(i);
    }
  }
  finish(text.size());
  return tokens;
}

bool ParseCommandLine(const std::vector<std::string>& tokens,
                      CommandLineOptions& options, ui::IUserPasswordDialog& prompt) {
  CommandLineOptions parsed = options;
  if (!ReadPlace(tokens, "-r", parsed, &parsed.Resume)) return false;
  SetFlag(tokens, "-d", parsed.Dialog, 1);
  SetFlag(tokens, "-np", parsed.UseProxy, 0);
  SetFlag(tokens, "-s", parsed.Shutdown, 1);
  SetFlag(tokens, "-now", parsed.Now, 1);
  if (!ReadLogon(tokens, parsed, prompt)) return false;
  SetPair(tokens, "-diff", parsed.DiffGiven, parsed.Diff, 1);
  SetPair(tokens, "-nodiff", parsed.DiffGiven, parsed.Diff, 0);
  SetPair(tokens, "-hide", parsed.HideGiven, parsed.Hide, 1);
  SetPair(tokens, "-nohide", parsed.HideGiven, parsed.Hide, 0);
  SetPair(tokens, "-delbat", parsed.DelBatGiven, parsed.DelBat, 1);
  SetPair(tokens, "-nodelbat", parsed.DelBatGiven, parsed.DelBat, 0);
  SetFlag(tokens, "-relogon", parsed.Relogon, 1);
  if (!ReadPlace(tokens, "-p", parsed, nullptr)) return false;
  options = std::move(parsed);
  return true;
}

}  // namespace velandra::app
