// The time-out of a real limiter under Wine: the countdown dialog, its title
// counting down, the helper stopped, an unknown time-out action leaving the
// session alone, and a refused exit call reported. Exit calls that succeed
// end the Wine session and are observed from outside (timeout_exit_flags.sh).
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>

#include <set>

#include <gtest/gtest.h>

#include "e2e.h"
#include "limiter_fixture.h"

namespace {

using namespace std::chrono_literals;

// Which of the limiter's icons 106 to 108 the countdown shows (0 if none
// matches): the icon control's pixels on screen against each icon drawn on
// the same background.
int ShownIcon(HWND dlg)
{
    HWND control = GetDlgItem(dlg, IDC_COUNTDOWN_ICON);
    RECT r;
    if (!control || !GetWindowRect(control, &r))
        return 0;
    constexpr int n = 32;
    HDC screen = GetDC(nullptr);
    HDC shown = CreateCompatibleDC(screen);
    HDC drawn = CreateCompatibleDC(screen);
    HBITMAP shownBits = CreateCompatibleBitmap(screen, n, n);
    HBITMAP drawnBits = CreateCompatibleBitmap(screen, n, n);
    HGDIOBJ oldShown = SelectObject(shown, shownBits);
    HGDIOBJ oldDrawn = SelectObject(drawn, drawnBits);
    BitBlt(shown, 0, 0, n, n, screen, r.left, r.top, SRCCOPY);
    HMODULE limiter = LoadLibraryExW((e2e::BinDir() + L"\\hvCurfew.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    int best = 0;
    long bestDiff = 0;
    for (int id = 106; id <= 108; ++id) {
        HICON icon = static_cast<HICON>(LoadImageW(limiter, MAKEINTRESOURCEW(id), IMAGE_ICON, n, n, 0));
        HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
        RECT all{0, 0, n, n};
        FillRect(drawn, &all, face);
        DrawIconEx(drawn, 0, 0, icon, n, n, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
        long diff = 0;
        for (int y = 0; y < n; y += 2)
            for (int x = 0; x < n; x += 2) {
                const COLORREF a = GetPixel(shown, x, y), b = GetPixel(drawn, x, y);
                diff += labs(GetRValue(a) - GetRValue(b)) + labs(GetGValue(a) - GetGValue(b)) +
                        labs(GetBValue(a) - GetBValue(b));
            }
        if (best == 0 || diff < bestDiff) {
            best = id;
            bestDiff = diff;
        }
    }
    if (limiter)
        FreeLibrary(limiter);
    SelectObject(shown, oldShown);
    SelectObject(drawn, oldDrawn);
    DeleteObject(shownBits);
    DeleteObject(drawnBits);
    DeleteDC(shown);
    DeleteDC(drawn);
    ReleaseDC(nullptr, screen);
    printf("countdown icon: %d (difference %ld)\n", best, bestDiff);
    // A few pixels of slack for the blending; another icon is far off.
    return bestDiff < 256 * 30 ? best : 0;
}

class TimeOut : public ::testing::Test {
protected:
    void TearDown() override
    {
        // They restart each other: the helper first.
        e2e::KillAll(hv::names::kHelperFile);
        e2e::KillAll(hv::names::kLimiterFile);
        e2e::KillAll(hv::names::kHelperFile);
    }

    // Starts the limiter and waits for its tray window.
    HWND StartLimiter()
    {
        limiter_ = e2e::Start(hv::names::kLimiterFile);
        if (!limiter_)
            return nullptr;
        return e2e::WaitForWindow(hv::names::kTrayClass, nullptr, limiter_.pid());
    }

    HWND WaitForCountdown(int seconds, std::chrono::milliseconds timeout)
    {
        HWND dlg = nullptr;
        e2e::WaitUntil([&] { return (dlg = limiter_test::FindCountdown(limiter_.pid(), seconds)) != nullptr; }, timeout);
        return dlg;
    }

    e2e::Process limiter_;
};

TEST_F(TimeOut, EndOfAllowedHoursCountsDownAndUnknownActionLeavesSessionAlone)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 17:59:48"));
    limiter_test::RegisterCurrentUser(limiter_test::DailyHours(8, 17));
    limiter_test::SetOptions(7);

    HWND tray = StartLimiter();
    ASSERT_TRUE(tray);
    // Still inside the allowed hours: a few seconds are shown, and the
    // helper is kept running.
    ASSERT_TRUE(e2e::WaitUntil([&] { const int s = limiter_test::LabelSeconds(tray); return s >= 1 && s <= 12; }, 10s))
        << "label: " << testing::PrintToString(e2e::ControlText(tray, IDC_TRAY_REMAIN));
    EXPECT_TRUE(e2e::WaitForWindow(hv::names::kHelperClass, nullptr, 0, 5s)) << "the limiter starts its helper";

    HWND dlg = WaitForCountdown(30, 15s);
    ASSERT_TRUE(dlg) << "no countdown titled " << testing::PrintToString(limiter_test::CountdownTitle(30));
    const DWORD shownAt = GetTickCount();
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, IDC_TRAY_REMAIN));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(dlg) != FALSE; }, 2s));
    EXPECT_TRUE(e2e::WaitUntil([&] { return (GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 2s))
        << std::hex << GetWindowLongW(dlg, GWL_EXSTYLE);
    EXPECT_FALSE(GetWindowLongW(dlg, GWL_STYLE) & WS_SYSMENU) << "the countdown cannot be closed";
    EXPECT_EQ(tray, GetWindow(dlg, GW_OWNER));
    EXPECT_TRUE(SendDlgItemMessageW(dlg, IDC_COUNTDOWN_ICON, STM_GETICON, 0, 0));
    EXPECT_EQ(300, SendDlgItemMessageW(dlg, IDC_COUNTDOWN_PROGRESS, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(L"続行(&C)", e2e::ControlText(dlg, IDOK));
    // The helper is kept through the countdown, to bring back a killed limiter.
    EXPECT_TRUE(FindWindowW(hv::names::kHelperClass, nullptr));

    // The title counts whole seconds, the bar a step each tenth.
    ASSERT_TRUE(WaitForCountdown(29, 3s));
    e2e::Screenshot(L"timeout_countdown");
    EXPECT_EQ(106, ShownIcon(dlg)) << "without amusement the first icon";
    ASSERT_TRUE(WaitForCountdown(28, 3s));
    const DWORD at28 = GetTickCount() - shownAt;
    EXPECT_GE(at28, 1500u);
    EXPECT_LE(at28, 6000u);
    const LRESULT pos = SendDlgItemMessageW(dlg, IDC_COUNTDOWN_PROGRESS, PBM_GETPOS, 0, 0);
    EXPECT_GE(pos, 19);
    EXPECT_LE(pos, 60);  // read a little later than the title changed

    // Continue ends the countdown at once; an unknown action then does nothing.
    e2e::Click(dlg, IDOK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dlg); }, 3s));
    Sleep(2000);
    EXPECT_TRUE(limiter_.Running());
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, IDC_TRAY_REMAIN)) << "no further evaluation";
    EXPECT_FALSE(FindWindowW(hv::names::kHelperClass, nullptr)) << "the helper is stopped after the time-out";
    EXPECT_FALSE(e2e::FindMessageBox(limiter_.pid())) << "no exit call, so nothing to report";
}

