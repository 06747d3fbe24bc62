// The tray window of the real limiter under a virtual display and a fake
// clock: the display states, the warnings as the end of the allowed hours
// comes near, the time-out, and the timer mode resuming a stored remainder.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <set>

#include "limiter_fixture.h"

namespace {

using namespace std::chrono_literals;
using limiter_test::LimiterTest;

// The notification area shows a balloon as a tooltip window of its own
// process, a moment after the limiter asked for it. With `text`, only a
// balloon whose text holds it counts (an earlier one may still be showing).
bool WaitForBalloon(DWORD pid, std::chrono::milliseconds timeout = 5s, const wchar_t* text = nullptr)
{
    return e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::FindWindows(L"tooltips_class32", nullptr, 0)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner != pid && owner != GetCurrentProcessId() && IsWindowVisible(w) &&
                    (!text || e2e::Text(w).find(text) != std::wstring::npos))
                    return true;
            }
            return false;
        },
        timeout);
}

bool InRange(const std::wstring& text, int low, int high)
{
    const int s = limiter_test::ParseRemain(text);
    return s >= low && s <= high;
}

class Tray : public LimiterTest {};

TEST_F(Tray, InitialisingThenNoLimitForAnAccountWithoutKey)
{
    ASSERT_TRUE(StartLimiter());
    // Before the first tick: the initialising state.
    ShowTrayWindow();
    EXPECT_EQ(L"0:00:00", Remain());
    e2e::Screenshot(L"tray_initialising");
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));
    Sleep(300);
    e2e::Screenshot(L"tray_nolimit");
}

TEST_F(Tray, ScheduleWarnsBeforeTheEndAndTimesOut)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 17:49:50"));  // a Monday
    UserData u = limiter_test::MakeUser(LIMIT_DAILY);
    limiter_test::Allow(u.TodayLimitTable, 8, 18);
    WriteUser(u);
    ASSERT_TRUE(StartLimiter());
    const DWORD pid = limiter_.pid();

    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return InRange(t, 601, 610); }));
    // The minimised title names the state (set just after the label).
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Text(tray_) == L"時間に余裕あり"; }, 2s)) << e2e::Text(tray_);
    EXPECT_FALSE(WaitForBalloon(pid, 0ms));
    ShowTrayWindow();
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return InRange(t, 595, 600); }, 15000));
    EXPECT_TRUE(WaitForBalloon(pid, 5s, L"あと 10 分")) << "no 10-minute warning";
    e2e::Screenshot(L"tray_plenty_warning");

    // The clock jumps past the 5, 3 and 1-minute marks: the most urgent warns.
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 17:59:50"));
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return InRange(t, 1, 9); }));
    Sleep(500);  // let it paint
    e2e::Screenshot(L"tray_little");
    // The 10-minute balloon may still be up: only the 1-minute text counts.
    EXPECT_TRUE(WaitForBalloon(pid, 5s, L"あと 1 分")) << "no 1-minute warning";
    e2e::Screenshot(L"tray_little_warning");

    // 18:00:00: out of time, and the time-out's countdown opens.
    HWND countdown = nullptr;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::FindWindows(L"#32770", nullptr, pid))
                if (IsWindowVisible(w) && GetDlgItem(w, 1001))
                    return (countdown = w) != nullptr;
            return false;
        },
        15s));
    EXPECT_EQ(L"0:00:00", Remain());
    Sleep(2500);  // the balloon comes a moment later
    e2e::Screenshot(L"tray_out");
    // TimeOutMode 7 makes no exit call: the limiter stays, no longer counting.
    e2e::Click(countdown, IDOK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(countdown); }, 5s));
    Sleep(1500);
    EXPECT_TRUE(limiter_.Running());
    EXPECT_EQ(L"0:00:00", Remain());
}

TEST_F(Tray, TimerModeResumesAStoredRemainderAndStoresItWhileRunning)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 10:00:00"));
    UserData u = limiter_test::MakeUser(LIMIT_TIMER);
    u.LimitModeTimeDay = 120;
    WriteUser(u);
    WriteRunningState(limiter_test::Now() - 3600, 603);  // an earlier logon today
    ASSERT_TRUE(StartLimiter());
    const DWORD pid = limiter_.pid();

    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return InRange(t, 596, 603); }));
    const int first = RemainSeconds();
    ASSERT_TRUE(WaitForRemain([&](const std::wstring& t) { return InRange(t, 590, first - 3); }, 10000));
    EXPECT_TRUE(WaitForBalloon(pid)) << "no 10-minute warning";
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Text(tray_) == L"時間に余裕あり"; }, 2s)) << e2e::Text(tray_);

    // The running state follows the count, so a killed limiter loses nothing.
    UserData stored{};
    ReadUserDataW(limiter_test::UserName().c_str(), &stored);
    const int shown = RemainSeconds();
    EXPECT_LE(static_cast<int>(stored.LimitModeRemain & 0xFFFF), shown + 1);
    EXPECT_GE(static_cast<int>(stored.LimitModeRemain & 0xFFFF), shown - 1);

    TearDown();
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return limiter_test::ParseRemain(t) > 0; }));
    // Resumed, not granted afresh; the seconds of the restart itself count too.
    EXPECT_LE(RemainSeconds(), shown);
    EXPECT_GE(RemainSeconds(), shown - 10);
}

