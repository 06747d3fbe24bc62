// Limit evaluation: how many seconds the account may stay logged on, from its
// records and the local time. Plain functions over plain data, no Windows
// header, so the host build tests them with the sanitizers.
#pragma once

#include <stdint.h>

#include "cfwCommon.h"

namespace limiter {

constexpr int32_t REMAIN_UNLIMITED = -1;

// Local calendar time, as struct tm breaks it down (weekday 0 = Sunday).
struct LocalTime {
    int year;   // e.g. 2026
    int month;  // 1..12
    int day;    // 1..31
    int hour, minute, second;
    int weekday;
};

// Local time of a count of seconds since 1970-01-01 UTC (the C runtime's zone).
LocalTime ToLocalTime(int64_t seconds);
bool SameLocalDay(const LocalTime& a, const LocalTime& b);

// One mode each; tables are 24 bytes, any non-zero byte allows that hour.
int32_t GetRemainDaily(const uint8_t table[24], const LocalTime& now);
int32_t GetRemainWeekly(const uint8_t weekdays[24], const uint8_t weekend[24], const LocalTime& now);
int32_t GetRemainDayOfWeek(const uint8_t days[CFW_DAYS][24], const LocalTime& now);  // row order Mon..Sun
int32_t GetRemainGroup(const GroupData& group, const LocalTime& now);

// Modes 0 to 4 of a user (group: the caller reads the named group first and
// passes it; a missing group reads as all zero). LIMIT_TIMER and unknown
// modes give REMAIN_UNLIMITED here; the timer mode is counted by TimerTick.
int32_t GetRemainSchedule(const UserData& user, const GroupData& group, const LocalTime& now);

// The timer mode's allowance (TimerValue: low 16 bits seconds, high 16 bits
// marker). A same-day resume never exceeds what a fresh grant would give now.
uint32_t GetTimerAllowance(const UserData& user, const LocalTime& now);

// Once-a-second counter of the tray window: D (displayed remainder) and V
// (timer value). Updates user.LimitModeRemain in memory in timer mode.
struct TimerState {
    int32_t displayed = 0;
    uint32_t timerValue = 0;
    uint32_t lastMode = 0;  // low 16 bits of LimitMode seen by the previous tick
};
int32_t TimerTick(TimerState& state, UserData& user, const GroupData& group, const LocalTime& now);

}  // namespace limiter