TEST_F(TimeOut, LogonOutsideAllowedHoursCountsDownAtOnceAndEscapeShortensIt)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 18:30:00"));
    limiter_test::RegisterCurrentUser(limiter_test::DailyHours(8, 17));
    limiter_test::SetOptions(7);

    HWND tray = StartLimiter();
    ASSERT_TRUE(tray);
    HWND dlg = WaitForCountdown(30, 5s);
    ASSERT_TRUE(dlg) << "the first tick starts the time-out";
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, IDC_TRAY_REMAIN));

    // Escape, as the dialog manager sees it from the focused button.
    const DWORD pressed = GetTickCount();
    PostMessageW(GetDlgItem(dlg, IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dlg); }, 3s)) << "Escape shortens the countdown";
    EXPECT_LT(GetTickCount() - pressed, 3000u);
    EXPECT_TRUE(limiter_.Running());
}

TEST_F(TimeOut, WithAmusementEachTimeOutShowsOneOfThreeIcons)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 19:00:00"));
    limiter_test::RegisterCurrentUser(limiter_test::DailyHours(8, 17));
    limiter_test::SetOptions(7, 1);
    // A limiter that ignored Amusement would show icon 106 every time: the
    // runs go on until a second icon shows (all of 8 alike by chance: 1 in 2187).
    std::set<int> shown;
    for (int run = 0; run < 8 && shown.size() < 2; ++run) {
        ASSERT_TRUE(StartLimiter());
        HWND dlg = WaitForCountdown(29, 6s);
        ASSERT_TRUE(dlg) << "run " << run;
        const int icon = ShownIcon(dlg);
        EXPECT_TRUE(icon >= 106 && icon <= 108) << "run " << run;
        shown.insert(icon);
        e2e::Click(dlg, IDOK);
        TearDown();
        Sleep(1000);  // the next run seeds its choice with another second
    }
    EXPECT_GE(shown.size(), 2u) << "always the same icon";
}

