// The backup tool's program-wide state and the entry points of its windows.
#pragma once

#include <windows.h>

#include <string>

#include "raii.h"

extern HINSTANCE g_instance;
// The single-instance mutex; handed over when the tool restarts elevated.
extern hv::UniqueHandle g_mutex;

// The tool's own rules: a failed group lookup counts as "not a member", and
// the membership is queried anew every time.
bool IsAdministratorsMember();

// The offer to restart with administrator rights (504), shown before the main
// dialog exists: 6 when the elevated copy was started, 7 otherwise.
INT_PTR RunElevationDialog();

// The main dialog (501), modeless and without owner; null when it could not
// be created.
HWND CreateMainDialog();

// The restore dialog (502) for `path`, through the hook library: 1 after a
// restore, 2 when cancelled.
INT_PTR RunRestoreDialog(HWND owner, const std::wstring& path);
