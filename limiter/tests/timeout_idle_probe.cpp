// Runs, in one Wine session and one after the other, the floor program
// (timeout_idle_floor.exe) and then a limiter in the timer mode (counting,
// storing its running state, keeping its helper), each left idle for a
// while, for timeout_idle_cost.sh to measure from the Linux side: the script
// sees each phase begin by its process, lets it settle 5 s and measures
// SECONDS, within the time the probe keeps still.
//
//   timeout_idle_probe.exe SECONDS
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include "e2e.h"
#include "limiter_fixture.h"

namespace {

void Say(const char* text)
{
    printf("probe: %s\n", text);
    fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    using namespace std::chrono_literals;
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 60;
    const DWORD settle = 5000, margin = 10000;

    e2e::Process floor = e2e::Start(e2e::BinDir() + L"\\..\\test-bin\\timeout_idle_floor.exe");
    if (!floor || !e2e::WaitForWindow(L"IdleFloor", nullptr, floor.pid())) {
        Say("the floor program did not start");
        return 1;
    }
    Sleep(settle + seconds * 1000 + margin);
    floor.Kill();
    Sleep(2000);

    limiter_test::RegisterCurrentUser(limiter_test::TimerAllowance(120));
    limiter_test::SetOptions(TIMEOUT_LOGOFF);
    e2e::Process limiter = e2e::Start(hv::names::kLimiterFile);
    if (!limiter || !e2e::WaitForWindow(hv::names::kTrayClass, nullptr, limiter.pid()) ||
        !e2e::WaitForWindow(hv::names::kHelperClass, nullptr, 0)) {
        Say("limiter or helper did not start");
        return 1;
    }
    // Until the helper copies that lost the race for its mutex are gone.
    e2e::WaitUntil([] { return e2e::Pids(hv::names::kHelperFile).size() == 1; }, 20s);
    Sleep(settle + seconds * 1000 + margin);
    HWND tray = limiter_test::TrayWindow();
    printf("probe: after the idle time the limiter shows %ls, %zu helper(s) run\n",
           tray ? e2e::ControlText(tray, IDC_TRAY_REMAIN).c_str() : L"(no tray window)",
           e2e::Pids(hv::names::kHelperFile).size());
    fflush(stdout);
    e2e::KillAll(hv::names::kHelperFile);
    e2e::KillAll(hv::names::kLimiterFile);
    e2e::KillAll(hv::names::kHelperFile);
    Say("done");
    return 0;
}
