// Resource ids of the window test's dialog templates.
#pragma once

#define IDD_SMALL 101      // 200 x 100 units at (10, 10)
#define IDD_WIDE 103       // wider than the screen
#define IDC_LIST 1001
