// An ordered list of texts edited with five buttons: add, edit, delete, up
// and down (the DNS servers, the DNS suffix search list, the WINS servers).
// The list holds what its list box shows (the entries and the selection);
// a small dialog edits one entry at a time.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "system/platform/messages.h"
#include "ui/dialog_model.h"

namespace velandra::ui {

// The dialog that edits one entry of an ordered list.
class CListEntryDialog : public CDialogModel {
 public:
  explicit CListEntryDialog(platform::IMessages& messages) : messages_(messages) {}

  // The entry: set before the dialog is shown (empty for a new one); after
  // OK, the text that was accepted.
  std::string Entry;
  // Set by the list while it shows the dialog: why the list cannot take
  // `entry` (its message), empty when it can. OK asks it after the dialog's
  // own checks, so that a refused entry stays in the dialog to be mended.
  std::function<std::string(const std::string& entry)> ListRefusal;

 protected:
  // Shows `text` with a warning icon and puts the focus on `control`;
  // false, for OnOK to return.
  bool Refuse(const std::string& text, int control);
  // The list's answer for `entry`: true when it takes it, else Refuse.
  bool ListTakes(const std::string& entry, int control);

  platform::IMessages& messages_;
};

// The warnings of one list (warning icon) and the length its comma-joined
// text may reach: it is stored as one comma-joined value.
struct OrderedListTexts {
  const char* selectToEdit;
  const char* selectToDelete;
  const char* selectToMoveUp;
  const char* selectToMoveDown;
  const char* tooLong;
  size_t maxText;
};

class OrderedList {
 public:
  OrderedList(const OrderedListTexts& texts, platform::IMessages& messages)
      : texts_(texts), messages_(messages) {}

  // The entries in order, and the selected one (-1: none; an index past the
  // end counts as none).
  std::vector<std::string> Items;
  int Selected = -1;

  // The entries of a record, none selected.
  void Assign(const std::vector<std::string>& items);
  bool HasSelection() const;

  // Add: `dialog` empty; on OK its entry goes in before the selected entry,
  // which stays selected, or at the end when none is. Duplicates are taken.
  void OnAdd(IDialogHost& host, CListEntryDialog& dialog);
  // Edit: `dialog` with the selected entry; on OK it replaces it in place.
  void OnEdit(IDialogHost& host, CListEntryDialog& dialog);
  // Delete: the selected entry goes at once, without a question; then none
  // is selected.
  void OnDelete();
  // Up and down: the selected entry moves one place and stays selected; at
  // the first (last) place nothing happens and nothing is said.
  void OnUp();
  void OnDown();

  // Why the list cannot take `item` at `index` (replacing the entry there
  // when `replace`, else inserted before it): its text, else empty.
  std::string Refusal(size_t index, const std::string& item, bool replace) const;

 private:
  void Warn(const char* text) const;

  OrderedListTexts texts_;
  platform::IMessages& messages_;
};

using platform::ShowWarning;

// Whether `selection` names a row of a list of `size` rows.
inline bool Selected(int selection, size_t size) {
  return selection >= 0 && static_cast<size_t>(selection) < size;
}

// Inserts before the selected row, which moves down and stays selected, or
// appends when none is selected.
template <class Row>
void InsertAtSelection(std::vector<Row>& rows, int& selection, Row row) {
  if (Selected(selection, rows.size())) {
    rows.insert(rows.begin() + selection, std::move(row));
    ++selection;
  } else {
    rows.push_back(std::move(row));
    selection = -1;
  }
}

}  // namespace velandra::ui
