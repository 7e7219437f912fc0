#include "system/local_users.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace velandra {
namespace {

using velandra::testing::ScratchPc;

std::string UsersFile(int count, const std::string& first = "") {
  std::string text = first.empty() ? "" : "[" + first + "]\ngroups = Users\n";
  for (int i = 0; i < count; ++i) text += "[user" + std::to_string(i) + "]\n";
  return text;
}

TEST(ListLocalUsers, NamesInDatabaseOrderOrFailure) {
  struct Row {
    const char* name;
    std::string users;  // users.ini; ASCII here
    bool ok;
    size_t count;
    std::string first;
  } rows[] = {
      {"demo", "", true, 3, "Administrator"},
      {"exactly_1000", UsersFile(1000), true, 1000, "user0"},
      {"more_than_one_answer", UsersFile(1001), false, 0, ""},
      {"unreachable", "[database]\nunreachable = yes\n[Administrator]\n", false, 0, ""},
      {"long_name_cut", UsersFile(0, std::string(300, 'u')), true, 1, std::string(255, 'u')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchPc pc;
    if (!row.users.empty()) pc.WriteFile("users.ini", row.users);
    std::vector<std::string> names{"marker"};
    EXPECT_EQ(ListLocalUsers(pc.Open().platform().accounts, names), row.ok);
    ASSERT_EQ(names.size(), row.count);
    if (row.count) {
      EXPECT_EQ(names[0], row.first);
    }
  }
}

TEST(ListLocalUsers, DemoPcNamesAreBare) {
  ScratchPc pc;
  std::vector<std::string> names;
  ASSERT_TRUE(ListLocalUsers(pc.Open().platform().accounts, names));
  EXPECT_EQ(names, (std::vector<std::string>{"Administrator", "Guest", "yamada"}));
}

}  // namespace
}  // namespace velandra
