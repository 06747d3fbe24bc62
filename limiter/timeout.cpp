// The time-out sequence: enable the shutdown privilege, show the 30-second
// countdown that cannot be cancelled, then log off or shut down with the
// flags that TimeOutMode selects, and only then stop the helper. Until the
// exit call the helper brings a killed limiter back, and the countdown's
// deadline is kept by the helper, so that the restarted limiter counts down
// only what is left of it: killing the limiter neither escapes the time-out
// nor stretches it.
#include <windows.h>
#include <commctrl.h>

#include <stdlib.h>
#include <wchar.h>

#include "cfwHook.h"
#include "helper_keeper.h"
#include "limiter.h"
#include "raii.h"
#include "resource.h"
#include "tray_logic.h"

namespace {

constexpr UINT_PTR kCountdownTimer = 1;
constexpr int kTenths = 300;

struct Countdown {
    uint64_t deadline = 0;  // GetTickCount64 at which the countdown ends
    int tenths = kTenths;   // tenths of a second left, as last shown
    hv::UniqueIcon icon;
};

// Tenths of a second left until `deadline`, rounded up.
int TenthsLeft(uint64_t deadline)
{
    const uint64_t now = GetTickCount64();
    if (now >= deadline)
        return 0;
    const uint64_t left = (deadline - now + 99) / 100;
    return left > static_cast<uint64_t>(kTenths) ? kTenths : static_cast<int>(left);
}

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
    c->tenths = TenthsLeft(c->deadline);
    SendMessageW(bar, PBM_SETPOS, kTenths - c->tenths, 0);
    SetCountdownTitle(dlg, (c->tenths + 9) / 10);
    SetTimer(dlg, kCountdownTimer, 100, nullptr);
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Every 100 ms, by the clock rather than by counting ticks, so that late
// timer messages on a loaded machine do not stretch the countdown.
void OnTimer(HWND dlg, Countdown* c)
{
    const int tenths = TenthsLeft(c->deadline);
    if (tenths <= 0) {
        SendMessageW(dlg, WM_COMMAND, IDOK, 0);
        return;
    }
    SendDlgItemMessageW(dlg, IDC_COUNTDOWN_PROGRESS, PBM_SETPOS, kTenths - tenths, 0);
    if ((tenths + 9) / 10 != (c->tenths + 9) / 10)
        SetCountdownTitle(dlg, (tenths + 9) / 10);
    c->tenths = tenths;
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
    // The first time-out of this session sets the deadline; a limiter
    // restarted during its countdown gets that deadline back.
    Countdown countdown;
    countdown.deadline = keeper::OfferDeadline(GetTickCount64() + kTenths * 100);
    EnableShutdownPrivilege();

    // The progress bar's class must be registered, or the countdown could
    // not be created and the session would end at once.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);

    // A deadline already passed (the limiter was killed at the very end of
    // the countdown) counts as a countdown that ran its course.
    const INT_PTR result = TenthsLeft(countdown.deadline) <= 0
                               ? 1
                               : DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_COUNTDOWN), tray, CountdownProc,
                                                 reinterpret_cast<LPARAM>(&countdown));
    // An administrator exited the limiter while the countdown ran (which
    // destroys the countdown with the tray window): the limit no longer
    // applies to this session, so nothing is ended.
    if (!IsWindow(tray))
        return;
    const int flags = tray::ExitFlagsFor(g_options.TimeOutMode, result == 1, g_osVersion);
    // From here on nothing restarts the limiter: the exit call is made (or
    // is not made at all) and is not tried again.
    const bool exited = flags >= 0 && ExitWindowsEx(static_cast<UINT>(flags), 0);
    const DWORD error = GetLastError();
    keeper::StopHelper(tray, false);
    if (flags >= 0 && !exited)
        ReportExitFailure(tray, error);
}
