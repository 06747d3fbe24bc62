// Resource, control and command ids of hvCurfew.exe. The numbers are fixed:
// other programs, the jump list and forwarded command lines rely on them.
#pragma once

#include "shared_resource.h"

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

// About box (500, shared template): the limiter's web-site button.
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

// Password prompt (505, shared template).
#define IDD_PASSWORD 505

// Strings. Menu help texts of the monitor window use the command's own id.
#define IDS_TITLE 1
#define IDS_ALREADY_RUNNING 2
#define IDS_NO_RIGHTS 3
#define IDS_EXIT_QUESTION 4
#define IDS_EXIT_CAPTION 5
#define IDS_EDITOR_FAILED 6
#define IDS_APPLY_QUESTION 7
#define IDS_CONFIRM_CAPTION 8
#define IDS_APPLY_DONE 9
#define IDS_APPLY_DONE_CAPTION 10
#define IDS_HELP_MISSING 11
#define IDS_TRAY_LABEL 12
#define IDS_RELEASE_REFUSED 13
#define IDS_RELEASE_NO_ANSWER 14

// Display states: tip (one %s for the account) and overlay description.
#define IDS_TIP_INIT 100
#define IDS_TIP_NOLIMIT 101
#define IDS_TIP_PLENTY 102
#define IDS_TIP_LITTLE 103
#define IDS_TIP_OUT 104
#define IDS_STATE_INIT 110
#define IDS_STATE_NOLIMIT 111
#define IDS_STATE_PLENTY 112
#define IDS_STATE_LITTLE 113
#define IDS_STATE_OUT 114

// Warnings: title and text.
#define IDS_WARN_10MIN_TITLE 120
#define IDS_WARN_5MIN_TITLE 121
#define IDS_WARN_3MIN_TITLE 122
#define IDS_WARN_1MIN_TITLE 123
#define IDS_WARN_TIMEOUT_TITLE 124
#define IDS_WARN_10MIN_TEXT 130
#define IDS_WARN_5MIN_TEXT 131
#define IDS_WARN_3MIN_TEXT 132
#define IDS_WARN_1MIN_TEXT 133
#define IDS_WARN_TIMEOUT_TEXT 134

// Time-out.
#define IDS_COUNTDOWN_TITLE 140
#define IDS_EXIT_FAILED_CAPTION 141

// User information dialog: weekday names (Sunday first) and mode texts.
#define IDS_WEEKDAY_SUN 150
#define IDS_MODE_DESC_NONE 160
#define IDS_MODE_DESC_DAILY 161
#define IDS_MODE_DESC_WEEKDAY_WEEKEND 162
#define IDS_MODE_DESC_DAY_OF_WEEK 163
#define IDS_MODE_DESC_GROUP 164
#define IDS_MODE_DESC_TIMER 165

// Monitor window.
#define IDS_MONITOR_TITLE 200
#define IDS_MONITOR_SHOWALL_BUTTON 201
#define IDS_MONITOR_SHOWALL_QUESTION 202
#define IDS_MONITOR_STATUS 203
#define IDS_MONITOR_COL_NAME 210
#define IDS_MONITOR_COL_FULLNAME 211
#define IDS_MONITOR_COL_MODE 212
#define IDS_MONITOR_COL_REMAIN 213
#define IDS_MONITOR_GROUP_CURRENT 220
#define IDS_MONITOR_GROUP_REGISTERED 221
#define IDS_MONITOR_MODE_NONE 230
#define IDS_MONITOR_MODE_UNKNOWN 236
#define IDS_MONITOR_UNLIMITED 240
#define IDS_MONITOR_OUT 241
#define IDS_MONITOR_CANNOT_SHOW 242
#define IDS_MONITOR_NAME_FAILED 243
#define IDS_MONITOR_NAME_UNSET 244
#define IDS_MONITOR_AS_OF 245

// Jump list tasks.
#define IDS_JUMP_MONITOR 250
#define IDS_JUMP_USERINFO 251
#define IDS_JUMP_EDITOR 252
#define IDS_JUMP_APPLY 253
#define IDS_JUMP_HELP 254
#define IDS_JUMP_ABOUT 255
