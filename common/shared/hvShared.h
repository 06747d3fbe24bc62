// The parts that several programs show, in one static library: texts from
// the program's string table, the password prompt, the About box, the
// Administrators test, the elevated restart, the HTML Help loader, the
// program's own folder and its siblings, and the guard that keeps exceptions
// out of callbacks. Each takes what differs between programs as arguments.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "service_pipe.h"
#include "shared_logic.h"
#include "text_source.h"
#include "zone_logic.h"

namespace hv {

// --- texts (texts.cpp) ----------------------------------------------------------
// A string of the program's own string table. A missing one comes back as
// "<missing text N>" (and is reported to the debugger), never as a blank
// that nobody notices.
std::wstring LoadText(unsigned id);
// LoadText(id) used as a printf format; the formats are the program's own.
std::wstring FormatText(unsigned id, ...);

// --- password prompt (password_prompt.cpp) --------------------------------------
// Runs the prompt from the program's template `templateId` through the hook
// library, against `lockHash`: 1 when the right password was typed, 2 when
// the user cancelled, failed three times, or the prompt could not be shown.
// With `typed`, an accepted password is also handed back (for a request
// that the service checks itself).
INT_PTR RunPasswordPrompt(HINSTANCE module, int templateId, HWND owner, uint32_t lockHash,
                          std::wstring* typed = nullptr);

// --- the service's pipe (service_pipe_client.cpp) --------------------------------
enum class PipeCall {
    NoService,  // nobody serves the pipe: the service is not installed or not running
    Answered,   // `answer` holds the service's answer
    Failed,     // a server that is not the service, no answer in time, or junk
};
// One request of `kind` to the service, one answer; at most about
// pipe::kClientTimeoutMs.
PipeCall CallService(uint16_t kind, const std::vector<uint8_t>& payload, pipe::Message& answer);

// --- About box (about_box.cpp) ----------------------------------------------------
struct AboutBoxRow {
    int websiteButton;             // 1005 or 1004
    const wchar_t* failureCaption; // caption of "the web site could not be opened"
    // Called with false when the box opens and true when it closes (the
    // limiter grays its monitor's About command meanwhile); may be null.
    void (*enableOpener)(bool enable);
};
// Template 500 of `module`, through the hook library; returns 1.
INT_PTR RunAboutBox(HINSTANCE module, HWND owner, const AboutBoxRow& row);

// --- Administrators test (admin_check.cpp) ------------------------------------------
// 1 member, 0 not, -1 when the group list could not be obtained. A null
// account asks for the current account's name anew.
int IsAdministratorsMember(const wchar_t* account);

// --- elevated restart (elevation.cpp) ---------------------------------------------
// Starts this program's own executable again with the verb "RunAs" and
// `parameters`; true when the shell started it (false also when the user
// declined the elevation prompt).
bool RestartElevated(HWND owner, const wchar_t* parameters);

// --- own folder and siblings (program_paths.cpp) ------------------------------------
// The full path of this program's executable (from its module file name, not
// the command line); empty when it cannot be had.
const std::wstring& ProgramPath();
// Its folder with a trailing backslash; empty when unusable.
const std::wstring& ProgramFolder();
// `file` in the program's folder, or empty when that path is not usable (no
// folder, or longer than a path may be). Programs are started only by such a
// path, never through the current directory or the search path.
std::wstring SiblingPath(const wchar_t* file);

// --- HTML Help (html_help.cpp) --------------------------------------------------
// HTML Help's entry point, loaded on first use: the registered server (from
// the machine-wide classes, absolute paths only), else hhctrl.ocx from the
// system folder. 0 when HTML Help is not available; a failure is remembered.
INT_PTR CallHtmlHelp(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data);
// Opens "Index.html" of `helpFile`: 0 when the file does not exist (the
// caller reports it), else 1 (a help window that did not open is reported
// here).
int ShowHelpFile(HWND owner, const std::wstring& helpFile);

// --- Windows version (os_version.cpp) ---------------------------------------------
// major * 256 + minor as GetVersionExW reports it (the manifest decides how
// far it goes); 0 when it cannot be read.
DWORD OsVersionNumber();

// --- the zone the limits are kept in (zone.cpp) ------------------------------------
// The computer's zone now, as its key name under the system's "Time Zones"
// (e.g. "Tokyo Standard Time"); empty when it cannot be had.
std::wstring ComputerZoneKeyName();
// Records the computer's zone as "TimeZoneKeyName" beside the option record;
// false when the zone is unknown or the value could not be written.
bool RecordComputerZone();
// The recorded key name; empty when none is recorded (an older installation).
std::wstring RecordedZoneKeyName();
// The rules of the zone `keyName` ("TZI" and its "Dynamic DST" years); false,
// and `out` untouched, when the system does not know the zone.
bool LoadZone(const std::wstring& keyName, zone::Zone& out);
// LoadZone of the recorded zone; false when none is recorded or it is unknown.
bool LoadRecordedZone(zone::Zone& out);
// The zone's display text (in the user's language where the system has it),
// else the key name itself.
std::wstring ZoneDisplayName(const std::wstring& keyName);

// --- timing ------------------------------------------------------------------------
// Returns just after the clock's second changes (at most about two seconds),
// so that a one-second timer started then keeps in step with the clock.
void WaitForNextWholeSecond();

// --- callbacks ---------------------------------------------------------------------
// Runs `body`; an exception it throws ends here with `fallback` as the result,
// so that none crosses a window, dialog, hook or service callback.
template <typename R, typename F>
R Guarded(R fallback, F&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}
// As above, with the fallback computed (a window procedure falls back to
// the default processing).
template <typename F, typename G>
auto GuardedOr(F&& body, G&& fallback) noexcept -> decltype(body())
{
    try {
        return body();
    } catch (...) {
    }
    try {
        return fallback();
    } catch (...) {
        return decltype(body())();
    }
}
template <typename F>
void Guarded(F&& body) noexcept
{
    try {
        body();
    } catch (...) {
    }
}

}  // namespace hv
