#include "ui/win32/controls.h"

#include <commctrl.h>

#include <utility>

namespace velandra::ui::win32 {

void LimitText(HWND dialog, int id, size_t bytes) {
  SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(bytes), 0);
}

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return {};
  // The length is an upper bound for ANSI text; the copy gives the true one.
  const int length = GetWindowTextLengthA(item);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(item, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
  return text;
}

void SetItemText(HWND dialog, int id, const std::string& text) {
  // Setting the same text again would move the caret of an edit field.
  if (ItemText(dialog, id) != text) SetDlgItemTextA(dialog, id, text.c_str());
}

bool ItemChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetItemChecked(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableItem(HWND dialog, int id, bool enabled) {
  if (HWND item = GetDlgItem(dialog, id)) EnableWindow(item, enabled ? TRUE : FALSE);
}

void EnableItems(HWND dialog, std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) EnableItem(dialog, id, enabled);
}

int RadioIndex(HWND dialog, std::initializer_list<int> ids) {
  int index = 0;
  for (int id : ids) {
    if (ItemChecked(dialog, id)) return index;
    ++index;
  }
  return -1;
}

void SetRadioIndex(HWND dialog, std::initializer_list<int> ids, int index) {
  int i = 0;
  for (int id : ids) SetItemChecked(dialog, id, i++ == index);
}

void SetListBoxItems(HWND dialog, int id, const std::vector<std::string>& items, int selected) {
  HWND list = GetDlgItem(dialog, id);
  if (!list) return;
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int ListBoxSelection(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::vector<std::string> ListBoxItems(HWND dialog, int id) {
  std::vector<std::string> items;
  HWND list = GetDlgItem(dialog, id);
  if (!list) return items;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == LB_ERR) break;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    items.push_back(std::move(text));
  }
  return items;
}

void SetComboItems(HWND dialog, int id, const std::vector<std::string>& items,
                   const std::vector<LPARAM>& data, int selected) {
  HWND combo = GetDlgItem(dialog, id);
  if (!combo) return;
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < items.size(); ++i) {
    const LRESULT at =
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i].c_str()));
    if (at >= 0 && i < data.size())
      SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), data[i]);
  }
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int ComboSelection(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void SetListViewColumns(HWND dialog, int id, std::initializer_list<const char*> titles,
                        int width) {
  HWND list = GetDlgItem(dialog, id);
  if (!list) return;
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const char* title : titles) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
    ++index;
  }
}

void SetListViewRows(HWND dialog, int id, const std::vector<std::vector<std::string>>& rows,
                     int selected) {
  HWND list = GetDlgItem(dialog, id);
  if (!list) return;
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = static_cast<int>(c);
      item.pszText = const_cast<char*>(rows[r][c].c_str());
      SendMessageA(list, c == 0 ? LVM_INSERTITEMA : LVM_SETITEMA, 0,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  if (selected >= 0) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(&state));
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int ListViewSelection(HWND dialog, int id) {
  const LRESULT index =
      SendDlgItemMessageA(dialog, id, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  return static_cast<int>(index);
}

namespace {

// The four edit fields of an IP address control, left to right.
std::vector<HWND> IpEdits(HWND control) {
  std::vector<HWND> edits;
  for (HWND child = GetWindow(control, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    edits.push_back(child);
  // The control makes its fields right to left in some versions: order by
  // their place on the screen.
  for (size_t i = 1; i < edits.size(); ++i)
    for (size_t j = i; j > 0; --j) {
      RECT a{}, b{};
      GetWindowRect(edits[j - 1], &a);
      GetWindowRect(edits[j], &b);
      if (b.left < a.left) std::swap(edits[j - 1], edits[j]);
    }
  return edits;
}

}  // namespace

void SetIpFields(HWND dialog, int id, const IpFields& fields) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return;
  if (IpFieldsComplete(fields)) {
    SendMessageA(control, IPM_SETADDRESS, 0,
                 MAKEIPADDRESS(*fields[0], *fields[1], *fields[2], *fields[3]));
    return;
  }
  SendMessageA(control, IPM_CLEARADDRESS, 0, 0);
  const std::vector<HWND> edits = IpEdits(control);
  if (edits.size() != 4) return;
  for (size_t i = 0; i < 4; ++i)
    if (fields[i]) SetWindowTextA(edits[i], std::to_string(*fields[i]).c_str());
}

IpFields GetIpFields(HWND dialog, int id) {
  IpFields fields;
  HWND control = GetDlgItem(dialog, id);
  if (!control) return fields;
  DWORD address = 0;
  const LRESULT filled = SendMessageA(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  if (filled == 4) {
    fields = {static_cast<uint8_t>(FIRST_IPADDRESS(address)),
              static_cast<uint8_t>(SECOND_IPADDRESS(address)),
              static_cast<uint8_t>(THIRD_IPADDRESS(address)),
              static_cast<uint8_t>(FOURTH_IPADDRESS(address))};
    return fields;
  }
  if (filled == 0) return fields;
  // Some fields blank: which ones, from the fields themselves.
  const std::vector<HWND> edits = IpEdits(control);
  if (edits.size() != 4) return fields;
  const uint8_t bytes[4] = {static_cast<uint8_t>(FIRST_IPADDRESS(address)),
                            static_cast<uint8_t>(SECOND_IPADDRESS(address)),
                            static_cast<uint8_t>(THIRD_IPADDRESS(address)),
                            static_cast<uint8_t>(FOURTH_IPADDRESS(address))};
  for (size_t i = 0; i < 4; ++i)
    if (GetWindowTextLengthA(edits[i]) > 0) fields[i] = bytes[i];
  return fields;
}

void SetButtonIcon(HWND dialog, int button, HINSTANCE module, int icon) {
  HWND item = GetDlgItem(dialog, button);
  if (!item) return;
  HANDLE image = LoadImageA(module, MAKEINTRESOURCEA(icon), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
  if (!image) return;  // the button keeps its text
  SetWindowLongPtrA(item, GWL_STYLE, GetWindowLongPtrA(item, GWL_STYLE) | BS_ICON);
  SendMessageA(item, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
}

}  // namespace velandra::ui::win32
