// The time-out sequence: stop the helper, enable the shutdown privilege, show
// the 30-second countdown that cannot be cancelled, then log off or shut down
// with the flags that TimeOutMode selects.
#include <windows.h>
#include <commctrl.h>

#include <stdlib.h>
#include <wchar.h>

#include "cfwHook.h"
#include "limiter.h"
#include "raii.h"
#include "resource.h"
#include "tray_logic.h"

namespace {

constexpr UINT_PTR kCountdownTimer = 1;
constexpr int kTenths = 300;

struct Countdown {
    int tenths = kTenths;
    hv::UniqueIcon icon;
};

bool EnableShutdownPrivilege()
{
    hv::UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return false;
    TOKEN_PRIVILEGES tp{};
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid))
        return false;
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    return AdjustTokenPrivileges(token.get(), FALSE, &tp, 0, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
}

void SetCountdownTitle(HWND dlg, int seconds)
{
    SetWindowTextW(dlg, hv::FormatText(IDS_COUNTDOWN_TITLE, seconds).c_str());
}

void OnInit(HWND dlg, Countdown* c)
{
    static const int kIcons[] = {IDI_STATE_OUT, IDI_COUNTDOWN_2, IDI_COUNTDOWN_3};
    const int icon = g_options.Amusement == 0 ? kIcons[0] : kIcons[rand() % 3];
    c->icon.reset(static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(icon), IMAGE_ICON, 32, 32, 0)));
    SendDlgItemMessageW(dlg, IDC_COUNTDOWN_ICON, STM_SETICON, reinterpret_cast<WPARAM>(c->icon.get()), 0);
    HWND bar = GetDlgItem(dlg, IDC_COUNTDOWN_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE32, 0, kTenths);
    SendMessageW(bar, PBM_SETSTEP, 1, 0);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    SetCountdownTitle(dlg, kTenths / 10);
    c->tenths = kTenths;
    SetTimer(dlg, kCountdownTimer, 100, nullptr);
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void OnTimer(HWND dlg, Countdown* c)
{
    if (--c->tenths <= 0) {
        SendMessageW(dlg, WM_COMMAND, IDOK, 0);
        return;
    }
    SendDlgItemMessageW(dlg, IDC_COUNTDOWN_PROGRESS, PBM_STEPIT, 0, 0);
    if (c->tenths % 10 == 0)
        SetCountdownTitle(dlg, c->tenths / 10);
}

INT_PTR HandleMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* c = reinterpret_cast<Countdown*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        c = reinterpret_cast<Countdown*>(lp);
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        OnInit(dlg, c);
        return TRUE;
    case WM_TIMER:
        if (c && wp == kCountdownTimer)
            OnTimer(dlg, c);
        return TRUE;
    case WM_COMMAND:
        // Continue and Escape both end the countdown at once: it can be
        // shortened, never cancelled.
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            KillTimer(dlg, kCountdownTimer);
            EndDialog(dlg, 1);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CountdownProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    return hv::Guarded<INT_PTR>(FALSE, [&] { return HandleMessage(dlg, msg, wp, lp); });
}

void ReportExitFailure(HWND owner, DWORD error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0,
                   nullptr);
    // An error without a system text still has to say something.
    wchar_t code[32];
    swprintf(code, ARRAYSIZE(code), L"0x%08lX", static_cast<unsigned long>(error));
    CFWHL_MessageBoxW(owner, text ? text : code, hv::LoadText(IDS_EXIT_FAILED_CAPTION).c_str(), MB_ICONSTOP);
    LocalFree(text);
}

}  // namespace

void RunTimeOutSequence(HWND tray)
{
    if (HWND helper = FindWindowW(kHelperClass, nullptr))
        SendMessageTimeoutW(helper, WM_HELPER_STOP, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EnableShutdownPrivilege();

    // The progress bar's class must be registered, or the countdown could
    // not be created and the session would end at once.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);

    Countdown countdown;
    const INT_PTR result =
        DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_COUNTDOWN), tray, CountdownProc,
                        reinterpret_cast<LPARAM>(&countdown));
    // An administrator exited the limiter while the countdown ran (which
    // destroys the countdown with the tray window): the limit no longer
    // applies to this session, so nothing is ended.
    if (!IsWindow(tray))
        return;
    const int flags = tray::ExitFlagsFor(g_options.TimeOutMode, result == 1, g_osVersion);
    if (flags < 0)
        return;
    if (!ExitWindowsEx(static_cast<UINT>(flags), 0))
        ReportExitFailure(tray, GetLastError());
}
