// Decisions behind the parts every program shows: the password prompt's
// attempt counting, the About box's version line, the Administrators test and
// the paths of the programs and modules a program starts or loads. No Windows
// header, so the host build tests them with the sanitizers.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace hv {

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

// --- About box ---------------------------------------------------------------
// "Version 2.00 (2.00.2026.1210)"; a missing part shows as empty.
std::wstring FormatVersionLine(const wchar_t* fileVersion, const wchar_t* productVersion);

// --- Administrators test -------------------------------------------------------
// 1 when one of the names is exactly "Administrators" (case and whole name),
// else 0; -1 when the list could not be obtained (lookupOk false).
int AdministratorsVerdict(bool lookupOk, const wchar_t* const* groups, size_t count);

// What a failed group lookup counts as: the limiter lets it through (its exit
// must stay possible for an administrator on a broken network), the programs
// that change settings do not.
enum class LookupFailure { CountsAsMember, CountsAsNonMember };
bool CountsAsAdministrator(int verdict, LookupFailure onFailure);

// --- paths ---------------------------------------------------------------------
constexpr size_t kMaxPath = 260;  // characters, terminator included
// Absolute: "X:\..." or a UNC "\\server\...".
bool IsAbsolutePath(const std::wstring& path);
// The folder of a module path, trailing backslash kept; empty when the path
// has no absolute folder part (a bare name must never be resolved against the
// current directory or the search path).
std::wstring FolderOfPath(const std::wstring& modulePath);
// folder + file when the folder is absolute and the whole fits in kMaxPath,
// else empty.
std::wstring PathInFolder(const std::wstring& folder, const wchar_t* file);
// The HTML Help module to load: the registered server when the registration
// names an absolute path, else hhctrl.ocx in the system folder. Empty when
// neither is usable.
std::wstring ChooseHtmlHelpModule(const std::wstring& registered, const std::wstring& systemFolder);

}  // namespace hv
