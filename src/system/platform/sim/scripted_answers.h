// Answers given in advance to the questions and dialogs of a run on the
// simulated PC, so that tests and unattended demos need no person. Each
// question takes the next answer; a question with none left is an error of
// the script, never a silent default.
#pragma once
#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velandra::platform::sim {

// Thrown when the script has no answer for a question. The simulated PC's
// front ends catch it and end the run with a clear message.
class SimulationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ScriptedAnswers {
 public:
  // Answers separated by ';' (a literal ';' is written ";;").
  void PushList(std::string_view list);
  void Push(std::string answer) { answers_.push_back(std::move(answer)); }
  // The next answer for `question` (UTF-8, named in the error); throws
  // SimulationError when none is left.
  std::string Take(std::string_view question);
  bool Empty() const { return answers_.empty(); }
  size_t Remaining() const { return answers_.size(); }

 private:
  std::deque<std::string> answers_;
};

}  // namespace velandra::platform::sim
