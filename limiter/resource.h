// Resource, control and command ids of hvCurfew.exe. The numbers are fixed:
// other programs, the jump list and forwarded command lines rely on them.
#pragma once

// Icons: program, monitor window, the state icons and the taskbar overlays.
#define IDI_PROGRAM 100
#define IDI_MONITOR 101
#define IDI_STATE_INIT 102
#define IDI_STATE_NOLIMIT 103
#define IDI_STATE_PLENTY 104
#define IDI_STATE_LITTLE 105
#define IDI_STATE_OUT 106
#define IDI_COUNTDOWN_2 107
#define IDI_COUNTDOWN_3 108
#define IDI_PASSWORD 109
#define IDI_OVERLAY_PLENTY 110
#define IDI_OVERLAY_LITTLE 111
#define IDI_OVERLAY_OUT 112
#define IDI_OVERLAY_NOLIMIT 113
#define IDI_OVERLAY_INIT 114

// State pictures of the tray window (64x64), in state order.
#define IDB_STATE_INIT 300
#define IDB_STATE_NOLIMIT 301
#define IDB_STATE_PLENTY 302
#define IDB_STATE_LITTLE 303
#define IDB_STATE_OUT 304

// Menus and accelerators.
#define IDA_MONITOR 200
#define IDM_POPUP 201
#define IDM_MONITOR_MENU 202

// Popup menu commands (also posted by a forwarding instance).
#define IDM_MONITOR 40000
#define IDM_USERINFO 40001
#define IDM_SHOWTIME 40002
#define IDM_HIDEBUTTON 40003
#define IDM_EDITOR 40004
#define IDM_APPLY 40005
#define IDM_HELP 40006
#define IDM_ABOUT 40007
#define IDM_EXIT 40008

// Monitor window menu commands.
#define IDM_MONITOR_CLOSE 45000
#define IDM_MONITOR_SHOWALL 45001
#define IDM_MONITOR_REFRESH 45002

// Tray window controls.
#define IDC_TRAY_PICTURE 1000
#define IDC_TRAY_LABEL 1001
#define IDC_TRAY_REMAIN 1002

// Monitor window controls.
#define IDC_MONITOR_LIST 1000
#define IDC_MONITOR_SHOWALL 1001
#define IDC_MONITOR_STATUS 1002

// About box (500).
#define IDD_ABOUT 500
#define IDC_ABOUT_PRODUCT 1000
#define IDC_ABOUT_VERSION 1001
#define IDC_ABOUT_LEGAL 1002
#define IDC_ABOUT_NOTE 1003
#define IDC_ABOUT_WEBSITE 1005

// User information dialog (501).
#define IDD_USERINFO 501
#define IDC_USERINFO_CLOCK 1000
#define IDC_USERINFO_USER 1001
#define IDC_USERINFO_MODE 1002

// Time-out countdown (503).
#define IDD_COUNTDOWN 503
#define IDC_COUNTDOWN_ICON 1000
#define IDC_COUNTDOWN_PROGRESS 1001

// Password prompt (505).
#define IDD_PASSWORD 505
#define IDC_PASSWORD_EDIT 1000
