// The sheet's own pages and dialogs: the exit-mode dialog, the user name and
// password dialog, the About page and the pages that are not built yet.
#pragma once

#define IDD_EXIT 140
#define IDD_USER_PASSWORD 148
#define IDC_USER_PASSWORD_MESSAGE 14801
#define IDC_USER_PASSWORD_USER_LABEL 14802
#define IDC_USER_PASSWORD_USER 14803
#define IDC_USER_PASSWORD_PASSWORD_LABEL 14804
#define IDC_USER_PASSWORD_PASSWORD 14805
