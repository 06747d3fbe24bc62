// Decisions of the settings utility that need no window: the start switch,
// who is let in, how a list follows its registry key, the main window's
// layout, the time-out action texts, the password lock rules and the setup
// wizard's button rules. No Windows header, so the host build tests them
// with the sanitizers.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "text_source.h"

namespace editor {

// --- command line ---------------------------------------------------------------
enum class StartSwitch { None, Wizard, Upgrade };
// The first argument only, in any letter case; null when there is none.
StartSwitch ParseStartSwitch(const wchar_t* firstArgument);

// --- admission --------------------------------------------------------------------
enum class Admission {
    Admit,
    NotAdministrator,  // dialog 513; a failed group lookup counts here too
    FilteredToken,     // dialog 514: an administrator without an elevated token
};
// administrator: the Administrators test as the utility counts it (a failed
// lookup is no membership); elevated: the shell's "is the user an admin"
// answer for this process's token.
Admission DecideAdmission(bool administrator, bool elevated);

// --- list refresh -----------------------------------------------------------------------
// One change to a list: insert `text` at `position` (past the end appends),
// or delete the item at `position`.
struct ListChange {
    enum Kind { Insert, Delete } kind;
    size_t position;
    std::wstring text;
};
// The changes that make `items` (the list as it is) follow `names` (the
// key's subkeys in enumeration order): a name the list lacks (exact,
// case-sensitive) is inserted at its enumeration index, then every item that
// is no subkey's name is removed, from the last to the first. One pass over
// each side, so ten thousand names cost ten thousand lookups, not 10^8.
std::vector<ListChange> PlanListRefresh(const std::vector<std::wstring>& items, const std::vector<std::wstring>& names);
// The list after the changes (for tests and for callers that keep a copy).
void ApplyListChanges(std::vector<std::wstring>& items, const std::vector<ListChange>& changes);

// --- main window layout --------------------------------------------------------------------
struct ControlPlace {
    int id;
    int x, y, width, height;
};
// Every child control's rectangle for a client area of width x height.
std::vector<ControlPlace> MainWindowLayout(int width, int height);
constexpr int kMinTrackWidth = 640;

// The main window's two lines on the zone the limits are kept in: the
// recorded zone (key name and display text, empty when none is recorded)
// against the computer's zone now, which the next Apply records.
struct ZoneLines {
    std::wstring kept, note;
};
ZoneLines DescribeZones(const std::wstring& recordedKey, const std::wstring& recordedName,
                        const std::wstring& computerKey, const std::wstring& computerName, hv::TextFn text);
constexpr int kMinTrackHeight = 400;

// --- time-out actions ----------------------------------------------------------------------
constexpr int kTimeoutActionCount = 4;
// String id of the list entry at `position`, 0 outside 0..3.
unsigned TimeoutActionText(int position);
// String id of its description: the dialog's, or the wizard's (positions 2
// and 3 with a single line break). 0 outside 0..3: the text stays.
unsigned TimeoutDescription(int position, bool wizard);
// The list position to select for a stored action; an unknown stored value
// selects nothing (-1) rather than a wrong entry.
int TimeoutSelection(uint32_t timeOutMode);

// --- password lock dialog ---------------------------------------------------------------------
enum class LockVerdict {
    WrongCurrent,  // stays open
    Mismatch,      // stays open
    Removed,       // lock off, ends with 1
    Set,           // new hash, ends with 1
};
// OK in the password lock dialog. `currentHash` is the hash of what was typed
// as the current password (looked at only while a lock is set).
LockVerdict JudgeLockChange(uint32_t lockHash, uint32_t currentHash, const std::wstring& newPassword,
                            const std::wstring& confirmation);
// Message box of each verdict: text, caption, icon (a MB_ICON* value).
struct LockMessage {
    unsigned text;
    unsigned caption;
    unsigned icon;
};
LockMessage LockVerdictMessage(LockVerdict verdict);

// --- setup wizard --------------------------------------------------------------------------------
// Button flags as the property sheet takes them.
constexpr unsigned kWizBack = 0x1;
constexpr unsigned kWizNext = 0x2;
constexpr unsigned kWizFinish = 0x4;
constexpr unsigned kWizDisabledFinish = 0x8;
struct PasswordPageState {
    unsigned buttons;    // Back+Next when the two fields agree, else Back
    unsigned indicator;  // string id of the match indicator
};
// Exact comparison; two empty fields agree.
PasswordPageState JudgePasswordPage(const std::wstring& password, const std::wstring& confirmation);
// "IsInitialized": only a REG_DWORD (type 4) equal to 1 read successfully.
bool WizardAlreadyRun(bool readOk, uint32_t type, uint32_t value);

}  // namespace editor