// Wine carries out every exit call by starting its wineboot program; with
// that program moved aside (in this run's private prefix) the call fails.
class RefusedExit : public TimeOut {
protected:
    void SetUp() override
    {
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        program_ = std::wstring(system) + L"\\wineboot.exe";
        aside_ = std::wstring(system) + L"\\wineboot.aside";
        moved_ = MoveFileW(program_.c_str(), aside_.c_str()) != FALSE;
    }
    void TearDown() override
    {
        TimeOut::TearDown();
        if (moved_)
            MoveFileW(aside_.c_str(), program_.c_str());
    }

    std::wstring program_, aside_;
    bool moved_ = false;
};

TEST_F(RefusedExit, IsReportedWithTheSystemTextAndNotTriedAgain)
{
    ASSERT_TRUE(moved_);
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 18:30:00"));
    limiter_test::RegisterCurrentUser(limiter_test::DailyHours(8, 17));
    limiter_test::SetOptions(TIMEOUT_LOGOFF);

    HWND tray = StartLimiter();
    ASSERT_TRUE(tray);
    HWND dlg = WaitForCountdown(30, 5s);
    ASSERT_TRUE(dlg);
    e2e::Click(dlg, IDOK);

    const auto box = e2e::WaitForMessageBox(limiter_.pid(), L"処理を続行できません", 10s);
    ASSERT_TRUE(box) << "a refused exit is reported";
    EXPECT_FALSE(box->text.empty());
    EXPECT_EQ(1u, box->buttons.size());
    e2e::Screenshot(L"timeout_exit_refused");
    ASSERT_TRUE(e2e::Answer(*box, IDOK));

    // The limiter stays in the out-of-time state and does not try again.
    Sleep(2500);
    EXPECT_TRUE(limiter_.Running());
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, IDC_TRAY_REMAIN));
    EXPECT_FALSE(limiter_test::FindCountdown(limiter_.pid(), 30));
    EXPECT_FALSE(e2e::FindMessageBox(limiter_.pid()));
}

// Another program's end of session, cancelled while the countdown is open,
// does not bring the evaluation back: a refused exit is still not retried.
TEST_F(RefusedExit, SessionEndCancelledDuringTheCountdownDoesNotRetry)
{
    ASSERT_TRUE(moved_);
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 18:30:00"));
    limiter_test::RegisterCurrentUser(limiter_test::DailyHours(8, 17));
    limiter_test::SetOptions(TIMEOUT_LOGOFF);

    HWND tray = StartLimiter();
    ASSERT_TRUE(tray);
    HWND dlg = WaitForCountdown(30, 5s);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(SendMessageW(tray, WM_QUERYENDSESSION, 0, 0));
    SendMessageW(tray, WM_ENDSESSION, FALSE, 0);
    Sleep(1500);  // ticks that a restarted evaluation would see
    ASSERT_TRUE(IsWindow(dlg));
    e2e::Click(dlg, IDOK);

    const auto box = e2e::WaitForMessageBox(limiter_.pid(), L"処理を続行できません", 10s);
    ASSERT_TRUE(box);
    ASSERT_TRUE(e2e::Answer(*box, IDOK));
    Sleep(2500);
    EXPECT_TRUE(limiter_.Running());
    EXPECT_TRUE(e2e::FindWindows(limiter_test::kDialogClass, nullptr, limiter_.pid()).empty())
        << "the time-out ran again";
}

}  // namespace
