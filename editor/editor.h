// Program-wide state of the settings utility, owned by its one thread, and
// the entry points its source files share.
#pragma once

#include <windows.h>

#include <string>

#include "cfwCommon.h"
#include "hvShared.h"
#include "names.h"
#include "raii.h"

// --- state (editor_state.cpp) -------------------------------------------------
struct EditorState {
    HINSTANCE instance = nullptr;
    DWORD osVersion = 0;              // major * 256 + minor
    std::wstring userName;            // the account this program runs as
    // Read at start, changed by the option dialogs and the wizard, written by
    // Apply, by the close and by the wizard's Finish.
    OptionData options{TIMEOUT_LOGOFF, 0, PASSWORD_LOCK_OFF};
    hv::UniqueHandle mutex;           // "cfwEdit", one utility per session
    std::wstring helpPath;
    std::wstring firstArgument;       // of the command line; empty when none
    HWND mainWindow = nullptr;
};
extern EditorState g_editor;

constexpr UINT WM_APPLY_SETTINGS = hv::names::kApplySettingsMessage;

// Password fields show this for each typed character.
constexpr wchar_t kPasswordChar = L'\x25CF';
// The text of a password field (at most 16 characters).
std::wstring PasswordFieldText(HWND dialog, int id);

// The utility's own message box: its title as caption, through the hook library.
int EditorMessageBox(HWND owner, unsigned textId, UINT style);

// --- main window (main_window.cpp) ---------------------------------------------
bool RegisterMainWindowClass();
void UnregisterMainWindowClass();
HWND CreateMainWindow(int show);

// --- lists (list_refresh.cpp) ---------------------------------------------------
// Makes the list view follow the subkeys of `keyPath` under HKEY_LOCAL_MACHINE.
void RefreshListView(HWND list, const wchar_t* keyPath);

// --- progress window (progress_window.cpp) ------------------------------------
// Shown, with its title and text, until the returned window is destroyed.
HWND ShowProgressWindow(HWND owner, unsigned titleId, unsigned textId);

// --- admission dialogs (admission_dialogs.cpp) ---------------------------------
// Dialog 513. Returns when it is closed.
void ShowNotAdministratorDialog(HWND owner);
// Dialog 514: true when an elevated copy was started (this one then ends).
bool ShowElevationDialog(HWND owner);

// --- option dialogs --------------------------------------------------------------
INT_PTR RunTimeoutDialog(HWND owner);       // timeout_dialog.cpp, template 511
INT_PTR RunPasswordLockDialog(HWND owner);  // password_lock_dialog.cpp, template 512

// --- setup wizard (wizard.cpp) ----------------------------------------------------
void RunSetupWizard(HWND owner);

// --- settings upgrade (settings_upgrade.cpp) --------------------------------------
// "/Upgrade": asks for and carries over the previous version's options and
// users; its messages are plain message boxes owned by `owner`.
void RunSettingsUpgrade(HWND owner);

// --- shared parts (shared_row.cpp) ---------------------------------------------
INT_PTR RunPasswordPrompt(HWND owner);
INT_PTR RunAboutDialog(HWND owner);
// Administrators membership of this program's account: 1, 0 or -1.
int QueryAdministratorsMember();
