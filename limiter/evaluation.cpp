// Limit evaluation over the user's (or group's) hour tables and the timer
// mode's allowance; see evaluation.h for the contract of each function.
#include "evaluation.h"

#include <time.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace limiter {
namespace {

constexpr int32_t kHour = 3600;
constexpr int32_t kDay = 24 * kHour;
constexpr int32_t kWeek = 7 * kDay;

int32_t RestOfHour(const LocalTime& now) { return kHour - 60 * now.minute - now.second; }
int32_t SecondOfDay(const LocalTime& t) { return t.hour * kHour + 60 * t.minute + t.second; }

// Table of weekday d (0 = Sunday) in the weekday/weekend mode.
const uint8_t* WeeklyTable(const uint8_t* weekdays, const uint8_t* weekend, int d)
{
    return (d == 0 || d == 6) ? weekend : weekdays;
}

int NextDay(int d) { return (d + 1) % 7; }

// Seconds are held in 16 bits; a larger allowance is cut to the largest one
// rather than wrapped round to a small one.
uint32_t Seconds16(int64_t seconds)
{
    if (seconds < 0)
        return 0;
    return seconds > 0xFFFF ? 0xFFFFu : static_cast<uint32_t>(seconds);
}

// Days counted from 0000-03-01 (proleptic Gregorian), so that dates compare
// by distance and every real date's grant period is a positive number.
int64_t DayNumber(const LocalTime& t) { return hv::zone::DaysFromCivil(t.year, t.month, t.day) + 719468; }

int64_t DayOfKey(int64_t key) { return key >> 1; }

// A stored date this many days ahead of today is still resumed: the clock or
// the zone was set back after it was written (zones span 26 hours). Further
// ahead, it is taken for a wrong clock that was put right, and granted afresh.
constexpr int64_t kAheadDays = 2;

// The zone set by SetEvaluationZone; the monitor window's thread reads it
// while the tray window's may replace it on a reload.
std::mutex g_zoneLock;
std::shared_ptr<const hv::zone::Zone> g_zone;

std::shared_ptr<const hv::zone::Zone> EvaluationZone()
{
    std::lock_guard<std::mutex> hold(g_zoneLock);
    return g_zone;
}

}  // namespace

void SetEvaluationZone(const hv::zone::Zone* zone)
{
    std::shared_ptr<const hv::zone::Zone> copy = zone ? std::make_shared<const hv::zone::Zone>(*zone) : nullptr;
    std::lock_guard<std::mutex> hold(g_zoneLock);
    g_zone = std::move(copy);
}

LocalTime ToLocalTime(int64_t seconds)
{
    LocalTime out{};
    if (const std::shared_ptr<const hv::zone::Zone> zone = EvaluationZone()) {
        hv::zone::Civil c{};
        if (hv::zone::FromUtc(seconds, *zone, c))
            out = {c.year, c.month, c.day, c.hour, c.minute, c.second, c.weekday};
        return out;
    }
    const time_t t = static_cast<time_t>(seconds);
    if (static_cast<int64_t>(t) != seconds)
        return out;
    struct tm tm {};
#ifdef _WIN32
    if (localtime_s(&tm, &t) != 0)
        return out;
#else
    if (!localtime_r(&t, &tm))
        return out;
#endif
    out.year = tm.tm_year + 1900;
    out.month = tm.tm_mon + 1;
    out.day = tm.tm_mday;
    out.hour = tm.tm_hour;
    out.minute = tm.tm_min;
    out.second = tm.tm_sec;
    out.weekday = tm.tm_wday;
    return out;
}

bool SameLocalDay(const LocalTime& a, const LocalTime& b)
{
    return a.year != 0 && a.year == b.year && a.month == b.month && a.day == b.day;
}

int32_t GetRemainDaily(const uint8_t table[24], const LocalTime& now)
{
    int h = now.hour;
    if (!table[h])
        return 0;
    int32_t r = RestOfHour(now);
    for (;;) {
        h = (h + 1) % 24;
        if (!table[h])
            return r;
        r += kHour;
        if (r >= kDay)
            return REMAIN_UNLIMITED;
    }
}

