// The filter of an open-file dialog, as the pages write it: pairs of a
// description and patterns, each ended by '|', the list ended by one more
// ("実行ファイル | *.exe;*.bat||").
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace velandra::ui {

struct FileFilter {
  std::string Description;
  std::string Patterns;  // "*.exe;*.bat"
};

// The pairs in order, each text without the spaces around it. The split is
// made per CP932 character, so a trail byte equal to '|' splits nothing. A
// description without its patterns is dropped.
std::vector<FileFilter> SplitFileFilter(std::string_view filter);

}  // namespace velandra::ui
