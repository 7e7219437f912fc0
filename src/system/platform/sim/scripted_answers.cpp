#include "system/platform/sim/scripted_answers.h"

namespace velandra::platform::sim {

void ScriptedAnswers::PushList(std::string_view list) {
  std::string current;
  bool any = false;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == ';') {
      if (i + 1 < list.size() && list[i + 1] == ';') {
        current.push_back(';');
        ++i;
        continue;
      }
      answers_.push_back(current);
      current.clear();
      any = false;
      continue;
    }
    current.push_back(list[i]);
    any = true;
  }
  if (any) answers_.push_back(current);
}

std::string ScriptedAnswers::Take(std::string_view question) {
  if (answers_.empty())
    throw SimulationError("no scripted answer left for: " + std::string(question));
  std::string answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

}  // namespace velandra::platform::sim
