// The sheet's own pages and dialogs: the exit-mode dialog, the user name and
// password dialog, the About page and the pages that are not built yet.
#pragma once

#define IDD_EXIT 140
#define IDC_EXIT_ICON 14001
#define IDC_EXIT_MODE 14002
#define IDC_EXIT_POWER_OFF 14003
#define IDC_EXIT_CHANGE_USER 14004
#define IDC_EXIT_USER_LABEL 14005
#define IDC_EXIT_USER 14006
#define IDC_EXIT_PASSWORD_LABEL 14007
#define IDC_EXIT_PASSWORD 14008

#define IDD_USER_PASSWORD 148
#define IDC_USER_PASSWORD_MESSAGE 14801
#define IDC_USER_PASSWORD_USER_LABEL 14802
#define IDC_USER_PASSWORD_USER 14803
#define IDC_USER_PASSWORD_PASSWORD_LABEL 14804
#define IDC_USER_PASSWORD_PASSWORD 14805

// The About page ("Version"): the icon, the product line, and the four
// links in their order.
#define IDD_PAGE_ABOUT 132
#define IDC_ABOUT_ICON 13201
#define IDC_ABOUT_PRODUCT 13202
#define IDC_ABOUT_LINK_MAIL 13203
#define IDC_ABOUT_LINK_WEB 13204
#define IDC_ABOUT_LINK_THANKS 13205
#define IDC_ABOUT_LINK_COMPANION 13206
