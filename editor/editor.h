// Program-wide state of the settings utility, owned by its one thread, and
// the entry points its source files share.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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
// A message box with a caption of its own.
int CaptionedBox(HWND owner, const std::wstring& text, unsigned captionId, UINT style);
int CaptionedBox(HWND owner, unsigned textId, unsigned captionId, UINT style);

// Writes the option record and records the computer's zone beside it: the
// limits are kept in the zone of the administrator who writes them. Returns
// what WriteOptionDataW returned.
int WriteOptionRecord(const OptionData& options);

// --- main window (main_window.cpp) ---------------------------------------------
bool RegisterMainWindowClass();
void UnregisterMainWindowClass();
HWND CreateMainWindow(int show);
// Brings the main window's two lists into step with the registry.
void RefreshMainWindowLists();
// Shows the recorded zone against the computer's in the main window.
void RefreshZoneLine(HWND mainWindow);

// --- lists (list_refresh.cpp) ---------------------------------------------------
// Makes the list view follow the subkeys of `keyPath` under HKEY_LOCAL_MACHINE.
void RefreshListView(HWND list, const wchar_t* keyPath);
// The same for a list box (the registration dialogs' lists).
void RefreshListBox(HWND list, const wchar_t* keyPath);
std::wstring ListBoxText(HWND list, int index);
std::vector<std::wstring> ListBoxNames(HWND list);
// Registering: the key `name` below `keyPath` (HKEY_LOCAL_MACHINE), created
// with its parent as needed; or below an open parent.
enum class KeyCreation { ParentFailed, Failed, Existed, Created };
KeyCreation CreateRegisteredKey(const wchar_t* keyPath, const std::wstring& name);
KeyCreation CreateRegisteredKey(HKEY parent, const std::wstring& name);
// A typed name registered by hand (users or groups): empty and refused names
// and every failure are told with the caller's texts, and leave the dialog
// open (false); true when the key was made.
struct TypedNameTexts {
    unsigned empty, refused, parentFailed, addFailed, exists;
    unsigned addCaption, listCaption;
};
bool RegisterTypedName(HWND dialog, const wchar_t* keyPath, const std::wstring& name, const TypedNameTexts& texts);
// Unregistering: false when the parent could not be opened or the key not deleted.
bool DeleteRegisteredKey(const wchar_t* keyPath, const std::wstring& name);

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

// --- registration (registered_list_dialog.cpp, add_user_dialog.cpp, add_group_dialog.cpp)
void RunUsersDialog(HWND owner);   // template 502
void RunGroupsDialog(HWND owner);  // template 503
// 504 and 509: 1 after registering, 2 on cancel. 504 reads its owner's list
// box to mark the accounts already registered.
INT_PTR RunAddUserDialog(HWND owner);
INT_PTR RunAddGroupDialog(HWND owner);

// --- schedule editor -----------------------------------------------------------------
// 505 and 510 on a registered name: 1 after writing, 2 on cancel.
INT_PTR RunUserLimitsDialog(HWND owner, const std::wstring& name);   // user_limits_dialog.cpp
INT_PTR RunGroupLimitsDialog(HWND owner, const std::wstring& name);  // group_limits_dialog.cpp
// 507 on one 24-byte table of the owner's working copy; the owner answers
// its title request (WM_APP, lParam = the hour dialog) with
// AnswerHourTitleRequest and the id of the button that opened it.
INT_PTR RunHourDialog(HWND owner, uint8_t* table);  // hour_dialog.cpp
void AnswerHourTitleRequest(HWND hourDialog, int openingButton);
// 508 on the owner's working copy of a user.
INT_PTR RunTimerDialog(HWND owner, UserData* user);  // timer_dialog.cpp
// 506: the chosen name goes into the owner's control 1007.
INT_PTR RunGroupSelectDialog(HWND owner);  // group_select_dialog.cpp

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