// The running state written during the session must not count as an end of
// this session: the first logon of the day still gets its afternoon at noon.
TEST_F(Tray, TimerModeGrantsTheAfternoonAtNoonDespiteStoringDuringTheSession)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 11:59:40"));
    UserData u = limiter_test::MakeUser(LIMIT_TIMER);
    u.LimitModeFlag = 1;
    u.LimitModeTimeHalfAM = 30;
    u.LimitModeTimeHalfPM = 30;
    WriteUser(u);
    ASSERT_TRUE(StartLimiter());

    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return InRange(t, 1790, 1799); }));
    // Counting down the morning: the state is stored with today's date.
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return InRange(t, 1790, 1794); }, 8000));
    UserData stored{};
    ReadUserDataW(limiter_test::UserName().c_str(), &stored);
    EXPECT_GT(stored.LastLoginDate, 0);

    // Past noon the afternoon's allowance starts afresh instead of counting on.
    SYSTEMTIME now{};
    ASSERT_TRUE(e2e::WaitUntil([&] { GetLocalTime(&now); return now.wHour == 12 && now.wSecond >= 2; }, 15s));
    EXPECT_GE(RemainSeconds(), 1795) << Remain();
}

// The clock moved back across noon and forward again, twice, in a timer-mode
// session: the whole-day allowance never rises; the half-day mode's afternoon
// is granted once, at the first noon.
TEST_F(Tray, TimerModeClockBackAndForthAcrossNoonGrantsNoMore)
{
    const struct {
        uint32_t flag;
        int rises;
    } cases[] = {{0, 0}, {1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag ? "half-day mode" : "whole-day mode");
        ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 11:59:54"));
        UserData u = limiter_test::MakeUser(LIMIT_TIMER);
        u.LimitModeFlag = c.flag;
        u.LimitModeTimeDay = 120;
        u.LimitModeTimeHalfAM = 30;
        u.LimitModeTimeHalfPM = 60;
        WriteUser(u);
        WriteRunningState(0, 0);
        ASSERT_TRUE(StartLimiter());
        ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return limiter_test::ParseRemain(t) > 0; }));

        // Samples the label until `ms` have passed, counting rises.
        int rises = 0, previous = RemainSeconds(), lowest = previous;
        const auto watch = [&](DWORD ms) {
            const ULONGLONG end = GetTickCount64() + ms;
            while (GetTickCount64() < end) {
                const int now = RemainSeconds();
                if (now > previous) {
                    ++rises;
                    printf("remainder rose from %d to %d\n", previous, now);
                }
                if (now >= 0) {
                    previous = now;
                    lowest = std::min(lowest, now);
                }
                Sleep(50);
            }
        };
        watch(9000);  // across noon
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 11:59:57"));
            watch(5000);  // back before noon and across it again
            ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 12:30:00"));
            watch(3000);
        }
        EXPECT_EQ(c.rises, rises);
        EXPECT_GT(lowest, 0);
        TearDown();
    }
}

// Any program of the session can send the limiter WM_QUERYENDSESSION; alone
// it must not stop the count or the helper. A forged WM_ENDSESSION stops them
// for a few seconds at most.
TEST_F(Tray, ForgedEndOfSessionDoesNotStopEnforcement)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 09:00:00"));
    UserData u = limiter_test::MakeUser(LIMIT_TIMER);
    u.LimitModeTimeDay = 120;
    WriteUser(u);
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return limiter_test::ParseRemain(t) > 0; }));
    ASSERT_TRUE(e2e::WaitForWindow(hv::names::kHelperClass, nullptr, 0, 10s));

    // How long after `from` the label counts again and the helper is there.
    const auto stoodStill = [&](ULONGLONG from, DWORD limitMs) -> ULONGLONG {
        const int before = RemainSeconds();
        const bool back = e2e::WaitUntil(
            [&] { return RemainSeconds() != before && RemainSeconds() > 0 && FindWindowW(hv::names::kHelperClass, nullptr); },
            std::chrono::milliseconds(limitMs));
        return back ? GetTickCount64() - from : ~0ull;
    };

    DWORD_PTR answer = 0;
    ULONGLONG sent = GetTickCount64();
    ASSERT_TRUE(SendMessageTimeoutW(tray_, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(TRUE, static_cast<BOOL>(answer));
    const ULONGLONG afterQuery = stoodStill(sent, 5000);
    printf("after a forged query: counting, with the helper, %llu ms later\n", afterQuery);
    EXPECT_LE(afterQuery, 2000u);
    Sleep(1500);
    EXPECT_TRUE(FindWindowW(hv::names::kHelperClass, nullptr)) << "the helper was stopped";

    sent = GetTickCount64();
    SendMessageTimeoutW(tray_, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, nullptr);
    const ULONGLONG afterEnd = stoodStill(sent, 12000);
    printf("after a forged end of session: counting, with the helper, %llu ms later\n", afterEnd);
    EXPECT_LE(afterEnd, 8000u);
    EXPECT_TRUE(limiter_.Running());
}

}  // namespace