int32_t GetRemainWeekly(const uint8_t weekdays[24], const uint8_t weekend[24], const LocalTime& now)
{
    int h = now.hour;
    int d = now.weekday;
    if (!WeeklyTable(weekdays, weekend, d)[h])
        return 0;
    int32_t r = RestOfHour(now);
    for (;;) {
        if (++h == 24) {
            h = 0;
            d = NextDay(d);
        }
        if (!WeeklyTable(weekdays, weekend, d)[h])
            return r;
        r += kHour;
        if (r >= kWeek)
            return REMAIN_UNLIMITED;
    }
}

int32_t GetRemainDayOfWeek(const uint8_t days[CFW_DAYS][24], const LocalTime& now)
{
    int h = now.hour;
    int d = now.weekday;
    if (!days[CfwDayRow(d)][h])
        return 0;
    // The horizon test counts the hour under examination, so a run reaches
    // "no limit" an hour sooner than in the weekly rule.
    int32_t r = RestOfHour(now);
    for (;;) {
        if (!days[CfwDayRow(d)][h])
            return r - kHour;
        r += kHour;
        if (r >= kWeek)
            return REMAIN_UNLIMITED;
        if (++h == 24) {
            h = 0;
            d = NextDay(d);
        }
    }
}

int32_t GetRemainGroup(const GroupData& group, const LocalTime& now)
{
    switch (group.LimitMode) {
    case GROUP_DAILY:
        return GetRemainDaily(group.TodayLimitTable, now);
    case GROUP_WEEKDAY_WEEKEND:
        return GetRemainWeekly(group.WeeklyLimitTable1, group.WeeklyLimitTable2, now);
    case GROUP_DAY_OF_WEEK:
        return GetRemainDayOfWeek(group.DayLimitTable, now);
    default:
        return REMAIN_UNLIMITED;
    }
}

int32_t GetRemainSchedule(const UserData& user, const GroupData& group, const LocalTime& now)
{
    switch (user.LimitMode & 0xFFFF) {
    case LIMIT_DAILY:
        return GetRemainDaily(user.TodayLimitTable, now);
    case LIMIT_WEEKDAY_WEEKEND:
        return GetRemainWeekly(user.WeeklyLimitTable1, user.WeeklyLimitTable2, now);
    case LIMIT_DAY_OF_WEEK:
        return GetRemainDayOfWeek(user.DayLimitTable, now);
    case LIMIT_GROUP:
        return GetRemainGroup(group, now);
    default:  // LIMIT_NONE, LIMIT_TIMER and unknown modes
        return REMAIN_UNLIMITED;
    }
}

uint32_t FreshAllowance(const UserData& user, const LocalTime& now)
{
    const uint32_t marker = user.LimitModeRemain & 0xFFFF0000u;
    const bool afternoon = now.hour >= 12;
    if (user.LimitModeFlag != 1)
        return marker | Seconds16(int64_t{user.LimitModeTimeDay} * 60);
    const bool carryOver = (user.LimitMode >> 16) == 1;
    if (carryOver && afternoon)
        return 0x10000u | Seconds16((int64_t{user.LimitModeTimeHalfAM} + user.LimitModeTimeHalfPM) * 60 - 1);
    const uint32_t minutes = afternoon ? user.LimitModeTimeHalfPM : user.LimitModeTimeHalfAM;
    return marker | Seconds16(int64_t{minutes} * 60 - 1);
}

int64_t HalfDayKey(const LocalTime& now) { return DayNumber(now) * 2 + (now.hour >= 12 ? 1 : 0); }

int64_t GrantedKey(const UserData& user, const LocalTime& now, bool resumed)
{
    const int64_t key = HalfDayKey(now);
    return resumed || user.LimitModeFlag != 1 ? key | 1 : key;
}

// Whether the record read back holds an allowance already granted for today
// (or for a day just ahead, see kAheadDays).
static bool ResumesStored(const UserData& user, const LocalTime& now)
{
    if (user.LastLoginDate == 0)
        return false;
    const LocalTime stored = ToLocalTime(user.LastLoginDate);
    if (stored.year == 0)
        return false;
    const int64_t ahead = DayNumber(stored) - DayNumber(now);
    return ahead >= 0 && ahead <= kAheadDays;
}

// A stored value, never above a fresh grant (the user can edit it).
static uint32_t Clamped(uint32_t stored, uint32_t fresh)
{
    const uint32_t seconds = stored & 0xFFFF, limit = fresh & 0xFFFF;
    return (stored & 0xFFFF0000u) | (seconds < limit ? seconds : limit);
}

