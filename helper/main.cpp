// cfwHelper.exe: a hidden window that starts the limiter again whenever its
// tray window is gone. The limiter, in turn, keeps this helper running and
// sends WM_HELPER_STOP before an orderly end.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "helper_logic.h"
#include "raii.h"
#include "resource.h"

namespace {

constexpr wchar_t kHelperClass[] = L"cfwHelper";
constexpr wchar_t kTrayClass[] = L"hvCurfew2_Tray";
constexpr wchar_t kLimiterFile[] = L"hvCurfew.exe";
constexpr UINT WM_HELPER_STOP = WM_APP + 1;  // 0x8001
constexpr UINT_PTR kWatchTimer = 1;

helper::Watch g_watch;

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
// folder or the search path.
bool StartLimiter(HWND owner)
{
    const std::wstring path = helper::SiblingPath(ModuleFileName(), kLimiterFile);
    if (path.empty())
        return false;
    const HINSTANCE result = ShellExecuteW(owner, L"Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void OnWatchTimer(HWND w)
{
    const bool trayExists = FindWindowW(kTrayClass, nullptr) != nullptr;
    switch (helper::NextAction(g_watch, trayExists, GetTickCount64())) {
    case helper::Action::None:
        break;
    case helper::Action::StartLimiter:
        if (!StartLimiter(w)) {
            SendMessageW(w, WM_CLOSE, 0, 0);
            return;
        }
        // Wait for the new tray window without blocking this window's
        // messages, so that a stop request is still honoured meanwhile.
        helper::Started(g_watch, GetTickCount64());
        SetTimer(w, kWatchTimer, helper::kWaitPollMs, nullptr);
        break;
    case helper::Action::ResumeWatching:
        SetTimer(w, kWatchTimer, helper::kWatchPeriodMs, nullptr);
        break;
    }
}

LRESULT CALLBACK HelperWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        SetTimer(w, kWatchTimer, helper::kWatchPeriodMs, nullptr);
        return 0;
    case WM_TIMER:
        if (wp != kWatchTimer)
            break;
        OnWatchTimer(w);
        return 0;
    case WM_HELPER_STOP:
        KillTimer(w, kWatchTimer);
        SendMessageW(w, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(w);
        return 0;
    case WM_DESTROY:
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
    hv::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, L"cfwHelper"));
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
