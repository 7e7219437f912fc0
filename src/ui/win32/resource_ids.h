// Resource ids of the Win32 views, shared by the .rc files and the C++ code
// (plain #defines, so that windres reads this file too). A dialog's controls
// are numbered from its template id times ten, so that dialogs never clash.
#pragma once

#define IDD_USER_PASSWORD 148
#define IDC_USER_PASSWORD_MESSAGE 1481
#define IDC_USER_PASSWORD_USER_LABEL 1482
#define IDC_USER_PASSWORD_USER 1483
#define IDC_USER_PASSWORD_PASSWORD_LABEL 1484
#define IDC_USER_PASSWORD_PASSWORD 1485