uint32_t GetTimerAllowance(const UserData& user, const LocalTime& now)
{
    const uint32_t fresh = FreshAllowance(user, now);
    if (!ResumesStored(user, now))
        return fresh;
    // Granted already today: resume, but never above a fresh grant.
    const uint32_t stored = user.LimitModeRemain;
    uint32_t seconds = stored & 0xFFFF;
    const int32_t gap = SecondOfDay(now) - SecondOfDay(ToLocalTime(user.LastLoginDate));
    if (gap > 0 && gap <= kRestartCharge)
        seconds = seconds > static_cast<uint32_t>(gap) ? seconds - gap : 0;
    return Clamped((stored & 0xFFFF0000u) | seconds, fresh);
}

int32_t TimerTick(TimerState& state, UserData& user, const GroupData& group, const LocalTime& now)
{
    const uint32_t mode = user.LimitMode & 0xFFFF;
    const bool switchedIn = mode == LIMIT_TIMER && state.lastMode != LIMIT_TIMER;
    state.lastMode = mode;
    if (mode != LIMIT_TIMER) {
        state.counting = false;
        state.displayed = GetRemainSchedule(user, group, now);
        return state.displayed;
    }
    const int64_t period = HalfDayKey(now);
    if (!state.counting || switchedIn) {
        // The record as read back: resumed (clamped, charged) or granted.
        // A day that the helper knows to be granted already is resumed
        // whatever the record's date says (it may have been edited).
        const bool stored = ResumesStored(user, now);
        const bool floorCovers = state.grantFloor >= 0 && DayOfKey(state.grantFloor) >= DayOfKey(period);
        const bool serviceCovers = state.serviceValue >= 0;
        const bool resumed = stored || floorCovers || serviceCovers;
        if (stored)
            state.timerValue = GetTimerAllowance(user, now);
        else if (floorCovers || serviceCovers)
            state.timerValue = Clamped(user.LimitModeRemain, FreshAllowance(user, now));
        else
            state.timerValue = FreshAllowance(user, now);
        if (serviceCovers)
            state.timerValue = Clamped(state.timerValue, static_cast<uint32_t>(state.serviceValue));
        state.displayed = static_cast<int32_t>(state.timerValue & 0xFFFF);
        // A stored date ahead of today covers its own day as well.
        int64_t granted = GrantedKey(user, now, resumed);
        if (stored)
            granted = std::max(granted, HalfDayKey(ToLocalTime(user.LastLoginDate)) | 1);
        state.granted = std::max(granted, state.grantFloor);
        state.counting = true;
    } else if (user.LimitModeFlag == 1 ? period > state.granted : DayOfKey(period) > DayOfKey(state.granted)) {
        // A later period than any granted: midnight, or noon in the half-day mode.
        state.timerValue = FreshAllowance(user, now);
        state.displayed = static_cast<int32_t>(state.timerValue & 0xFFFF);
        state.granted = GrantedKey(user, now, false);
    } else if (state.displayed > 0) {
        --state.displayed;
    }
    user.LimitModeRemain = (state.timerValue & 0xFFFF0000u) | (static_cast<uint32_t>(state.displayed) & 0xFFFF);
    return state.displayed;
}

bool LowerToServiceValue(TimerState& state, UserData& user, uint32_t value, int64_t granted)
{
    if (!state.counting || (user.LimitMode & 0xFFFF) != LIMIT_TIMER || granted != state.granted)
        return false;
    const int32_t seconds = static_cast<int32_t>(value & 0xFFFF);
    if (seconds >= state.displayed)
        return false;
    state.displayed = seconds;
    user.LimitModeRemain = (state.timerValue & 0xFFFF0000u) | static_cast<uint32_t>(seconds);
    return true;
}

UserData StateToStore(const UserData& user, TimerState& state, int64_t now)
{
    UserData out = user;
    out.LastLoginDate = now > state.latestStored ? now : state.latestStored;
    state.latestStored = out.LastLoginDate;
    if ((user.LimitMode & 0xFFFF) == LIMIT_TIMER && state.displayed >= 0)
        out.LimitModeRemain = (state.timerValue & 0xFFFF0000u) | (static_cast<uint32_t>(state.displayed) & 0xFFFF);
    return out;
}

}  // namespace limiter
