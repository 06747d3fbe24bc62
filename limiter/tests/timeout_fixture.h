// Shared set-up for the tests that drive a real limiter into its time-out or
// kill it in a loop: the current account's record, the options, and lookups
// of the limiter's and the helper's windows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string.h>

#include <string>

#include "cfwCommon.h"
#include "e2e.h"

namespace fixture {

constexpr wchar_t kTrayClass[] = L"hvCurfew2_Tray";
constexpr wchar_t kHelperClass[] = L"cfwHelper";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kRemainLabel = 1002;
constexpr int kCountdownIcon = 1000;
constexpr int kCountdownProgress = 1001;

inline std::wstring CountdownTitle(int seconds)
{
    return std::to_wstring(seconds) + L" 秒後に終了処理を開始します。";
}

inline std::wstring CurrentUser()
{
    wchar_t name[256] = {};
    DWORD size = ARRAYSIZE(name);
    GetUserNameW(name, &size);
    return name;
}

// A fresh registry for the account: its settings under Users and empty
// running state in its own hive.
inline void RegisterCurrentUser(const UserData& user)
{
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
    e2e::DeleteTree(HKEY_CURRENT_USER, CFW_REG_ROOT_W);
    WriteUserDataW(CurrentUser().c_str(), &user, 0);
    WriteUserDataW(CurrentUser().c_str(), &user, 1);
}

inline void SetOptions(uint32_t timeOutMode, uint32_t amusement = 0)
{
    OptionData options{timeOutMode, amusement, PASSWORD_LOCK_OFF};
    WriteOptionDataW(&options);
}

// The daily hours `from` to `to` (inclusive) allowed, every other hour not.
inline UserData DailyHours(int from, int to)
{
    UserData u;
    memset(&u, 0, sizeof(u));
    u.LimitMode = LIMIT_DAILY;
    for (int h = from; h <= to; ++h)
        u.TodayLimitTable[h] = 1;
    u.LimitModeTimeDay = 120;
    u.LimitModeTimeHalfAM = 30;
    u.LimitModeTimeHalfPM = 30;
    return u;
}

// A plain allowance of `minutes` a day, not yet used today.
inline UserData TimerAllowance(uint32_t minutes)
{
    UserData u = DailyHours(0, -1);
    u.LimitMode = LIMIT_TIMER;
    u.LimitModeTimeDay = minutes;
    return u;
}

inline UserData StoredState()
{
    UserData u;
    memset(&u, 0, sizeof(u));
    ReadUserDataW(CurrentUser().c_str(), &u);
    return u;
}

// The tray window of the running limiter, or null.
inline HWND TrayWindow()
{
    return FindWindowW(kTrayClass, nullptr);
}

inline DWORD ProcessOf(HWND w)
{
    DWORD pid = 0;
    if (w)
        GetWindowThreadProcessId(w, &pid);
    return pid;
}

// "H:MM:SS" of the tray window's remainder label in seconds, or -1 when it
// shows no number.
inline int LabelSeconds(HWND tray)
{
    const std::wstring text = e2e::ControlText(tray, kRemainLabel);
    int h = 0, m = 0, s = 0;
    if (swscanf(text.c_str(), L"%d:%d:%d", &h, &m, &s) != 3)
        return -1;
    return h * 3600 + m * 60 + s;
}

inline HWND FindCountdown(DWORD limiterPid, int seconds)
{
    const auto found = e2e::FindWindows(kDialogClass, CountdownTitle(seconds).c_str(), limiterPid);
    return found.empty() ? nullptr : found.front();
}

inline void KillProcess(DWORD pid)
{
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        TerminateProcess(h, 9);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
}

}  // namespace fixture
