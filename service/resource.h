// Resource ids of cfwNotifySvc.exe.
#pragma once

#include "shared_resource.h"

#define IDI_PROGRAM 100
#define IDI_PASSWORD 109

// Dialogs (the About box is the shared template 500).
#define IDD_PASSWORD 501
#define IDD_SETTINGS 502
#define IDD_ELEVATE 503

// Settings dialog 502.
#define IDC_SETTINGS_ICON 100
#define IDC_ENABLE 1000
#define IDC_DISABLE 1001
#define IDC_START 1002
#define IDC_STOP 1003
#define IDC_RESTART 1004
#define IDC_ABOUT 1005

// Elevation dialog 503.
#define IDC_ELEVATE_ICON 100

// The About box's web-site button.
#define IDC_ABOUT_WEBSITE 1004

// Strings.
#define IDS_PRODUCT 1
#define IDS_NOT_ADMIN 10
#define IDS_ERROR_CAPTION 11
#define IDS_ENABLE_QUESTION 20
#define IDS_ENABLE_QUESTION_CAPTION 21
#define IDS_ENABLE_DONE 22
#define IDS_ENABLE_DONE_DIALOG 23
#define IDS_ENABLE_DONE_CAPTION 24
#define IDS_ENABLE_FAILED 25
#define IDS_ENABLE_FAILED_CAPTION 26
#define IDS_START_NOW 27
#define IDS_START_NOW_CAPTION 28
#define IDS_START_FAILED 29
#define IDS_START_FAILED_CAPTION 30
#define IDS_DISABLE_QUESTION 40
#define IDS_DISABLE_QUESTION_CAPTION 41
#define IDS_DISABLE_DONE 42
#define IDS_DISABLE_DONE_CAPTION 43
#define IDS_DISABLE_FAILED 44
#define IDS_DISABLE_FAILED_CAPTION 45
#define IDS_DESCRIPTION 50
