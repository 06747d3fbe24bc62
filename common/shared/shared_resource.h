// Resource ids of the parts every program shows. A program's resource script
// includes shared_dialogs.rc and shared_strings.rc after defining, for its own
// row of differences:
//   HV_PASSWORD_DIALOG     template id of its password prompt (505, 501, 503)
//   HV_PASSWORD_ICON       icon of the prompt
//   HV_ABOUT_WEBSITE       id of the About box's web-site button (1005, 1004)
// and passes the same numbers to the shared functions at run time.
#pragma once

// Password prompt.
#define IDC_PASSWORD_EDIT 1000

// About box (template 500 in every program).
#define IDD_ABOUT 500
#define IDC_ABOUT_PRODUCT 1000
#define IDC_ABOUT_VERSION 1001
#define IDC_ABOUT_LEGAL 1002
#define IDC_ABOUT_NOTE 1003

// Strings of the shared parts: a block of their own, clear of the programs'.
#define IDS_PASSWORD_EMPTY 61000
#define IDS_PASSWORD_WRONG 61001
#define IDS_PASSWORD_ENTRY_ERROR 61002
#define IDS_PASSWORD_GIVE_UP 61003
#define IDS_PASSWORD_FAILED 61004
#define IDS_ABOUT_NOTE 61010
#define IDS_ABOUT_WEBSITE_FAILED 61011
#define IDS_HELP_CANNOT_SHOW 61020
#define IDS_HELP_CAPTION 61021
