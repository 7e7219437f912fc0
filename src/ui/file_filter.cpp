#include "ui/file_filter.h"

#include "system/platform/text.h"

namespace velandra::ui {

namespace {

std::string Trimmed(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace

std::vector<FileFilter> SplitFileFilter(std::string_view filter) {
  std::vector<std::string> parts;
  size_t from = 0;
  while (from < filter.size()) {
    const size_t bar = platform::Cp932Find(filter, '|', from);
    if (bar == std::string_view::npos) {
      parts.push_back(Trimmed(filter.substr(from)));
      break;
    }
    parts.push_back(Trimmed(filter.substr(from, bar - from)));
    from = bar + 1;
  }
  std::vector<FileFilter> pairs;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) break;  // the closing "||"
    pairs.push_back({parts[i], parts[i + 1]});
  }
  return pairs;
}

}  // namespace velandra::ui
