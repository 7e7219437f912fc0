// Resource ids, shared by the .rc files, the Win32 views and the
// toolkit-neutral page and dialog classes (which name the control that gets
// the focus). Plain #defines, so that windres reads these files too.
//
// A template's controls are numbered from its id times 100 (template 129:
// 12901 to 12999), so that no two dialogs share a control id and a test can
// find a control by id in any window of the program.
#pragma once

// Icons and cursors.
#define IDI_VELANDRA 128
#define IDI_UP 153
#define IDI_DOWN 154
#define IDC_LINK_CURSOR 159

// The main sheet's caption, as a string resource.
#define IDS_VELANDRA 1

#include "ui/ids_sheet.h"
#include "ui/ids_setting.h"
#include "ui/ids_ip.h"
#include "ui/ids_dns_wins.h"
#include "ui/ids_other.h"
#include "ui/ids_netdrive.h"
#include "ui/ids_share_permission.h"
#include "ui/ids_option.h"
#include "ui/ids_domain.h"
