// Resource, control and command ids of cfwEdit.exe. Template, control and
// command numbers are fixed: tests and the help file refer to them.
#pragma once

#include "shared_resource.h"

// Icons: program, the list images of users and groups, the password prompt.
#define IDI_PROGRAM 100
#define IDI_USERS 107
#define IDI_GROUPS 108
#define IDI_PASSWORD 109

// Menu and accelerators of the main window.
#define IDM_MAIN 200
#define IDA_MAIN 201

// Main window controls.
#define IDC_USERS_LABEL 1000
#define IDC_USERS_LIST 1001
#define IDC_GROUPS_LABEL 1002
#define IDC_MENU_GROUP 1003
#define IDC_GROUPS_LIST 1004
#define IDC_USERS_BUTTON 1005
#define IDC_GROUPS_BUTTON 1006
#define IDC_TIMEOUT_BUTTON 1007
#define IDC_LOCK_BUTTON 1008
#define IDC_SERVICE_BUTTON 1009
#define IDC_BACKUP_BUTTON 1010
#define IDC_APPLY_BUTTON 1  // IDOK: the default button
#define IDC_EXIT_BUTTON 1011

// Menu commands.
#define IDM_APPLY 40000
#define IDM_EXIT 40001
#define IDM_USERS 40002
#define IDM_GROUPS 40003
#define IDM_REFRESH 40004
#define IDM_TIMEOUT 40005
#define IDM_LOCK 40006
#define IDM_SERVICE 40007
#define IDM_BACKUP 40008
#define IDM_HELP 40009
#define IDM_ABOUT 40010

// About box (500, shared template): the utility's web-site button.
#define IDC_ABOUT_WEBSITE 1004

// Password prompt (501, shared template).
#define IDD_PASSWORD 501

// Time-out action (511).
#define IDD_TIMEOUT 511
#define IDC_TIMEOUT_LIST 1000
#define IDC_TIMEOUT_DESCRIPTION 1001

// Password lock (512).
#define IDD_LOCK 512
#define IDC_LOCK_CURRENT_LABEL 1000
#define IDC_LOCK_CURRENT 1001
#define IDC_LOCK_NEW 1002
#define IDC_LOCK_CONFIRM 1003

// No administrator rights (513), elevation needed (514).
#define IDD_NOT_ADMIN 513
#define IDD_ELEVATE 514
#define IDC_ADMISSION_ICON 1000

// Progress window (515).
#define IDD_PROGRESS 515
#define IDC_PROGRESS_TEXT 1000

// Setup wizard pages (600-603).
#define IDD_WIZARD_WELCOME 600
#define IDD_WIZARD_TIMEOUT 601
#define IDD_WIZARD_PASSWORD 602
#define IDD_WIZARD_DONE 603
#define IDC_WIZARD_HEADING 1000
#define IDC_WIZARD_TIMEOUT_LIST 1001
#define IDC_WIZARD_TIMEOUT_DESCRIPTION 1002
#define IDC_WIZARD_PASSWORD 1001
#define IDC_WIZARD_CONFIRM 1002
#define IDC_WIZARD_MATCH 1003

// Strings.
#define IDS_TITLE 1
#define IDS_ALREADY_RUNNING 2
#define IDS_CONFIRM_CAPTION 3
#define IDS_STARTING_TITLE 4
#define IDS_STARTING_TEXT 5
#define IDS_REFRESHING_TITLE 6
#define IDS_REFRESHING_TEXT 7
#define IDS_SERVICE_START_FAILED 8
#define IDS_BACKUP_START_FAILED 9
#define IDS_HELP_MISSING 10
#define IDS_APPLY_ASK_ALL 11
#define IDS_APPLY_DONE_ALL 12
#define IDS_APPLY_FAILED 13
#define IDS_APPLY_NO_LIMITER 14
#define IDS_APPLY_ASK_ONE 15
#define IDS_APPLY_DONE_ONE 16
#define IDS_CLOSE_ASK 17
#define IDS_CLOSE_CAPTION 18

// Main window texts (the controls' captions).
#define IDS_USERS_LABEL 30
#define IDS_GROUPS_LABEL 31
#define IDS_MENU_GROUP 32
#define IDS_USERS_BUTTON 33
#define IDS_GROUPS_BUTTON 34
#define IDS_TIMEOUT_BUTTON 35
#define IDS_LOCK_BUTTON 36
#define IDS_SERVICE_BUTTON 37
#define IDS_BACKUP_BUTTON 38
#define IDS_APPLY_BUTTON 39
#define IDS_EXIT_BUTTON 40

// Time-out actions: entries, descriptions, the wizard's shorter descriptions.
#define IDS_TIMEOUT_ACTION_0 100
#define IDS_TIMEOUT_ACTION_1 101
#define IDS_TIMEOUT_ACTION_2 102
#define IDS_TIMEOUT_ACTION_3 103
#define IDS_TIMEOUT_DESCRIPTION_0 110
#define IDS_TIMEOUT_DESCRIPTION_1 111
#define IDS_TIMEOUT_DESCRIPTION_2 112
#define IDS_TIMEOUT_DESCRIPTION_3 113
#define IDS_WIZARD_DESCRIPTION_2 122
#define IDS_WIZARD_DESCRIPTION_3 123

// Password lock dialog.
#define IDS_LOCK_WRONG_CURRENT 130
#define IDS_LOCK_MISMATCH 131
#define IDS_LOCK_ERROR_CAPTION 132
#define IDS_LOCK_REMOVED 133
#define IDS_LOCK_SET 134
#define IDS_LOCK_DONE_CAPTION 135

// Setup wizard.
#define IDS_WIZARD_CAPTION 140
#define IDS_WIZARD_RERUN 141
#define IDS_WIZARD_CANCEL 142
#define IDS_WIZARD_MATCH 143
#define IDS_WIZARD_MISMATCH 144

// Settings upgrade from the previous version: the questions (caption
// IDS_CONFIRM_CAPTION), the completions and the notices with their captions.
#define IDS_UPGRADE_ASK_OPTIONS 150
#define IDS_UPGRADE_ASK_USERS 151
#define IDS_UPGRADE_OPTIONS_DONE 152
#define IDS_UPGRADE_OPTIONS_CAPTION 153
#define IDS_UPGRADE_OPTIONS_FAILED 154
#define IDS_UPGRADE_TIMEOUT_RESET 155
#define IDS_UPGRADE_TIMEOUT_RESET_CAPTION 156
#define IDS_UPGRADE_SIMPLE_MODE 157
#define IDS_UPGRADE_SIMPLE_MODE_CAPTION 158
#define IDS_UPGRADE_USERS_DONE 160
#define IDS_UPGRADE_USERS_CAPTION 161
#define IDS_UPGRADE_SIMPLE_USERS 162
#define IDS_UPGRADE_SIMPLE_USERS_CAPTION 163
#define IDS_UPGRADE_RANGES 164
#define IDS_UPGRADE_RANGES_CAPTION 165
#define IDS_UPGRADE_EXCEPTIONS 166
#define IDS_UPGRADE_EXCEPTIONS_CAPTION 167
