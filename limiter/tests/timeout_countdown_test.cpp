// The time-out of a real limiter under Wine: the countdown dialog, its title
// counting down, the helper stopped, an unknown time-out action leaving the
// session alone, and a refused exit call reported. Exit calls that succeed
// end the Wine session and are observed from outside (timeout_exit_flags.sh).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "e2e.h"
#include "timeout_fixture.h"

namespace {

using namespace std::chrono_literals;

class TimeOut : public ::testing::Test {
protected:
    void TearDown() override
    {
        // They restart each other: the helper first.
        e2e::KillAll(L"cfwHelper.exe");
        e2e::KillAll(L"hvCurfew.exe");
        e2e::KillAll(L"cfwHelper.exe");
    }

    // Starts the limiter and waits for its tray window.
    HWND StartLimiter()
    {
        limiter_ = e2e::Start(L"hvCurfew.exe");
        if (!limiter_)
            return nullptr;
        return e2e::WaitForWindow(fixture::kTrayClass, nullptr, limiter_.pid());
    }

    HWND WaitForCountdown(int seconds, std::chrono::milliseconds timeout)
    {
        HWND dlg = nullptr;
        e2e::WaitUntil([&] { return (dlg = fixture::FindCountdown(limiter_.pid(), seconds)) != nullptr; }, timeout);
        return dlg;
    }

    e2e::Process limiter_;
};

TEST_F(TimeOut, EndOfAllowedHoursCountsDownAndUnknownActionLeavesSessionAlone)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 17:59:48"));
    fixture::RegisterCurrentUser(fixture::DailyHours(8, 17));
    fixture::SetOptions(7);

    HWND tray = StartLimiter();
    ASSERT_TRUE(tray);
    // Still inside the allowed hours: a few seconds are shown, and the
    // helper is kept running.
    ASSERT_TRUE(e2e::WaitUntil([&] { const int s = fixture::LabelSeconds(tray); return s >= 1 && s <= 12; }, 10s))
        << "label: " << testing::PrintToString(e2e::ControlText(tray, fixture::kRemainLabel));
    EXPECT_TRUE(e2e::WaitForWindow(fixture::kHelperClass, nullptr, 0, 5s)) << "the limiter starts its helper";

    HWND dlg = WaitForCountdown(30, 15s);
    ASSERT_TRUE(dlg) << "no countdown titled " << testing::PrintToString(fixture::CountdownTitle(30));
    const DWORD shownAt = GetTickCount();
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, fixture::kRemainLabel));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(dlg) != FALSE; }, 2s));
    EXPECT_TRUE(e2e::WaitUntil([&] { return (GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 2s))
        << std::hex << GetWindowLongW(dlg, GWL_EXSTYLE);
    EXPECT_FALSE(GetWindowLongW(dlg, GWL_STYLE) & WS_SYSMENU) << "the countdown cannot be closed";
    EXPECT_EQ(tray, GetWindow(dlg, GW_OWNER));
    EXPECT_TRUE(SendDlgItemMessageW(dlg, fixture::kCountdownIcon, STM_GETICON, 0, 0));
    EXPECT_EQ(300, SendDlgItemMessageW(dlg, fixture::kCountdownProgress, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(L"続行(&C)", e2e::ControlText(dlg, IDOK));
    // The helper is told to stop and nothing starts it again.
    EXPECT_TRUE(e2e::WaitUntil([] { return !FindWindowW(fixture::kHelperClass, nullptr); }, 3s));

    // The title counts whole seconds, the bar a step each tenth.
    ASSERT_TRUE(WaitForCountdown(29, 3s));
    e2e::Screenshot(L"timeout_countdown");
    ASSERT_TRUE(WaitForCountdown(28, 3s));
    const DWORD at28 = GetTickCount() - shownAt;
    EXPECT_GE(at28, 1500u);
    EXPECT_LE(at28, 6000u);
    const LRESULT pos = SendDlgItemMessageW(dlg, fixture::kCountdownProgress, PBM_GETPOS, 0, 0);
    EXPECT_GE(pos, 19);
    EXPECT_LE(pos, 60);  // read a little later than the title changed

    // Continue ends the countdown at once; an unknown action then does nothing.
    e2e::Click(dlg, IDOK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dlg); }, 3s));
    Sleep(2000);
    EXPECT_TRUE(limiter_.Running());
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, fixture::kRemainLabel)) << "no further evaluation";
    EXPECT_FALSE(FindWindowW(fixture::kHelperClass, nullptr)) << "no helper restarts after a time-out";
    EXPECT_FALSE(e2e::FindMessageBox(limiter_.pid())) << "no exit call, so nothing to report";
}

TEST_F(TimeOut, LogonOutsideAllowedHoursCountsDownAtOnceAndEscapeShortensIt)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 18:30:00"));
    fixture::RegisterCurrentUser(fixture::DailyHours(8, 17));
    fixture::SetOptions(7);

    HWND tray = StartLimiter();
    ASSERT_TRUE(tray);
    HWND dlg = WaitForCountdown(30, 5s);
    ASSERT_TRUE(dlg) << "the first tick starts the time-out";
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, fixture::kRemainLabel));

    // Escape, as the dialog manager sees it from the focused button.
    const DWORD pressed = GetTickCount();
    PostMessageW(GetDlgItem(dlg, IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dlg); }, 3s)) << "Escape shortens the countdown";
    EXPECT_LT(GetTickCount() - pressed, 3000u);
    EXPECT_TRUE(limiter_.Running());
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
    fixture::RegisterCurrentUser(fixture::DailyHours(8, 17));
    fixture::SetOptions(TIMEOUT_LOGOFF);

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
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, fixture::kRemainLabel));
    EXPECT_FALSE(fixture::FindCountdown(limiter_.pid(), 30));
    EXPECT_FALSE(e2e::FindMessageBox(limiter_.pid()));
}

}  // namespace
