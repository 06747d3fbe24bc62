// Starts a limiter in the timer mode (so that it counts, stores its running
// state and keeps its helper running) and lets both sit idle for a while,
// for timeout_idle_cost.sh to measure from the Linux side.
//
//   timeout_idle_probe.exe SECONDS
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include "e2e.h"
#include "timeout_fixture.h"

int wmain(int argc, wchar_t** argv)
{
    using namespace std::chrono_literals;
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 60;
    fixture::RegisterCurrentUser(fixture::TimerAllowance(30));
    fixture::SetOptions(TIMEOUT_LOGOFF);

    e2e::Process limiter = e2e::Start(L"hvCurfew.exe");
    if (!limiter || !e2e::WaitForWindow(fixture::kTrayClass, nullptr, limiter.pid()) ||
        !e2e::WaitForWindow(fixture::kHelperClass, nullptr, 0)) {
        printf("probe: limiter or helper did not start\n");
        return 1;
    }
    // Long enough for the measurement to find both, settle and run.
    Sleep((seconds + 30) * 1000);
    HWND tray = fixture::TrayWindow();
    printf("probe: after the idle time the limiter shows %ls, %zu helper(s) run\n",
           tray ? e2e::ControlText(tray, fixture::kRemainLabel).c_str() : L"(no tray window)",
           e2e::Pids(L"cfwHelper.exe").size());
    e2e::KillAll(L"cfwHelper.exe");
    e2e::KillAll(L"hvCurfew.exe");
    e2e::KillAll(L"cfwHelper.exe");
    return 0;
}
