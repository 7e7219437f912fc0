// The IP page and its address and gateway dialogs.
#pragma once

#define IDD_PAGE_IP 129
#define IDD_IP_ADDRESS 134
#define IDD_GATEWAY 135
