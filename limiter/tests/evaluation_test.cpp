// Limit evaluation: the schedule modes over their tables, and the timer
// mode's allowance as the tray ticks it once a second.
#include "evaluation.h"
#include "session_zone.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <cstring>
#include <initializer_list>

using namespace limiter;

namespace {

// Every test runs in one fixed zone, so that LastLoginDate (UTC seconds) and
// the local times below agree: JST, nine hours ahead, no daylight saving.
class JstZone : public ::testing::Environment {
public:
    void SetUp() override { limiter_test::SetSessionZone("JST-9"); }
};
const auto* const kZone = ::testing::AddGlobalTestEnvironment(new JstZone);

int64_t DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Seconds since 1970 UTC of a JST wall-clock time.
int64_t Jst(int y, int mo, int d, int h, int mi, int s)
{
    return DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s - 9 * 3600;
}

LocalTime At(int y, int mo, int d, int h, int mi, int s)
{
    LocalTime t{};
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    t.weekday = static_cast<int>(((DaysFromCivil(y, mo, d) % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    return t;
}

// 2026-01-05 is a Monday; day offsets 0..6 give Monday..Sunday.
LocalTime Week(int weekday, int h, int mi, int s) { return At(2026, 1, 4 + (weekday == 0 ? 7 : weekday), h, mi, s); }

void Allow(uint8_t table[24], int from, int to)  // hours from..to inclusive
{
    for (int h = from; h <= to; ++h)
        table[h] = 1;
}

TEST(LocalTimeTest, BreaksDownInTheRuntimeZone)
{
    const LocalTime t = ToLocalTime(Jst(2026, 1, 2, 17, 59, 50));
    EXPECT_EQ(2026, t.year);
    EXPECT_EQ(1, t.month);
    EXPECT_EQ(2, t.day);
    EXPECT_EQ(17, t.hour);
    EXPECT_EQ(59, t.minute);
    EXPECT_EQ(50, t.second);
    EXPECT_EQ(5, t.weekday);  // Friday
    EXPECT_EQ(At(2026, 1, 2, 0, 0, 0).weekday, t.weekday);

    EXPECT_TRUE(SameLocalDay(ToLocalTime(Jst(2026, 3, 1, 0, 0, 0)), ToLocalTime(Jst(2026, 3, 1, 23, 59, 59))));
    EXPECT_FALSE(SameLocalDay(ToLocalTime(Jst(2026, 3, 1, 23, 59, 59)), ToLocalTime(Jst(2026, 3, 2, 0, 0, 0))));
    EXPECT_FALSE(SameLocalDay(ToLocalTime(Jst(2026, 3, 1, 12, 0, 0)), ToLocalTime(Jst(2025, 3, 1, 12, 0, 0))));
    // A moment the runtime cannot break down never counts as today.
    const LocalTime bad = ToLocalTime(INT64_MAX);
    EXPECT_EQ(0, bad.year);
    EXPECT_FALSE(SameLocalDay(bad, bad));
}

struct DailyCase {
    const char* name;
    std::initializer_list<std::pair<int, int>> allowed;
    LocalTime now;
    int32_t expected;
};

TEST(ScheduleTest, DailyTable)
{
    const DailyCase cases[] = {
        {"inside 8-17", {{8, 17}}, At(2026, 1, 2, 16, 59, 30), 3630},
        {"last second", {{8, 17}}, At(2026, 1, 2, 17, 59, 59), 1},
        {"just after", {{8, 17}}, At(2026, 1, 2, 18, 0, 0), 0},
        {"first second", {{8, 17}}, At(2026, 1, 2, 8, 0, 0), 36000},
        {"before", {{8, 17}}, At(2026, 1, 2, 7, 59, 59), 0},
        {"all day", {{0, 23}}, At(2026, 1, 2, 13, 14, 15), REMAIN_UNLIMITED},
        {"23 hours", {{0, 2}, {4, 23}}, At(2026, 1, 2, 4, 0, 0), 82800},
        {"across midnight", {{22, 23}, {0, 1}}, At(2026, 1, 2, 23, 30, 0), 9000},
        {"empty", {}, At(2026, 1, 2, 12, 0, 0), 0},
    };
    for (const DailyCase& c : cases) {
        uint8_t table[24] = {};
        for (auto [from, to] : c.allowed)
            Allow(table, from, to);
        EXPECT_EQ(c.expected, GetRemainDaily(table, c.now)) << c.name;
    }
    uint8_t twos[24];
    std::memset(twos, 2, sizeof twos);  // any non-zero byte allows its hour
    twos[5] = 0;
    EXPECT_EQ(3600, GetRemainDaily(twos, At(2026, 1, 2, 4, 0, 0)));
}

TEST(ScheduleTest, WeekdayWeekendAcrossFridayAndSaturday)
{
    UserData u{};
    u.LimitMode = LIMIT_WEEKDAY_WEEKEND;
    Allow(u.WeeklyLimitTable1, 20, 23);  // Monday to Friday
    Allow(u.WeeklyLimitTable2, 0, 0);    // Saturday and Sunday
    const GroupData none{};
    struct {
        LocalTime now;
        int32_t expected;
    } cases[] = {
        {Week(5, 23, 0, 0), 7200},  // Friday's last hour runs on into Saturday's first
        {Week(5, 20, 0, 0), 18000},
        {Week(6, 0, 30, 0), 1800},  // Saturday uses the weekend table
        {Week(6, 20, 0, 0), 0},
        {Week(0, 23, 0, 0), 0},     // Sunday 23:00 is not in the weekend table
        {Week(0, 0, 0, 0), 3600},   // Sunday 0:00 is, and Sunday 1:00 closes
        {Week(1, 23, 0, 0), 3600},  // Monday night ends at midnight: Tuesday 0:00 is closed
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, GetRemainSchedule(u, none, c.now)) << c.now.weekday << " " << c.now.hour;

    Allow(u.WeeklyLimitTable1, 0, 23);
    Allow(u.WeeklyLimitTable2, 0, 23);
    EXPECT_EQ(REMAIN_UNLIMITED, GetRemainSchedule(u, none, Week(3, 10, 0, 0)));
    // Saturday's night runs on through Sunday into Monday's table.
    u.WeeklyLimitTable1[1] = 0;
    EXPECT_EQ(3600 * 26, GetRemainSchedule(u, none, Week(6, 23, 0, 0)));
}

TEST(ScheduleTest, DayOfWeekUsesEachDaysOwnRow)
{
    // Only row r allows 10:00-10:59; at 10:30 of weekday d that is 1800 or 0.
    for (int row = 0; row < CFW_DAYS; ++row) {
        uint8_t days[CFW_DAYS][24] = {};
        days[row][10] = 1;
        for (int d = 0; d < 7; ++d)
            EXPECT_EQ(CfwDayRow(d) == row ? 1800 : 0, GetRemainDayOfWeek(days, Week(d, 10, 30, 0)))
                << "row " << row << " weekday " << d;
    }
    // Saturday 23:00 runs on into Sunday (the last row).
    uint8_t days[CFW_DAYS][24] = {};
    days[CFW_ROW_SAT][23] = 1;
    days[CFW_ROW_SUN][0] = 1;
    EXPECT_EQ(7200, GetRemainDayOfWeek(days, Week(6, 23, 0, 0)));
}

TEST(ScheduleTest, DayOfWeekHorizonCountsTheHourUnderExamination)
{
    // 167 allowed hours in a row from Wednesday 10:00; Wednesday 9:00 is closed.
    uint8_t days[CFW_DAYS][24];
    std::memset(days, 1, sizeof days);
    days[CFW_ROW_WED][9] = 0;
    EXPECT_EQ(REMAIN_UNLIMITED, GetRemainDayOfWeek(days, Week(3, 10, 0, 0)));
    EXPECT_EQ(601199, GetRemainDayOfWeek(days, Week(3, 10, 0, 1)));
    EXPECT_EQ(0, GetRemainDayOfWeek(days, Week(3, 9, 59, 59)));
    // A short run ends like the weekly rule.
    days[CFW_ROW_WED][12] = 0;
    EXPECT_EQ(5400, GetRemainDayOfWeek(days, Week(3, 10, 30, 0)));
}

TEST(ScheduleTest, ModesAndGroups)
{
    UserData u{};
    GroupData g{};  // a group that does not exist reads as all zero: daily, nothing allowed
    const LocalTime now = Week(2, 10, 30, 0);  // Tuesday
    struct {
        uint32_t mode;
        int32_t expected;
    } plain[] = {{LIMIT_NONE, REMAIN_UNLIMITED}, {6, REMAIN_UNLIMITED}, {0xFFFF, REMAIN_UNLIMITED},
                 {LIMIT_TIMER, REMAIN_UNLIMITED}, {LIMIT_GROUP, 0}, {LIMIT_DAILY, 0}};
    for (const auto& c : plain) {
        u.LimitMode = c.mode;
        EXPECT_EQ(c.expected, GetRemainSchedule(u, g, now)) << c.mode;
    }
    // The high half (the carry-over flag) plays no part outside the timer mode.
    Allow(u.TodayLimitTable, 10, 11);
    u.LimitMode = LIMIT_DAILY | LIMIT_CARRY_OVER_FLAG;
    EXPECT_EQ(5400, GetRemainSchedule(u, g, now));

    // A group's own numbering: 0 daily, 1 weekday/weekend, 2 day of week.
    u.LimitMode = LIMIT_GROUP;
    Allow(g.TodayLimitTable, 10, 10);
    Allow(g.WeeklyLimitTable1, 10, 12);
    Allow(g.DayLimitTable[CFW_ROW_TUE], 9, 13);
    struct {
        uint32_t groupMode;
        int32_t expected;
    } groups[] = {{GROUP_DAILY, 1800}, {GROUP_WEEKDAY_WEEKEND, 9000}, {GROUP_DAY_OF_WEEK, 12600}, {3, REMAIN_UNLIMITED}};
    for (const auto& c : groups) {
        g.LimitMode = c.groupMode;
        EXPECT_EQ(c.expected, GetRemainSchedule(u, g, now)) << c.groupMode;
    }
}

// --- timer mode -------------------------------------------------------------

UserData TimerUser(uint32_t flag, uint32_t day, uint32_t am, uint32_t pm, bool carryOver = false)
{
    UserData u{};
    u.LimitMode = LIMIT_TIMER | (carryOver ? LIMIT_CARRY_OVER_FLAG : 0);
    u.LimitModeFlag = flag;
    u.LimitModeTimeDay = day;
    u.LimitModeTimeHalfAM = am;
    u.LimitModeTimeHalfPM = pm;
    return u;
}

// A running limiter: one tick per second of JST time from `from`. `shift`
// moves the local clock as a change of the clock or the time zone would.
struct Session {
    TimerState state;
    UserData& user;
    GroupData group{};
    int64_t now;
    int64_t shift = 0;
    Session(UserData& u, int64_t from) : user(u), now(from) {}
    int32_t Tick() { return TimerTick(state, user, group, ToLocalTime(shift + now++)); }
    // Ticks until (and including) `until`, returning the last D.
    int32_t TickUntil(int64_t until)
    {
        int32_t d = 0;
        while (now <= until)
            d = Tick();
        return d;
    }
    UserData End() { return StateToStore(user, state, shift + now - 1); }
};

TEST(TimerTest, DayAllowanceIsGrantedOnceADayAndResumed)
{
    UserData u = TimerUser(0, 120, 30, 30);
    u.LastLoginDate = Jst(2026, 1, 1, 20, 0, 0);  // yesterday
    u.LimitModeRemain = 5;
    Session s(u, Jst(2026, 1, 2, 9, 0, 0));
    EXPECT_EQ(7200, s.Tick());
    EXPECT_EQ(7199, s.Tick());
    EXPECT_EQ(7199u, u.LimitModeRemain);
    EXPECT_EQ(6600, s.TickUntil(Jst(2026, 1, 2, 9, 10, 0)));
    const UserData stored = s.End();
    EXPECT_EQ(6600u, stored.LimitModeRemain);
    EXPECT_EQ(Jst(2026, 1, 2, 9, 10, 0), stored.LastLoginDate);
    EXPECT_EQ(Jst(2026, 1, 1, 20, 0, 0), u.LastLoginDate);  // the record in memory keeps the previous end

    UserData again = stored;  // logging on again that day
    Session later(again, Jst(2026, 1, 2, 15, 0, 0));
    EXPECT_EQ(6600, later.Tick());
    EXPECT_EQ(6599, later.Tick());

    UserData next = stored;  // and the next day
    Session tomorrow(next, Jst(2026, 1, 3, 8, 0, 0));
    EXPECT_EQ(7200, tomorrow.Tick());

    UserData never = TimerUser(0, 120, 30, 30);  // LastLoginDate 0: never ended before
    never.LimitModeRemain = 17;
    Session first(never, Jst(2026, 1, 2, 9, 0, 0));
    EXPECT_EQ(7200, first.Tick());
}

TEST(TimerTest, NoonGrantsTheAfternoonOnlyAfterAnEarlierDaysEnd)
{
    struct {
        const char* name;
        bool carryOver;
        int64_t lastEnd;
        int32_t atNoon;
        uint32_t marker;
    } cases[] = {
        {"no carry-over", false, Jst(2026, 1, 1, 22, 0, 0), 1799, 0},
        {"carry-over", true, Jst(2026, 1, 1, 22, 0, 0), 3599, 1},
        // Ended earlier today: the running value goes on counting over noon.
        {"same day", false, Jst(2026, 1, 2, 8, 0, 0), 1199, 0},
    };
    for (const auto& c : cases) {
        UserData u = TimerUser(1, 120, 30, 30, c.carryOver);
        u.LastLoginDate = c.lastEnd;
        u.LimitModeRemain = 1799;
        Session s(u, Jst(2026, 1, 2, 11, 50, 0));
        EXPECT_EQ(1799, s.Tick()) << c.name;
        EXPECT_EQ(1200, s.TickUntil(Jst(2026, 1, 2, 11, 59, 59))) << c.name;
        EXPECT_EQ(c.atNoon, s.Tick()) << c.name;
        EXPECT_EQ(c.marker, u.LimitModeRemain >> 16) << c.name;
        EXPECT_EQ(c.atNoon - 1, s.Tick()) << c.name;
        EXPECT_EQ(c.marker, s.End().LimitModeRemain >> 16) << c.name;
    }
}

// Runs `steps` (clock shifts in seconds, each followed by `ticks` ticks) and
// counts the ticks on which the remainder rose: the grants after the first.
int GrantsOver(Session& s, std::initializer_list<int64_t> steps, int ticks)
{
    int grants = 0;
    int32_t previous = s.Tick();
    for (int i = 0; i < ticks; ++i) {
        const int32_t d = s.Tick();
        grants += d > previous;
        previous = d;
    }
    for (int64_t step : steps) {
        s.shift += step;
        for (int i = 0; i < ticks; ++i) {
            const int32_t d = s.Tick();
            grants += d > previous;
            previous = d;
        }
    }
    return grants;
}

TEST(TimerTest, ClockAndZoneJumpsGrantAtMostOncePerPeriod)
{
    constexpr int64_t H = 3600;
    const struct {
        const char* name;
        uint32_t flag;
        int hour, minute;  // first tick, after an end on an earlier day
        std::initializer_list<int64_t> steps;
        int grants;
    } cases[] = {
        {"day, across noon and back, twice", 0, 11, 59, {0, -120, 120, -120, 120}, 0},
        {"half day, across noon and back, twice", 1, 11, 59, {0, -120, 120, -120, 120}, 1},
        {"day, across midnight and back, twice", 0, 23, 59, {0, -120, 120, -120, 120}, 1},
        {"half day, across midnight and back, twice", 1, 23, 59, {0, -120, 120, -120, 120}, 1},
        {"day, zone +9 h and back", 0, 9, 0, {9 * H, -9 * H, 9 * H, -9 * H}, 0},
        {"half day, zone +9 h and back", 1, 9, 0, {9 * H, -9 * H, 9 * H, -9 * H}, 1},
        {"day, zone -9 h and back", 0, 9, 0, {-9 * H, 9 * H, -9 * H, 9 * H}, 0},
        // Into the next day: that day's grant comes early, and only once.
        {"day, zone +14 h and back", 0, 11, 0, {14 * H, -14 * H, 14 * H, -14 * H}, 1},
        {"half day, zone +14 h and back", 1, 11, 0, {14 * H, -14 * H, 14 * H, -14 * H}, 1},
        {"day, zone +14 h, -9 h, +9 h", 0, 11, 0, {14 * H, -23 * H, 23 * H, -14 * H}, 1},
    };
    for (const auto& c : cases) {
        UserData u = TimerUser(c.flag, 600, 300, 300);
        u.LastLoginDate = Jst(2026, 1, 1, 20, 0, 0);
        Session s(u, Jst(2026, 1, 2, c.hour, c.minute, 0));
        EXPECT_EQ(c.grants, GrantsOver(s, c.steps, 150)) << c.name;
    }
}

TEST(TimerTest, JumpedAheadDayIsNotGrantedAgainWhenItComes)
{
    // A zone 14 hours ahead at 11:00 brings the next day's grant forward;
    // back in the home zone, the real midnight grants nothing more, also
    // after a restart from what was stored meanwhile.
    UserData u = TimerUser(0, 1000, 30, 30);
    u.LastLoginDate = Jst(2026, 1, 1, 20, 0, 0);
    Session s(u, Jst(2026, 1, 2, 11, 0, 0));
    EXPECT_EQ(60000, s.Tick());
    EXPECT_EQ(59999, s.Tick());
    s.shift = 14 * 3600;
    EXPECT_EQ(60000, s.Tick()) << "the next day's grant";
    s.shift = 0;
    EXPECT_EQ(59999, s.Tick());
    EXPECT_EQ(59900, s.TickUntil(Jst(2026, 1, 2, 11, 1, 42)));
    const UserData stored = s.End();
    EXPECT_LT(s.TickUntil(Jst(2026, 1, 3, 0, 0, 5)), 59900 - 46000);

    UserData restarted = stored;  // killed at 11:01:42 and restarted at once
    Session again(restarted, Jst(2026, 1, 2, 11, 1, 44));
    again.state.grantFloor = s.state.granted;
    EXPECT_EQ(59898, again.Tick());
    EXPECT_LT(again.TickUntil(Jst(2026, 1, 3, 0, 0, 5)), 59900 - 46000);
}

TEST(TimerTest, RestartAfterTheClockWentBackDoesNotGrantAgain)
{
    // Granted at midnight, then the clock is set back before midnight and
    // the limiter killed: the restart resumes, and the second midnight
    // grants nothing.
    UserData u = TimerUser(0, 120, 30, 30);
    u.LastLoginDate = Jst(2026, 1, 1, 9, 0, 0);
    u.LimitModeRemain = 30;
    Session s(u, Jst(2026, 1, 1, 23, 59, 50));
    EXPECT_EQ(7190, s.TickUntil(Jst(2026, 1, 2, 0, 0, 10)));
    EXPECT_EQ(7189, s.Tick());
    UserData late = s.End();  // stored after midnight
    s.shift = -60;
    UserData back = s.End();  // the clock set back a minute: the date stays
    EXPECT_EQ(late.LastLoginDate, back.LastLoginDate);

    Session restarted(back, Jst(2026, 1, 1, 23, 59, 20));
    EXPECT_EQ(7189, restarted.Tick());
    EXPECT_LT(restarted.TickUntil(Jst(2026, 1, 2, 0, 0, 30)), 7189);

    // What the helper kept wins over a record whose date was edited away.
    UserData edited = back;
    edited.LastLoginDate = 0;
    edited.LimitModeRemain = 0xFFFF;
    Session kept(edited, Jst(2026, 1, 2, 0, 5, 0));
    kept.state.grantFloor = s.state.granted;
    EXPECT_EQ(7200, kept.Tick()) << "no more than a fresh grant";
    edited.LimitModeRemain = 4000;
    Session kept2(edited, Jst(2026, 1, 2, 0, 5, 0));
    kept2.state.grantFloor = s.state.granted;
    EXPECT_EQ(4000, kept2.Tick());
    EXPECT_EQ(3999, kept2.Tick());
}

TEST(TimerTest, WhatTheServiceHoldsForTodayWinsOverTheUsersRecord)
{
    // Date deleted and remainder raised in the user's own hive, helper gone
    // too: the service's copy of today decides.
    UserData edited = TimerUser(0, 120, 30, 30);
    edited.LastLoginDate = 0;
    edited.LimitModeRemain = 0xFFFF;
    Session s(edited, Jst(2026, 1, 2, 9, 30, 0));
    s.state.serviceValue = 3000;
    EXPECT_EQ(3000, s.Tick());
    EXPECT_EQ(2999, s.Tick());
    // It covers the rest of the day: the next grant is at midnight.
    EXPECT_EQ(0, s.TickUntil(Jst(2026, 1, 2, 23, 59, 59)));
    EXPECT_EQ(7200, s.TickUntil(Jst(2026, 1, 3, 0, 0, 0)));

    // The lower of the two wins: an intact record below the service's copy.
    UserData intact = TimerUser(0, 120, 30, 30);
    intact.LastLoginDate = Jst(2026, 1, 2, 9, 0, 0);
    intact.LimitModeRemain = 1000;
    Session t(intact, Jst(2026, 1, 2, 9, 30, 0));
    t.state.serviceValue = 3000;
    EXPECT_EQ(1000, t.Tick());

    // Nothing held (no service): the record decides as before.
    Session u(edited, Jst(2026, 1, 2, 9, 30, 0));
    EXPECT_EQ(7200, u.Tick());
}

TEST(TimerTest, ALowerServiceValueLearntWhileCountingLowersTheCountOfItsPeriodOnly)
{
    UserData u = TimerUser(0, 120, 30, 30);
    Session s(u, Jst(2026, 1, 2, 9, 0, 0));
    EXPECT_EQ(7200, s.Tick());
    const int64_t granted = s.state.granted;
    EXPECT_FALSE(LowerToServiceValue(s.state, s.user, 7300, granted)) << "never up";
    EXPECT_TRUE(LowerToServiceValue(s.state, s.user, 5000, granted));
    EXPECT_EQ(5000u, s.user.LimitModeRemain & 0xFFFF);
    EXPECT_EQ(4999, s.Tick());
    // An answer about the day before comes in after midnight's grant: ignored.
    EXPECT_EQ(7200, s.TickUntil(Jst(2026, 1, 3, 0, 0, 0)));
    EXPECT_FALSE(LowerToServiceValue(s.state, s.user, 3, granted));
    EXPECT_EQ(7199, s.Tick());
}

TEST(TimerTest, NoonGrantsOnlyInTheHalfDayMode)
{
    // Whole-day mode, the first session of the day from 09:00 across noon:
    // the day's allowance goes on counting down.
    UserData day = TimerUser(0, 240, 30, 30);
    day.LastLoginDate = Jst(2026, 1, 1, 20, 0, 0);
    Session s(day, Jst(2026, 1, 2, 9, 0, 0));
    EXPECT_EQ(14400, s.Tick());
    EXPECT_EQ(3601, s.TickUntil(Jst(2026, 1, 2, 11, 59, 59)));
    EXPECT_EQ(3600, s.Tick());
    EXPECT_EQ(3599, s.Tick());

    // Half-day mode, AM 120 / PM 30 without carry-over, after an earlier
    // logon today: the running value is neither cut to the afternoon's
    // allowance nor granted afresh.
    UserData half = TimerUser(1, 120, 120, 30);
    half.LastLoginDate = Jst(2026, 1, 2, 8, 0, 0);
    half.LimitModeRemain = 5005;
    Session h(half, Jst(2026, 1, 2, 11, 59, 55));
    EXPECT_EQ(5005, h.Tick());
    EXPECT_EQ(5000, h.TickUntil(Jst(2026, 1, 2, 12, 0, 0)));
    EXPECT_EQ(4999, h.Tick());
    EXPECT_EQ(4999u, h.End().LimitModeRemain);
}

TEST(TimerTest, HalfDayAllowances)
{
    struct {
        const char* name;
        uint32_t am, pm;
        bool carryOver;
        int hour;
        int32_t expected;
    } cases[] = {
        {"morning", 30, 60, false, 9, 1799},
        {"afternoon", 30, 60, false, 15, 3599},
        {"morning, carry-over", 30, 60, true, 9, 1799},
        {"afternoon, carry-over", 30, 60, true, 15, 5399},
        {"0-minute morning", 0, 60, false, 9, 0},
        {"0-minute afternoon", 30, 0, false, 12, 0},
        {"0-minute afternoon, carry-over", 30, 0, true, 12, 1799},
    };
    for (const auto& c : cases) {
        UserData u = TimerUser(1, 120, c.am, c.pm, c.carryOver);
        Session s(u, Jst(2026, 1, 2, c.hour, 0, 0));
        EXPECT_EQ(c.expected, s.Tick()) << c.name;  // 0: the first tick is the time-out
    }
}

TEST(TimerTest, MidnightGrantsTheNewDayAlsoWhenTheTickIsLate)
{
    for (int late : {0, 1, 7}) {
        UserData u = TimerUser(0, 120, 30, 30);
        u.LastLoginDate = Jst(2026, 1, 2, 9, 0, 0);  // ended earlier today
        u.LimitModeRemain = 101;
        Session s(u, Jst(2026, 1, 2, 23, 59, 58));
        EXPECT_EQ(101, s.Tick());
        EXPECT_EQ(100, s.Tick());  // 23:59:59
        s.now += late;
        EXPECT_EQ(7200, s.Tick()) << "late by " << late;
        EXPECT_EQ(7199, s.Tick());
    }
    // The same for noon: a tick that skips 12:00:00 still grants the afternoon.
    UserData u = TimerUser(1, 120, 30, 60);
    u.LastLoginDate = Jst(2026, 1, 1, 9, 0, 0);
    Session s(u, Jst(2026, 1, 2, 11, 59, 59));
    EXPECT_EQ(1799, s.Tick());
    s.now += 2;
    EXPECT_EQ(3599, s.Tick());
}

TEST(TimerTest, TamperedRemainderNeverExceedsAFreshGrant)
{
    struct {
        const char* name;
        UserData user;
        uint32_t stored;
        int hour;
        uint32_t expected;
    } cases[] = {
        {"day, too large", TimerUser(0, 120, 30, 30), 0xFFFF, 9, 7200},
        {"day, marker kept", TimerUser(0, 120, 30, 30), 0x0001FFFF, 9, 0x00011C20},
        {"day, smaller kept", TimerUser(0, 120, 30, 30), 6600, 9, 6600},
        {"morning", TimerUser(1, 120, 30, 60), 40000, 9, 1799},
        {"afternoon", TimerUser(1, 120, 30, 60), 40000, 15, 3599},
        {"afternoon, carry-over", TimerUser(1, 120, 30, 60, true), 40000, 15, 5399},
        {"0-minute morning", TimerUser(1, 120, 0, 60), 1000, 9, 0},
    };
    for (const auto& c : cases) {
        UserData u = c.user;
        u.LastLoginDate = Jst(2026, 1, 2, 8, 0, 0);
        u.LimitModeRemain = c.stored;
        EXPECT_EQ(c.expected, GetTimerAllowance(u, At(2026, 1, 2, c.hour, 30, 0))) << c.name;
    }
}

TEST(TimerTest, RestartSecondsAfterTheLastStoreAreCharged)
{
    // Stored at 09:00:00 by a limiter that was then killed.
    struct {
        int minute, second;
        uint32_t stored, expected;
    } cases[] = {
        {0, 0, 6600, 6600},   // same second: nothing to charge
        {0, 3, 6600, 6597},   // restarted three seconds later
        {0, 20, 6600, 6580},  // the longest gap still charged
        {0, 21, 6600, 6600},  // a later logon resumes in full
        {30, 0, 6600, 6600},
        {0, 5, 3, 0},         // never below zero
    };
    for (const auto& c : cases) {
        UserData u = TimerUser(0, 120, 30, 30);
        u.LastLoginDate = Jst(2026, 1, 2, 9, 0, 0);
        u.LimitModeRemain = c.stored;
        EXPECT_EQ(c.expected, GetTimerAllowance(u, At(2026, 1, 2, 9, c.minute, c.second)))
            << c.minute << ":" << c.second;
    }
}

TEST(TimerTest, OddStoredValuesAndLargeAllowances)
{
    // A LastLoginDate that no calendar holds is not today: a fresh grant.
    for (int64_t date : {INT64_MAX, INT64_MIN, int64_t{-1}}) {
        UserData u = TimerUser(0, 120, 30, 30);
        u.LastLoginDate = date;
        u.LimitModeRemain = 3;
        EXPECT_EQ(7200u, GetTimerAllowance(u, At(2026, 1, 2, 9, 0, 0))) << date;
    }
    // Allowances beyond 16 bits of seconds stop at the largest one instead of wrapping round.
    EXPECT_EQ(0xFFFFu, GetTimerAllowance(TimerUser(0, 1100, 30, 30), At(2026, 1, 2, 9, 0, 0)));
    EXPECT_EQ(0xFFFFu, GetTimerAllowance(TimerUser(0, 0xFFFFFFFFu, 30, 30), At(2026, 1, 2, 9, 0, 0)));
    EXPECT_EQ(0x1FFFFu, GetTimerAllowance(TimerUser(1, 0, 0xFFFFFFFFu, 0xFFFFFFFFu, true), At(2026, 1, 2, 15, 0, 0)));
    EXPECT_EQ(14400u, GetTimerAllowance(TimerUser(0, 240, 30, 30), At(2026, 1, 2, 9, 0, 0)));
}

TEST(TimerTest, SwitchingModesReevaluatesAtOnce)
{
    UserData u{};
    u.LimitMode = LIMIT_NONE;
    Session s(u, Jst(2026, 1, 2, 9, 0, 0));
    EXPECT_EQ(REMAIN_UNLIMITED, s.Tick());
    // A reload switches into the timer mode: no count below -1, the allowance at once.
    u = TimerUser(0, 60, 30, 30);
    EXPECT_EQ(3600, s.Tick());
    EXPECT_EQ(3599, s.Tick());
    // Out of it into a schedule: the schedule's value on the very next tick.
    u.LimitMode = LIMIT_DAILY;
    Allow(u.TodayLimitTable, 9, 9);
    EXPECT_EQ(3600 - 3, s.Tick());
    // Back into the timer mode on the same day: the remainder counted before.
    u.LimitMode = LIMIT_TIMER;
    u.LastLoginDate = Jst(2026, 1, 2, 8, 0, 0);
    EXPECT_EQ(3599, s.Tick());
    // A stale D in timer mode from a schedule that counted more is not kept.
    u.LimitMode = LIMIT_DAILY;
    Allow(u.TodayLimitTable, 0, 23);
    u.TodayLimitTable[20] = 0;
    EXPECT_EQ(11 * 3600 - 5, s.Tick());
    u.LimitMode = LIMIT_TIMER;
    EXPECT_EQ(3599, s.Tick());
}

TEST(TimerTest, StateToStoreLeavesScheduleRemaindersAlone)
{
    UserData u{};
    u.LimitMode = LIMIT_DAILY;
    u.LimitModeRemain = 1234;
    u.HiddenButton = 1;
    TimerState t;
    t.displayed = 999;
    const UserData out = StateToStore(u, t, 42);
    EXPECT_EQ(42, out.LastLoginDate);
    EXPECT_EQ(1234u, out.LimitModeRemain);
    EXPECT_EQ(1u, out.HiddenButton);
}

}  // namespace

// --- the recorded zone -----------------------------------------------------------

// Back to JST, and back to the runtime's zone for the evaluation, when the
// test ends.
using limiter_test::SetSessionZone;
struct ZoneGuard {
    explicit ZoneGuard(const hv::zone::Zone* zone) { SetEvaluationZone(zone); }
    ~ZoneGuard()
    {
        SetEvaluationZone(nullptr);
        SetSessionZone("JST-9");
    }
};

// Tokyo as the registry keeps it: nine hours ahead, no daylight saving.
const hv::zone::Zone kTokyo{{-540, 0, -60, {}, {}}, {}};
// Whole-hour moves a standard user can make, from UTC-12 to UTC+14.
const char* const kSessionZones[] = {"JST-9", "UTC0", "AAA+12", "EST5", "AAA-14", "NZS-12"};

TEST(RecordedZoneTest, ScheduleRemainderIgnoresTheSessionZone)
{
    uint8_t table[24] = {};
    Allow(table, 8, 17);
    const int64_t at = Jst(2026, 1, 2, 17, 59, 30);
    {
        ZoneGuard guard(&kTokyo);
        for (const char* tz : kSessionZones) {
            SetSessionZone(tz);
            const LocalTime t = ToLocalTime(at);
            EXPECT_EQ(30, GetRemainDaily(table, t)) << tz;
            EXPECT_EQ(5, t.weekday) << tz;
            EXPECT_TRUE(SameLocalDay(t, ToLocalTime(Jst(2026, 1, 2, 0, 0, 0)))) << tz;
        }
    }
    // Without a recorded zone the session's zone decides: what the zone
    // keeps out of the child's reach.
    ZoneGuard none(nullptr);
    SetSessionZone("UTC0");
    EXPECT_EQ(9 * 3600 + 30, GetRemainDaily(table, ToLocalTime(at)));
}

TEST(RecordedZoneTest, MovingTheSessionZoneGrantsNothing)
{
    // 20:00 in Tokyo: a session moved to UTC+14 shows tomorrow's 01:00, one
    // moved to UTC-12 yesterday's 23:00.
    const struct {
        const hv::zone::Zone* zone;
        int grants;
    } cases[] = {{&kTokyo, 0}, {nullptr, 1}};
    for (const auto& c : cases) {
        ZoneGuard guard(c.zone);
        UserData u = TimerUser(0, 600, 300, 300);
        u.LastLoginDate = Jst(2026, 1, 1, 20, 0, 0);  // yesterday in Tokyo
        u.LimitModeRemain = 100;
        Session s(u, Jst(2026, 1, 2, 20, 0, 0));
        int grants = 0;
        int32_t previous = s.Tick();
        EXPECT_EQ(36000, previous);
        for (const char* tz : {"JST-9", "AAA-14", "JST-9", "AAA+12", "AAA-14", "JST-9"}) {
            SetSessionZone(tz);
            for (int i = 0; i < 30; ++i) {
                const int32_t d = s.Tick();
                grants += d > previous;
                previous = d;
            }
        }
        EXPECT_EQ(c.grants, grants) << (c.zone ? "recorded zone" : "session zone");
        // The end stored today resumes on a restart in any session zone.
        if (c.zone) {
            UserData again = s.End();
            SetSessionZone("AAA+12");
            Session restart(again, s.now + 3600);
            EXPECT_EQ(previous, restart.Tick());
        }
    }
}
