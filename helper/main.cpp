// cfwHelper.exe: a hidden window that starts the limiter again whenever its
// tray window is gone. The limiter, in turn, keeps this helper running and
// sends WM_HELPER_STOP before an orderly end. The helper waits on the
// limiter's process rather than polling for its window, and keeps the little
// that a restarted limiter must not lose (see helper::Memo).
#include <windows.h>

#include <string>

#include "helper_logic.h"
#include "names.h"
#include "process_watch.h"
#include "raii.h"
#include "resource.h"

namespace {

using hv::names::kHelperClass;
using hv::names::kLimiterFile;
using hv::names::kTrayClass;
constexpr UINT WM_HELPER_STOP = hv::names::kHelperStopMessage;
constexpr UINT WM_HELPER_DEADLINE = hv::names::kHelperDeadlineMessage;  // wParam offered, returns the kept one
constexpr UINT WM_HELPER_GRANT = hv::names::kHelperGrantMessage;        // wParam offered, returns the kept one
constexpr UINT WM_LIMITER_GONE = WM_APP + 16;    // posted by the wait on the limiter's process
constexpr UINT_PTR kWatchTimer = 1;

helper::Watch g_watch;
helper::Memo g_memo;
hv::ProcessWatch g_limiter;  // the limiter's process: the one with the tray window, or the one started last
bool g_stopped = false;

std::wstring ModuleFileName()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::wstring();
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The limiter beside this program, never one found through the current
// folder or the search path. Its process is kept, to be waited on.
bool StartLimiter(HWND owner)
{
    return hv::StartAndWatch(helper::SiblingPath(ModuleFileName(), kLimiterFile), owner, g_limiter, WM_LIMITER_GONE,
                             hv::names::kAutoStartSwitch);
}

// Runs when the watched limiter ended and on the slow safety timer.
void CheckLimiter(HWND w)
{
    if (g_stopped)
        return;
    HWND tray = FindWindowW(kTrayClass, nullptr);
    switch (helper::NextAction(g_watch, tray != nullptr, g_limiter.Alive(), GetTickCount64())) {
    case helper::Action::None:
        break;
    case helper::Action::WatchTray:
        g_limiter.WatchOwnerOf(tray, w, WM_LIMITER_GONE);
        break;
    case helper::Action::StartLimiter:
        if (!StartLimiter(w)) {
            SendMessageW(w, WM_CLOSE, 0, 0);
            return;
        }
        helper::Started(g_watch, GetTickCount64());
        break;
    }
}

LRESULT CALLBACK HelperWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        SetTimer(w, kWatchTimer, helper::kSafetyPeriodMs, nullptr);
        PostMessageW(w, WM_LIMITER_GONE, 0, 0);  // the first check, once the window exists
        return 0;
    case WM_TIMER:
        if (wp != kWatchTimer)
            break;
        CheckLimiter(w);
        return 0;
    case WM_LIMITER_GONE:  // a stale or forged one costs only a check
        CheckLimiter(w);
        return 0;
    case WM_HELPER_DEADLINE:
        return static_cast<LRESULT>(helper::OfferDeadline(g_memo, static_cast<uint64_t>(wp)));
    case WM_HELPER_GRANT:
        return static_cast<LRESULT>(helper::OfferGrant(g_memo, static_cast<int64_t>(wp)));
    case WM_HELPER_STOP:
        g_stopped = true;
        KillTimer(w, kWatchTimer);
        g_limiter.Reset();
        SendMessageW(w, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(w);
        return 0;
    case WM_DESTROY:
        g_stopped = true;
        g_limiter.Reset();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    hv::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, hv::names::kHelperMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    hv::UniqueIcon largeIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 32, 32, 0)));
    hv::UniqueIcon smallIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 16, 16, 0)));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = HelperWndProc;
    wc.hInstance = instance;
    wc.hIcon = largeIcon.get();
    wc.hIconSm = smallIcon.get();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHelperClass;
    if (!RegisterClassExW(&wc))
        return 1;
    HWND w = CreateWindowExW(0, kHelperClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!w)
        return 1;

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
