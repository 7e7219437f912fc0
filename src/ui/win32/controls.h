// Small helpers over the controls of a dialog or page, ANSI (CP932) text.
#pragma once
#include "system/platform/win32/win_api.h"

#include <initializer_list>
#include <string>
#include <vector>

#include "ui/ip_address_field.h"

namespace velandra::ui::win32 {

std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
// The most bytes an edit control takes.
void LimitText(HWND dialog, int id, size_t bytes);
bool ItemChecked(HWND dialog, int id);
void SetItemChecked(HWND dialog, int id, bool checked);
void EnableItem(HWND dialog, int id, bool enabled);
void EnableItems(HWND dialog, std::initializer_list<int> ids, bool enabled);

// Radio buttons of one group, in order: the index of the checked one, -1
// when none is; setting checks exactly the one at `index`.
int RadioIndex(HWND dialog, std::initializer_list<int> ids);
void SetRadioIndex(HWND dialog, std::initializer_list<int> ids, int index);

// List box: items in order and the selection (-1 none).
void SetListBoxItems(HWND dialog, int id, const std::vector<std::string>& items, int selected);
int ListBoxSelection(HWND dialog, int id);
std::vector<std::string> ListBoxItems(HWND dialog, int id);

// Drop-down list: items with their data, and the selection (-1 none).
void SetComboItems(HWND dialog, int id, const std::vector<std::string>& items,
                   const std::vector<LPARAM>& data, int selected);
int ComboSelection(HWND dialog, int id);

// Report-style list view with whole-row selection.
void SetListViewColumns(HWND dialog, int id, std::initializer_list<const char*> titles,
                        int width);
void SetListViewRows(HWND dialog, int id, const std::vector<std::vector<std::string>>& rows,
                     int selected);
int ListViewSelection(HWND dialog, int id);

// IP address control.
void SetIpFields(HWND dialog, int id, const IpFields& fields);
IpFields GetIpFields(HWND dialog, int id);

// An unsigned number field: the text as it stands (the models check it).
inline std::string NumberText(HWND dialog, int id) { return ItemText(dialog, id); }

// The icon resource `id` at 16x16 on a button (BS_ICON is set).
void SetButtonIcon(HWND dialog, int button, HINSTANCE module, int icon);

}  // namespace velandra::ui::win32
