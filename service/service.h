// The parts of cfwNotifySvc.exe, each behind its entry function.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "hvShared.h"
#include "names.h"
#include "raii.h"
#include "service_logic.h"

// --- the program (main.cpp) ---------------------------------------------------
struct ServiceProgram {
    HINSTANCE instance = nullptr;
    std::wstring firstArgument;
    hv::UniqueHandle mutex;  // the single-instance lock
    uint32_t lockHash = 0;   // PasswordLockHash of the option record
};
extern ServiceProgram g_program;
// Creates the lock again until it exists (after a failed elevated start).
void RetakeLock();

// --- service-control operations (scm_ops.cpp) -------------------------------------
namespace scm {
bool IsRegistered();
uint32_t CurrentState();  // 0 when it cannot be read
bool StartAllowed();      // false also when the configuration cannot be read
bool Register();
bool Remove();
bool Start();
bool Stop();
// Stop, wait (bounded) for the stopped state, and start only if it came.
bool Restart();
// "\"<full module path>\" /Service": never a relative path the manager
// could not find.
std::wstring BinaryPathFor(const std::wstring& programPath);
}  // namespace scm

// --- enabling and disabling (change_flow.cpp) ----------------------------------------
enum class ChangeKind { Enable, Disable };
enum class Change { Declined, Done, Failed };
// A message box of the caller's kind: text, caption, style -> button.
using BoxFn = std::function<int(const wchar_t*, const wchar_t*, UINT)>;
// The question; on Yes the change and the box that reports it (the success
// box with `doneText` when non-zero, else the usual one).
Change RunChange(ChangeKind kind, const BoxFn& box, unsigned doneText = 0);

// --- service shell (service_shell.cpp) ---------------------------------------------
// Runs the dispatcher with one service, `name`; returns its exit code (0
// once the service has stopped).
int RunServiceDispatcher(const wchar_t* name);

// --- session notifier (session_notifier.cpp) ----------------------------------------
// The sessions of this computer, in the system's order.
std::vector<uint32_t> LoggedOnSessions();
// Starts `notifierPath` with "/Silent" as the user of every session given;
// the number started.
uint32_t NotifySessions(const std::vector<uint32_t>& sessions, const std::wstring& notifierPath);

// --- dialogs ---------------------------------------------------------------------
// 503: true when an elevated copy was started (this one then ends).
bool ShowElevationDialog();
// 502, modal, no owner; returns 1.
INT_PTR ShowSettingsDialog();
