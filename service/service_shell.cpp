// The service shell: the dispatcher, the service main (with the guardian
// beside it) and the control handler. The handler only records the request, reports it and wakes the
// service thread; the service thread sleeps on an event between requests, so
// an idle service costs nothing. (A build with HV_SERVICE_POLLING polls the
// state every millisecond instead; it exists only for the idle-cost
// benchmark's comparison.)
#include "service.h"

#include <wtsapi32.h>

#include <atomic>

namespace {

struct Shell {
    std::wstring name;
    SERVICE_STATUS_HANDLE handle = nullptr;
    SERVICE_STATUS status{};
    std::atomic<DWORD> state{SERVICE_START_PENDING};
    hv::UniqueHandle wake;  // set by the handler after its report
    SessionGuard guard;     // a limiter in every session that needs one
};
Shell g_shell;

BOOL Report(DWORD state, DWORD checkpoint)
{
    SERVICE_STATUS status = g_shell.status;
    status.dwCurrentState = state;
    status.dwCheckPoint = checkpoint;
    return SetServiceStatus(g_shell.handle, &status);
}

class Seam : public svc::ControlSeam {
public:
    void SetState(uint32_t state) override { g_shell.state = state; }
    void Report() override { ::Report(g_shell.state, 0); }
    void WakeBody() override { SetEvent(g_shell.wake.get()); }
    uint32_t NotifySessions() override
    {
        // Changed settings may register or release an account.
        g_shell.guard.Wake();
        return ::NotifySessions(LoggedOnSessions(), hv::SiblingPath(hv::names::kNotifierFile));
    }
    void SessionChanged(uint32_t event, uint32_t session) override { g_shell.guard.SessionChanged(event, session); }
};

DWORD WINAPI Handler(DWORD control, DWORD eventType, void* eventData, void*)
{
    return hv::Guarded<DWORD>(NO_ERROR, [&] {
        Seam seam;
        uint32_t session = 0;
        if (control == SERVICE_CONTROL_SESSIONCHANGE && eventData)
            session = static_cast<const WTSSESSION_NOTIFICATION*>(eventData)->dwSessionId;
        return static_cast<DWORD>(svc::HandleControl(control, seam, eventType, session));
    });
}

void WINAPI ServiceMain(DWORD, LPWSTR*)
{
    g_shell.handle = RegisterServiceCtrlHandlerExW(g_shell.name.c_str(), Handler, nullptr);
    if (!g_shell.handle)
        ExitProcess(GetLastError());
    g_shell.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    // Session changes for the guardian: a session that logs on is guarded
    // from then on.
    g_shell.status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_SESSIONCHANGE;
    g_shell.status.dwWin32ExitCode = NO_ERROR;
    g_shell.status.dwServiceSpecificExitCode = 0;
    g_shell.status.dwWaitHint = 5000;
    if (!Report(SERVICE_START_PENDING, 1))
        ExitProcess(GetLastError());
    g_shell.guard.Start(LoggedOnSessions, hv::SiblingPath(hv::names::kLimiterFile));
    DWORD expected = SERVICE_START_PENDING;
    if (g_shell.state.compare_exchange_strong(expected, SERVICE_RUNNING))
        Report(SERVICE_RUNNING, 0);
#ifdef HV_SERVICE_POLLING
    while (g_shell.state != SERVICE_STOP_PENDING)
        Sleep(1);
#else
    while (g_shell.state != SERVICE_STOP_PENDING)
        WaitForSingleObject(g_shell.wake.get(), INFINITE);
#endif
    g_shell.guard.Stop();
    g_shell.state = SERVICE_STOPPED;
    Report(SERVICE_STOPPED, 0);
}

}  // namespace

int RunServiceDispatcher(const wchar_t* name)
{
    g_shell.name = name;
    g_shell.wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!g_shell.wake)
        return static_cast<int>(GetLastError());
    SERVICE_TABLE_ENTRYW table[] = {{g_shell.name.data(), ServiceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherW(table))
        return static_cast<int>(GetLastError());
    return 0;
}
