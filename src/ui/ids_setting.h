// The Setting page and the place-name dialog.
#pragma once

#define IDD_PAGE_SETTING 133
#define IDD_PLACE 138
