#pragma once
#define IDD_PROBE 100
#define IDC_PROBE_TEXT 1000
