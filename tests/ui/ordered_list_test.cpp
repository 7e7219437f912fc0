#include "ui/ordered_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/answering_dialog_host.h"

namespace velandra::ui {
namespace {

using velandra::testing::AnsweringDialogHost;

struct Shown {
  std::string text;
  platform::MessageIcon icon;
  platform::MessageOwner owner;
};

class RecordingMessages : public platform::IMessages {
 public:
  platform::MessageAnswer Show(platform::MessageOwner owner, const std::string& text,
                               const std::string& caption, platform::MessageIcon icon,
                               platform::MessageButtons buttons) override {
    EXPECT_EQ(caption, "Velandra");
    EXPECT_EQ(buttons, platform::MessageButtons::Ok);
    shown.push_back({text, icon, owner});
    return platform::MessageAnswer::Ok;
  }
  std::vector<Shown> shown;
};

// A plain text entry, as the suffix dialog is.
class TextEntryDialog : public CListEntryDialog {
 public:
  using CListEntryDialog::CListEntryDialog;
  uint32_t TemplateId() const override { return 1; }
  void OnInitDialog() override {
    Typed = Entry;
    InitialEntry = Entry;
  }
  bool OnOK() override {
    if (!ListTakes(Typed, 7)) return false;
    Entry = Typed;
    return true;
  }
  std::string Typed;
  std::optional<std::string> InitialEntry;
};

// Every entry joined by commas may reach 7 characters.
const OrderedListTexts kTexts = {"edit?", "delete?", "up?", "down?", "too long", 7};

enum class Button { Add, Edit, Delete, Up, Down };

struct Row {
  const char* name;
  std::vector<std::string> items;
  int selected;
  Button button;
  // One press each: a text is typed and OK pressed; nullopt is Cancel.
  std::vector<std::optional<std::string>> presses;
  std::vector<std::string> itemsAfter;
  int selectedAfter;
  // What the dialog showed when it opened; nullopt when none was shown.
  std::optional<std::string> dialogShowed;
  // The warnings shown, in order.
  std::vector<std::string> messages;
};

const Row kRows[] = {
    {"add to an empty list", {}, -1, Button::Add, {"a"}, {"a"}, -1, "", {}},
    {"add with none selected appends", {"a", "b"}, -1, Button::Add, {"c"}, {"a", "b", "c"}, -1,
     "", {}},
    {"add inserts before the selected entry, which stays selected", {"a", "b", "c"}, 1,
     Button::Add, {"x"}, {"a", "x", "b", "c"}, 2, "", {}},
    {"add before the first", {"a", "b"}, 0, Button::Add, {"x"}, {"x", "a", "b"}, 1, "", {}},
    {"add a duplicate", {"a", "b"}, -1, Button::Add, {"a"}, {"a", "b", "a"}, -1, "", {}},
    {"add cancelled", {"a"}, 0, Button::Add, {std::nullopt}, {"a"}, 0, "", {}},
    {"add up to the limit", {"abc"}, -1, Button::Add, {"def"}, {"abc", "def"}, -1, "", {}},
    {"add past the limit is refused and the dialog stays open", {"abc"}, -1, Button::Add,
     {"defg", "de"}, {"abc", "de"}, -1, "", {"too long"}},
    {"refused then cancelled", {"abc"}, 0, Button::Add, {"defg", std::nullopt}, {"abc"}, 0, "",
     {"too long"}},
    {"edit with none selected", {"a", "b"}, -1, Button::Edit, {}, {"a", "b"}, -1, std::nullopt,
     {"edit?"}},
    {"a selection past the end is none", {"a", "b"}, 2, Button::Edit, {}, {"a", "b"}, 2,
     std::nullopt, {"edit?"}},
    {"edit replaces in place", {"a", "b", "c"}, 1, Button::Edit, {"y"}, {"a", "y", "c"}, 1, "b",
     {}},
    {"edit to a duplicate", {"a", "b"}, 1, Button::Edit, {"a"}, {"a", "a"}, 1, "b", {}},
    {"edit cancelled", {"a", "b"}, 0, Button::Edit, {std::nullopt}, {"a", "b"}, 0, "a", {}},
    {"edit counts the replaced entry out", {"abc", "d"}, 0, Button::Edit, {"abcde"},
     {"abcde", "d"}, 0, "abc", {}},
    {"edit past the limit", {"abc", "d"}, 0, Button::Edit, {"abcdef", std::nullopt},
     {"abc", "d"}, 0, "abc", {"too long"}},
    {"delete with none selected", {"a"}, -1, Button::Delete, {}, {"a"}, -1, std::nullopt,
     {"delete?"}},
    {"delete the selected entry without asking", {"a", "b", "c"}, 1, Button::Delete, {},
     {"a", "c"}, -1, std::nullopt, {}},
    {"delete the only entry", {"a"}, 0, Button::Delete, {}, {}, -1, std::nullopt, {}},
    {"up with none selected", {"a", "b"}, -1, Button::Up, {}, {"a", "b"}, -1, std::nullopt,
     {"up?"}},
    {"up from the first does nothing", {"a", "b"}, 0, Button::Up, {}, {"a", "b"}, 0,
     std::nullopt, {}},
    {"up moves and follows", {"a", "b", "c"}, 2, Button::Up, {}, {"a", "c", "b"}, 1,
     std::nullopt, {}},
    {"down with none selected", {"a", "b"}, -1, Button::Down, {}, {"a", "b"}, -1, std::nullopt,
     {"down?"}},
    {"down from the last does nothing", {"a", "b"}, 1, Button::Down, {}, {"a", "b"}, 1,
     std::nullopt, {}},
    {"down moves and follows", {"a", "b", "c"}, 0, Button::Down, {}, {"b", "a", "c"}, 1,
     std::nullopt, {}},
    {"up in an empty list", {}, -1, Button::Up, {}, {}, -1, std::nullopt, {"up?"}},
};

TEST(OrderedList, Buttons) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    RecordingMessages messages;
    AnsweringDialogHost host;
    OrderedList list(kTexts, messages);
    list.Items = row.items;
    list.Selected = row.selected;
    TextEntryDialog dialog(messages);
    dialog.Entry = "stale";  // what an earlier use might have left
    std::vector<AnsweringDialogHost::Press> presses;
    for (const std::optional<std::string>& press : row.presses)
      presses.push_back([press](CDialogModel& shown) {
        if (!press) return false;
        static_cast<TextEntryDialog&>(shown).Typed = *press;
        return true;
      });
    if (!presses.empty()) host.Answer(std::move(presses));

    switch (row.button) {
      case Button::Add: list.OnAdd(host, dialog); break;
      case Button::Edit: list.OnEdit(host, dialog); break;
      case Button::Delete: list.OnDelete(); break;
      case Button::Up: list.OnUp(); break;
      case Button::Down: list.OnDown(); break;
    }

    EXPECT_EQ(list.Items, row.itemsAfter);
    EXPECT_EQ(list.Selected, row.selectedAfter);
    EXPECT_EQ(dialog.InitialEntry, row.dialogShowed);
    EXPECT_TRUE(host.AllAnswered());
    std::vector<std::string> texts;
    for (const Shown& shown : messages.shown) {
      texts.push_back(shown.text);
      EXPECT_EQ(shown.icon, platform::MessageIcon::Warning);
      EXPECT_EQ(shown.owner, platform::MessageOwner::MainWindow);
    }
    EXPECT_EQ(texts, row.messages);
  }
}

}  // namespace
}  // namespace velandra::ui
