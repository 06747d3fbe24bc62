// The service's copy of the timer-mode state: how reports change it and what a
// starting limiter resumes from it.
#include "accounting_logic.h"

#include <gtest/gtest.h>

#include "evaluation.h"
#include "session_zone.h"
#include "zone_logic.h"

namespace {

using svc::Period;
using svc::TimerCopy;

constexpr int64_t kDay = 20000;  // some day number; half days are day * 2 + half
constexpr int64_t kMorning = kDay * 2, kAfternoon = kDay * 2 + 1;
constexpr int64_t kNow = 1767600000;

Period At(int64_t halfDay, bool halfDayMode = false, uint32_t fresh = 7200, int64_t now = kNow)
{
    Period p;
    p.halfDay = halfDay;
    p.halfDayMode = halfDayMode;
    p.freshSeconds = fresh;
    p.now = now;
    return p;
}

TEST(Accounting, ReportsLowerTheCopyAndNeverRaiseItWithinItsPeriod)
{
    struct Case {
        const char* what;
        bool hasCopy;
        TimerCopy copy;
        uint32_t reported;
        Period period;
        bool accepted;
        uint32_t kept;
        int64_t keptHalfDay;
    };
    const Case cases[] = {
        {"first report of the day", false, {}, 7100, At(kMorning), true, 7100, kMorning},
        {"first report above a fresh grant is cut", false, {}, 0xFFFF, At(kMorning), false, 7200, kMorning},
        {"lower in the same half day", true, {kMorning, 5000, kNow - 5}, 4995, At(kMorning), true, 4995, kMorning},
        {"equal is no raise", true, {kMorning, 5000, kNow - 5}, 5000, At(kMorning), true, 5000, kMorning},
        {"a forged larger one is refused", true, {kMorning, 5000, kNow - 5}, 7200, At(kMorning), false, 5000, kMorning},
        {"whole-day mode: the afternoon is the same period", true, {kMorning, 300, kNow - 5}, 7200, At(kAfternoon),
         false, 300, kMorning},
        {"half-day mode: the afternoon is a new period", true, {kMorning, 300, kNow - 5}, 1799,
         At(kAfternoon, true, 1799), true, 1799, kAfternoon},
        {"half-day mode: a new period's report is cut to its grant", true, {kMorning, 300, kNow - 5}, 3599,
         At(kAfternoon, true, 1799), false, 1799, kAfternoon},
        {"half-day mode: a count carried across noon is kept", true, {kMorning, 5005, kNow - 5}, 5000,
         At(kAfternoon, true, 1799), true, 5000, kAfternoon},
        {"half-day mode: but not raised above it", true, {kMorning, 5005, kNow - 5}, 7000,
         At(kAfternoon, true, 1799), false, 5005, kAfternoon},
        {"a new day by the service's clock", true, {kMorning - 2, 0, kNow - 86400}, 7200, At(kMorning), true, 7200,
         kMorning},
        {"a copy ahead of the clock (set back) is not raised", true, {kAfternoon + 2, 100, kNow}, 7200,
         At(kMorning), false, 100, kAfternoon + 2},
    };
    for (const Case& c : cases) {
        const svc::Merged m = svc::MergeReport(c.hasCopy ? &c.copy : nullptr, c.reported, c.period);
        EXPECT_EQ(c.accepted, m.accepted) << c.what;
        EXPECT_EQ(c.kept, m.copy.value) << c.what;
        EXPECT_EQ(c.keptHalfDay, m.copy.halfDay) << c.what;
    }
}

TEST(Accounting, TheMarkerTravelsWithTheValue)
{
    const TimerCopy copy{kAfternoon, 0x10000u | 3000, kNow - 5};
    EXPECT_EQ(0x10000u | 2990, svc::MergeReport(&copy, 0x10000u | 2990, At(kAfternoon, true, 3599)).copy.value);
    EXPECT_EQ(0x10000u | 3599, svc::MergeReport(nullptr, 0x10000u | 0xFFFF, At(kAfternoon, true, 3599)).copy.value);
}

TEST(Accounting, AStartingLimiterResumesTodaysCopyChargedForARestartsGap)
{
    struct Case {
        const char* what;
        bool hasCopy;
        TimerCopy copy;
        Period period;
        bool resumes;
        uint32_t value;
    };
    const Case cases[] = {
        {"nothing held", false, {}, At(kMorning), false, 0},
        {"yesterday's copy", true, {kAfternoon - 2, 10, kNow - 50000}, At(kMorning), false, 0},
        {"killed and back in 3 s", true, {kMorning, 5000, kNow - 3}, At(kMorning), true, 4997},
        {"a gap longer than a restart's is not charged", true, {kMorning, 5000, kNow - 600}, At(kMorning), true, 5000},
        {"the charge stops at 0", true, {kMorning, 2, kNow - 10}, At(kMorning), true, 0},
        {"the morning's copy holds in the afternoon", true, {kMorning, 900, kNow - 7200}, At(kAfternoon, true, 1799),
         true, 900},
        {"never above a fresh grant", true, {kMorning, 7200, kNow - 7200}, At(kAfternoon, true, 1799), true, 1799},
    };
    for (const Case& c : cases) {
        uint32_t value = 12345;
        EXPECT_EQ(c.resumes, svc::ResumeValue(c.hasCopy ? &c.copy : nullptr, c.period, value)) << c.what;
        if (c.resumes) {
            EXPECT_EQ(c.value, value) << c.what;
        }
    }
}

TEST(Accounting, TheServicesPeriodFollowsTheRecordedZoneNotTheComputers)
{
    hv::zone::Zone tokyo{};
    tokyo.rule.bias = -540;
    limiter::SetEvaluationZone(&tokyo);
    UserData user{};
    user.LimitMode = LIMIT_TIMER;
    user.LimitModeFlag = 1;
    user.LimitModeTimeHalfAM = 30;
    user.LimitModeTimeHalfPM = 60;
    constexpr int64_t kNoonJst = 1767582000;  // 2026-01-05 12:00:00 JST = 03:00:00 UTC
    for (const char* tz : {"UTC0", "JST-9", "PST8", "NZST-12"}) {
        limiter_test::SetSessionZone(tz);
        const Period before = svc::PeriodOf(user, kNoonJst - 1), after = svc::PeriodOf(user, kNoonJst);
        EXPECT_EQ(before.halfDay + 1, after.halfDay) << tz;
        EXPECT_EQ(1, after.halfDay & 1) << tz << ": noon of the recorded zone begins the afternoon";
        EXPECT_EQ(1799u, before.freshSeconds) << tz;
        EXPECT_EQ(3599u, after.freshSeconds) << tz;
    }
    limiter::SetEvaluationZone(nullptr);
}

TEST(Accounting, StoredCopy)
{
    const TimerCopy copy{kAfternoon, 0x10000u | 1234, kNow};
    const std::vector<uint8_t> bytes = svc::EncodeCopy(copy);
    ASSERT_EQ(svc::kTimerCopyBytes, bytes.size());
    TimerCopy out;
    ASSERT_TRUE(svc::DecodeCopy(bytes.data(), bytes.size(), out));
    EXPECT_EQ(copy.halfDay, out.halfDay);
    EXPECT_EQ(copy.value, out.value);
    EXPECT_EQ(copy.when, out.when);
    EXPECT_FALSE(svc::DecodeCopy(bytes.data(), bytes.size() - 1, out));
    std::vector<uint8_t> reserved = bytes;
    reserved[5] = 1;
    EXPECT_FALSE(svc::DecodeCopy(reserved.data(), reserved.size(), out));
}

}  // namespace
