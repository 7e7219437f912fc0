#include "ui/file_filter.h"

#include <gtest/gtest.h>

namespace velandra::ui {
namespace {

struct FilterCase {
  const char* filter;
  std::vector<FileFilter> want;
};

TEST(SplitFileFilter, PairsInOrderWithoutTheSpacesAround) {
  const FilterCase cases[] = {
      {"実行ファイル | *.exe;*.bat||", {{"実行ファイル", "*.exe;*.bat"}}},
      {"全てのファイル | *.*||", {{"全てのファイル", "*.*"}}},
      {"実行ファイル | *.exe|全て|*.*||", {{"実行ファイル", "*.exe"}, {"全て", "*.*"}}},
      // "ポ" is 0x83 0x7C: its trail byte is '|' and must not split.
      {"レポート|*.txt||", {{"レポート", "*.txt"}}},
      // Without the closing bars, and a description without patterns.
      {"テキスト|*.txt", {{"テキスト", "*.txt"}}},
      {"説明だけ|", {}},
      {"", {}},
  };
  for (const FilterCase& c : cases) {
    const std::vector<FileFilter> got = SplitFileFilter(c.filter);
    ASSERT_EQ(got.size(), c.want.size()) << c.filter;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].Description, c.want[i].Description) << c.filter;
      EXPECT_EQ(got[i].Patterns, c.want[i].Patterns) << c.filter;
    }
  }
}

}  // namespace
}  // namespace velandra::ui
