// The floor of the idle benchmark (timeout_idle_cost.sh): the least a program
// doing the limiter's visible job can cost. A window with a label and a
// notification-area icon whose label and tip show a countdown, once a
// second, and nothing else.
#include <windows.h>
#include <shellapi.h>

#include <wchar.h>

namespace {

constexpr UINT_PTR kTimer = 1;
HWND g_label;
NOTIFYICONDATAW g_icon;
int g_remain = 7200;

void Show()
{
    wchar_t text[32];
    swprintf(text, 32, L"%d:%02d:%02d", g_remain / 3600, (g_remain / 60) % 60, g_remain % 60);
    SetWindowTextW(g_label, text);
    wcsncpy(g_icon.szTip, text, ARRAYSIZE(g_icon.szTip) - 1);
    g_icon.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &g_icon);
}

LRESULT CALLBACK FloorProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        g_label = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 8, 8, 200, 24, w, nullptr, nullptr, nullptr);
        g_icon.cbSize = sizeof(g_icon);
        g_icon.hWnd = w;
        g_icon.uID = 1;
        g_icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
        g_icon.uCallbackMessage = WM_USER;
        g_icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        Shell_NotifyIconW(NIM_ADD, &g_icon);
        SetTimer(w, kTimer, 1000, nullptr);
        Show();
        return 0;
    case WM_TIMER:
        if (wp == kTimer && g_remain > 0) {
            --g_remain;
            Show();
        }
        return 0;
    case WM_DESTROY:
        Shell_NotifyIconW(NIM_DELETE, &g_icon);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(w, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"IdleFloor";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(L"IdleFloor", L"floor", WS_OVERLAPPEDWINDOW, 32, 32, 240, 80, nullptr, nullptr, instance,
                           nullptr);
    ShowWindow(w, SW_SHOWMINIMIZED);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0)
        DispatchMessageW(&m);
    return 0;
}
