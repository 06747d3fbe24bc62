// Drives a real limiter through its time-out with a given TimeOutMode and
// prints what it sees, one line per event, for timeout_exit_flags.sh. The
// exit call may end every process of the Wine session, this one included, so
// the verdict is drawn outside: from these lines, from the lines that never
// came, and from the relay trace of the limiter's call to ExitWindowsEx.
//
//   timeout_exit_probe.exe MODE press|wait|exit|killonce|killevery
//
// exit: the limiter is exited (as after a confirmed exit) during the countdown.
// killonce: the limiter is killed once, at a random second of the countdown;
// killevery: at 10 and 20 seconds of it. The helper brings it back each time.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include <vector>

#include "e2e.h"
#include "limiter_fixture.h"

namespace {

using namespace std::chrono_literals;

DWORD g_start;

void Say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printf("probe %6lu ms: ", GetTickCount() - g_start);
    vprintf(format, args);
    printf("\n");
    fflush(stdout);
    va_end(args);
}

// Wine traces the limiter's one call of interest and nothing else.
void TraceExitCalls()
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    static const wchar_t only[] = L"user32.ExitWindowsEx";
    RegSetValueExW(key, L"RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(only), sizeof(only));
    RegCloseKey(key);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    g_start = GetTickCount();
    if (argc < 3)
        return 2;
    const uint32_t mode = static_cast<uint32_t>(_wtoi(argv[1]));
    const bool press = wcscmp(argv[2], L"press") == 0;

    limiter_test::RegisterCurrentUser(limiter_test::DailyHours(0, -1));  // never allowed
    limiter_test::SetOptions(mode);
    TraceExitCalls();

    e2e::Process limiter = e2e::Start(hv::names::kLimiterFile, L"", {{L"WINEDEBUG", L"+timestamp,+relay"}});
    if (!limiter) {
        Say("limiter not started");
        return 1;
    }
    Say("limiter started");
    HWND dlg = nullptr;
    if (!e2e::WaitUntil([&] { return (dlg = limiter_test::FindCountdown(limiter.pid(), 30)) != nullptr; }, 15s)) {
        Say("no countdown");
        return 1;
    }
    const DWORD shown = GetTickCount();
    Say("countdown shown at tick %lu", shown);
    const bool killOnce = wcscmp(argv[2], L"killonce") == 0;
    if (killOnce || wcscmp(argv[2], L"killevery") == 0) {
        // Seconds after the countdown showed at which the limiter is killed.
        srand(GetTickCount() ^ GetCurrentProcessId());
        const std::vector<DWORD> at = killOnce ? std::vector<DWORD>{1 + static_cast<DWORD>(rand() % 29)}
                                               : std::vector<DWORD>{10, 20};
        for (DWORD second : at) {
            while (GetTickCount() - shown < second * 1000)
                Sleep(10);
            const DWORD pid = limiter_test::ProcessOf(limiter_test::TrayWindow());
            if (!pid) {
                Say("no limiter to kill at %lu s", second);
                break;
            }
            limiter_test::KillProcess(pid);
            Say("killed the limiter at %lu s", second);
        }
        // The exit call ends the session's windowed programs, the restarted
        // limiter too, and nothing starts it again: no limiter for 3 s.
        ULONGLONG quietSince = 0;
        const bool gone = e2e::WaitUntil(
            [&] {
                if (!e2e::Pids(hv::names::kLimiterFile).empty())
                    quietSince = 0;
                else if (quietSince == 0)
                    quietSince = GetTickCount64();
                return quietSince != 0 && GetTickCount64() - quietSince >= 3000;
            },
            60s);
        Say(gone ? "limiter ended" : "limiter still running");
        Say("stored LastLoginDate %s", limiter_test::StoredState().LastLoginDate != 0 ? "set" : "unset");
        Say("survived");
        e2e::KillAll(hv::names::kHelperFile);
        e2e::KillAll(hv::names::kLimiterFile);
        return 0;
    }
    if (press)
        e2e::Click(dlg, IDOK);
    if (wcscmp(argv[2], L"exit") == 0) {
        const auto trays = e2e::FindWindows(hv::names::kTrayClass, nullptr, limiter.pid());
        if (trays.empty()) {
            Say("no tray window");
            return 1;
        }
        PostMessageW(trays.front(), WM_CLOSE, 1, 0);
        Say("limiter exited");
    }
    if (!e2e::WaitUntil([&] { return !IsWindow(dlg); }, 45s)) {
        Say("countdown did not end");
        return 1;
    }
    Say("countdown ended after %lu ms", GetTickCount() - shown);

    // Watch for a while: does the limiter end, does it store its state?
    bool ended = false;
    e2e::WaitUntil([&] { return ended = !limiter.Running(); }, 8s);
    Say(ended ? "limiter ended" : "limiter still running");
    const UserData state = limiter_test::StoredState();
    Say("stored LastLoginDate %s", state.LastLoginDate != 0 ? "set" : "unset");
    Say("survived");
    limiter.Kill();
    return 0;
}
