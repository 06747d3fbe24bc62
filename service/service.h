// The parts of cfwNotifySvc.exe, each behind its entry function.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "accounting_logic.h"
#include "cfwCommon.h"
#include "hvShared.h"
#include "names.h"
#include "raii.h"
#include "service_logic.h"
#include "service_pipe.h"

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
// The token of the user logged on in `session`, empty when none.
hv::UniqueHandle SessionUserToken(uint32_t session);
// Starts `path` with `arguments` as the user of `token`, with that user's
// environment, on the session's interactive desktop; the process handle,
// empty when it could not be started.
hv::UniqueHandle StartAsSessionUser(HANDLE token, const std::wstring& path, const std::wstring& arguments);
// The sessions of this computer, in the system's order.
std::vector<uint32_t> LoggedOnSessions();
// Starts `notifierPath` with "/Silent" as the user of every session given;
// the number started.
uint32_t NotifySessions(const std::vector<uint32_t>& sessions, const std::wstring& notifierPath);

// --- service pipe (pipe_server.cpp) -----------------------------------------------
// Who sent a request, from the pipe itself, never from the message.
struct PipeClient {
    DWORD processId = 0;
    uint32_t session = 0;
    bool administrator = false;  // its token holds Administrators (also deny-only)
    std::wstring account;        // the user name of its token, empty when unknown
};
// The user name (without domain) of a token's user, empty when unknown.
std::wstring AccountOfToken(HANDLE token);
// Turns one well-formed request into its encoded answer.
using PipeDispatch = std::function<std::vector<uint8_t>(const hv::pipe::Message&, const PipeClient&)>;

// One pipe instance, one connection at a time: read one request, answer it
// (malformed ones too), let the client read, disconnect; each connection
// within hv::pipe::kConnectionTimeoutMs.
class PipeServer {
public:
    ~PipeServer() { Stop(); }
    bool Start(PipeDispatch dispatch);
    void Stop();

private:
    static DWORD WINAPI Run(void* self);
    void Serve();
    void Connection(HANDLE pipe, HANDLE ioEvent);
    PipeDispatch dispatch_;
    hv::UniqueHandle stop_, thread_;
};

// --- the timer-mode copies (accounting_store.cpp) ----------------------------------
// Under HKEY_LOCAL_MACHINE\<settings root>\Accounting, one REG_BINARY value
// per account, in a key only SYSTEM and Administrators may open.
bool ReadTimerCopy(const std::wstring& account, svc::TimerCopy& out);
bool WriteTimerCopy(const std::wstring& account, const svc::TimerCopy& copy);

// --- guardian (guardian.cpp) ---------------------------------------------------------
using SessionList = std::function<std::vector<uint32_t>()>;

// Keeps a limiter running in every session that needs one (logged-on,
// registered with a limit, not released), started as that session's user
// from `limiterPath` within about a second of the last one's end, and serves
// the release requests on the pipe. Waits on the limiters' processes and on
// wake-ups, with a slow safety check; no polling.
class SessionGuard {
public:
    SessionGuard();
    ~SessionGuard();
    bool Start(SessionList sessions, std::wstring limiterPath);
    void Stop();
    // Look again now (settings applied, a session logged on...).
    void Wake();
    void SessionChanged(uint32_t event, uint32_t session);

private:
    struct State;
    std::unique_ptr<State> state_;
    PipeServer pipe_;
};

// --- dialogs ---------------------------------------------------------------------
// 503: true when an elevated copy was started (this one then ends).
bool ShowElevationDialog();
// 502, modal, no owner; returns 1.
INT_PTR ShowSettingsDialog();
