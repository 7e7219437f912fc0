#include "ui/ordered_list.h"

#include <utility>

namespace velandra::ui {

bool CListEntryDialog::Refuse(const std::string& text, int control) {
  ShowWarning(messages_, text);
  Focus = control;
  return false;
}

bool CListEntryDialog::ListTakes(const std::string& entry, int control) {
  if (!ListRefusal) return true;
  const std::string refusal = ListRefusal(entry);
  return refusal.empty() || Refuse(refusal, control);
}

void OrderedList::Assign(const std::vector<std::string>& items) {
  Items = items;
  Selected = -1;
}

bool OrderedList::HasSelection() const {
  return Selected >= 0 && static_cast<size_t>(Selected) < Items.size();
}

void OrderedList::Warn(const char* text) const { ShowWarning(messages_, text); }

std::string OrderedList::Refusal(size_t index, const std::string& item, bool replace) const {
  // The comma-joined length: every entry plus one comma between two.
  size_t length = 0;
  size_t count = 0;
  for (size_t i = 0; i < Items.size(); ++i) {
    if (replace && i == index) continue;
    length += Items[i].size();
    ++count;
  }
  length += item.size() + count;
  return length <= texts_.maxText ? std::string() : std::string(texts_.tooLong);
}

void OrderedList::OnAdd(IDialogHost& host, CListEntryDialog& dialog) {
  const size_t at = HasSelection() ? static_cast<size_t>(Selected) : Items.size();
  dialog.Entry.clear();
  dialog.ListRefusal = [this, at](const std::string& entry) { return Refusal(at, entry, false); };
  if (!host.DoModal(dialog)) return;
  Items.insert(Items.begin() + static_cast<std::ptrdiff_t>(at), dialog.Entry);
  if (HasSelection()) ++Selected;  // the list box keeps the same entry selected
}

void OrderedList::OnEdit(IDialogHost& host, CListEntryDialog& dialog) {
  if (!HasSelection()) return Warn(texts_.selectToEdit);
  const size_t at = static_cast<size_t>(Selected);
  dialog.Entry = Items[at];
  dialog.ListRefusal = [this, at](const std::string& entry) { return Refusal(at, entry, true); };
  if (!host.DoModal(dialog)) return;
  Items[at] = dialog.Entry;
}

void OrderedList::OnDelete() {
  if (!HasSelection()) return Warn(texts_.selectToDelete);
  Items.erase(Items.begin() + Selected);
  Selected = -1;
}

void OrderedList::OnUp() {
  if (!HasSelection()) return Warn(texts_.selectToMoveUp);
  if (Selected == 0) return;
  std::swap(Items[static_cast<size_t>(Selected)], Items[static_cast<size_t>(Selected) - 1]);
  --Selected;
}

void OrderedList::OnDown() {
  if (!HasSelection()) return Warn(texts_.selectToMoveDown);
  if (static_cast<size_t>(Selected) + 1 == Items.size()) return;
  std::swap(Items[static_cast<size_t>(Selected)], Items[static_cast<size_t>(Selected) + 1]);
  ++Selected;
}

}  // namespace velandra::ui
