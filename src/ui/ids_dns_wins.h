// The DNS and WINS pages and their server and suffix dialogs.
#pragma once

#define IDD_PAGE_DNS 130
#define IDD_PAGE_WINS 131
#define IDD_DNS_SERVER 136
#define IDD_DNS_SUFFIX 137
#define IDD_WINS_SERVER 139
