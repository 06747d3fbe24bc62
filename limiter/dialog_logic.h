// Decisions behind the limiter's small dialogs and shell helpers: the password
// prompt's attempt counting, the texts of the information and About dialogs,
// the Administrators test and the paths of the programs and modules started.
// No Windows header, so the host build tests them with the sanitizers.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "cfwCommon.h"
#include "evaluation.h"

namespace limiter {

// --- password prompt --------------------------------------------------------
constexpr int kPasswordMaxChars = 16;
constexpr int kPasswordMaxFailures = 3;

enum class PasswordVerdict {
    Empty,     // nothing typed: ask again, not counted
    Accepted,  // end the prompt with 1
    Wrong,     // counted; ask again
    GiveUp,    // the last allowed failure: end the prompt with 2
};
// One press of OK. `failures` is the prompt's counter, raised on a wrong entry.
PasswordVerdict JudgePassword(int& failures, bool empty, uint32_t typedHash, uint32_t lockHash);

// --- user information dialog -------------------------------------------------
// "2010/01/01 (金) 00:00:00"
std::wstring FormatInfoClock(const LocalTime& t);
// "name", or "name (full name)" when the full name is not empty.
std::wstring FormatUserLabel(const wchar_t* name, const wchar_t* fullName);
// Whether the account is free of any limit right now: its schedule gives
// REMAIN_UNLIMITED. The timer mode always counts down, so it never is.
bool IsUnlimitedNow(const UserData& user, const GroupData& group, const LocalTime& now);
// The two-line description of the mode, or null for an unknown mode (the
// dialog then leaves its text alone).
const wchar_t* ModeDescription(bool unlimited, uint32_t limitMode);

// --- About box ---------------------------------------------------------------
// "Version 2.00 (2.00.2026.1210)"; a missing part shows as empty.
std::wstring FormatVersionLine(const wchar_t* fileVersion, const wchar_t* productVersion);

// --- Administrators test -------------------------------------------------------
// 1 when one of the names is exactly "Administrators" (case and whole name),
// else 0; -1 when the list could not be obtained (lookupOk false).
int AdministratorsVerdict(bool lookupOk, const wchar_t* const* groups, size_t count);
// The limiter lets a failed lookup through; the other programs do not.
inline bool LimiterCountsAsAdministrator(int verdict) { return verdict != 0; }

// --- paths ---------------------------------------------------------------------
constexpr size_t kMaxPath = 260;  // characters, terminator included
// The folder of a module path, trailing backslash kept; empty when the path
// has no folder part (a bare name must never be resolved against the current
// directory or search path).
std::wstring FolderOfPath(const std::wstring& modulePath);
// folder + file when that fits in kMaxPath and the folder is a real one, else empty.
std::wstring PathInFolder(const std::wstring& folder, const wchar_t* file);
// Absolute: "X:\..." or a UNC "\\server\...".
bool IsAbsolutePath(const std::wstring& path);
// The HTML Help module to load: the registered server when the registration
// names an absolute path, else hhctrl.ocx in the system folder. Empty when
// neither is usable.
std::wstring ChooseHtmlHelpModule(const std::wstring& registered, const std::wstring& systemFolder);

}  // namespace limiter
