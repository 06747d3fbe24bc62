// The allowed hours are kept in the zone recorded with the settings: a
// session whose zone was moved nine hours back still times out at 18:00 of
// the recorded zone. Without a recorded zone the session's clock decides, as
// in older installations, until a reload brings the recorded one in.
#include <windows.h>

#include <gtest/gtest.h>

#include "e2e.h"
#include "limiter_fixture.h"

namespace {

using namespace std::chrono_literals;

// The session's zone moved from Tokyo to UTC: 17:59:30 in Tokyo is 08:59:30
// on the session's clock, nine hours before the end of 8:00-17:59.
const e2e::Env kMovedSession{{L"TZ", L"UTC0"}};

void RecordZone(const wchar_t* keyName)
{
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, L"TimeZoneKeyName", REG_SZ, keyName,
                              static_cast<DWORD>((wcslen(keyName) + 1) * sizeof(wchar_t))));
}

class RecordedZone : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 17:59:30"));  // Tokyo time: this process runs in JST
        limiter_test::RegisterCurrentUser(limiter_test::DailyHours(8, 17));
        limiter_test::SetOptions(7);  // an unknown action: the countdown ends nothing
    }
    void TearDown() override
    {
        e2e::KillAll(hv::names::kHelperFile);
        e2e::KillAll(hv::names::kLimiterFile);
        e2e::KillAll(hv::names::kHelperFile);
    }
    HWND StartLimiter()
    {
        limiter_ = e2e::Start(hv::names::kLimiterFile, L"", kMovedSession);
        return limiter_ ? e2e::WaitForWindow(hv::names::kTrayClass, nullptr, limiter_.pid()) : nullptr;
    }
    bool Countdown(std::chrono::milliseconds timeout)
    {
        return e2e::WaitUntil([&] { return limiter_test::FindCountdown(limiter_.pid(), 30) != nullptr; }, timeout);
    }
    e2e::Process limiter_;
};

TEST_F(RecordedZone, MovedSessionZoneStillTimesOutAtTheRecordedEnd)
{
    RecordZone(L"Tokyo Standard Time");
    HWND tray = StartLimiter();
    ASSERT_TRUE(tray);
    ASSERT_TRUE(e2e::WaitUntil([&] { const int s = limiter_test::LabelSeconds(tray); return s >= 1 && s <= 30; }, 10s))
        << "label: " << testing::PrintToString(e2e::ControlText(tray, IDC_TRAY_REMAIN));
    EXPECT_TRUE(Countdown(40s)) << "no time-out at 18:00 Tokyo time";
    EXPECT_EQ(L"0:00:00", e2e::ControlText(tray, IDC_TRAY_REMAIN));
}

TEST_F(RecordedZone, WithoutOneTheSessionClockDecidesUntilAReloadBringsItIn)
{
    HWND tray = StartLimiter();
    ASSERT_TRUE(tray);
    // 08:59:30 on the session's clock: nine hours and thirty seconds left.
    ASSERT_TRUE(e2e::WaitUntil([&] { return limiter_test::LabelSeconds(tray) > 9 * 3600; }, 10s))
        << "label: " << testing::PrintToString(e2e::ControlText(tray, IDC_TRAY_REMAIN));
    EXPECT_LE(limiter_test::LabelSeconds(tray), 9 * 3600 + 30);
    EXPECT_FALSE(limiter_test::FindCountdown(limiter_.pid(), 30));

    // The settings utility records the zone and tells the limiter.
    RecordZone(L"Tokyo Standard Time");
    SendMessageW(tray, hv::names::kApplySettingsMessage, 0, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { const int s = limiter_test::LabelSeconds(tray); return s >= 0 && s <= 30; }, 5s))
        << "label: " << testing::PrintToString(e2e::ControlText(tray, IDC_TRAY_REMAIN));
    EXPECT_TRUE(Countdown(40s));
}

}  // namespace
