// Limit evaluation: how many seconds the account may stay logged on, from its
// records and the local time. Plain functions over plain data, no Windows
// header, so the host build tests them with the sanitizers.
#pragma once

#include <stdint.h>

#include "cfwCommon.h"
#include "zone_logic.h"

namespace limiter {

constexpr int32_t REMAIN_UNLIMITED = -1;

// Local calendar time, as struct tm breaks it down (weekday 0 = Sunday).
// ToLocalTime gives all zeros (year 0) for a moment the runtime cannot convert.
struct LocalTime {
    int year;   // e.g. 2026
    int month;  // 1..12
    int day;    // 1..31
    int hour, minute, second;
    int weekday;
};

// Local time of a count of seconds since 1970-01-01 UTC: in the zone the
// limits are kept in when one is set, else in the C runtime's (the session's)
// zone.
LocalTime ToLocalTime(int64_t seconds);
// The zone every later ToLocalTime follows (copied); nullptr goes back to the
// C runtime's. The session's user can move the session's zone, not this one.
// Safe while another thread (the monitor window) evaluates.
void SetEvaluationZone(const hv::zone::Zone* zone);
// Same calendar date; never true for a moment that could not be converted.
bool SameLocalDay(const LocalTime& a, const LocalTime& b);

// One mode each; tables are 24 bytes, any non-zero byte allows that hour.
// 0: the current hour is not allowed; -1: the allowed run does not end within
// 24 hours (daily) or 7 days (the others); otherwise seconds to its end.
int32_t GetRemainDaily(const uint8_t table[24], const LocalTime& now);
int32_t GetRemainWeekly(const uint8_t weekdays[24], const uint8_t weekend[24], const LocalTime& now);
int32_t GetRemainDayOfWeek(const uint8_t days[CFW_DAYS][24], const LocalTime& now);  // row order Mon..Sun
int32_t GetRemainGroup(const GroupData& group, const LocalTime& now);

// Modes 0 to 4 of a user (group: the caller reads the named group first and
// passes it; a missing group reads as all zero). LIMIT_TIMER and unknown
// modes give REMAIN_UNLIMITED here; the timer mode is counted by TimerTick.
int32_t GetRemainSchedule(const UserData& user, const GroupData& group, const LocalTime& now);

// The timer mode's allowance that a grant at `now` gives (TimerValue: low 16
// bits seconds, high 16 bits marker), whatever was stored before.
uint32_t FreshAllowance(const UserData& user, const LocalTime& now);

// A killed limiter is back within a few seconds and resumes from its last
// in-session store (written every few seconds); the seconds in between are
// charged, or killing it over and over would hold the clock still. Only such
// a short gap is charged: a later logon on the same day resumes in full.
constexpr int32_t kRestartCharge = 20;

// The timer mode's allowance at the start of a session (or on a switch into
// the timer mode), from the record as read back from the registry. Granted
// once a day: when LastLoginDate lies on today's date the stored
// LimitModeRemain is resumed, but never above what a fresh grant would give
// now, since the user can edit the stored value. A stored date a day or two
// ahead (the clock or the zone was set back after it was written) is resumed
// the same way rather than granted afresh. A resume within a few seconds of
// the stored moment (a killed limiter restarted) is charged those seconds.
uint32_t GetTimerAllowance(const UserData& user, const LocalTime& now);

// Grant periods: a half day, as a number that grows with the local calendar
// (day * 2 + half). The whole-day mode grants per day and the half-day mode
// (LimitModeFlag 1) per half day; only a period later than the one last
// granted grants again, so setting the clock or the zone back and forth never
// grants twice, and noon grants only in the half-day mode.
int64_t HalfDayKey(const LocalTime& now);
// The period that the allowance resumed or granted at `now` covers: the whole
// day for a resume and in the whole-day mode, else the current half day.
int64_t GrantedKey(const UserData& user, const LocalTime& now, bool resumed);

// Once-a-second counter of the tray window: D (displayed remainder) and V
// (timer value). Updates user.LimitModeRemain in memory in timer mode.
// In timer mode D counts down by one per tick. The record is read back
// (GetTimerAllowance) on the first tick and when the mode switched into the
// timer mode; after that a fresh allowance is granted only on the first tick
// of a grant period later than the granted one (midnight, and noon in the
// half-day mode, also when a late tick or a clock change skipped the exact
// second). A resume covers the rest of its day, so a session that resumed
// what an earlier one left today gets no afternoon grant. The running value
// itself is never cut or charged. What the service holds for today
// (serviceValue, set before such a tick) covers the day like a stored date
// and caps the value read back, whatever the user's own record says.
struct TimerState {
    int32_t displayed = 0;
    uint32_t timerValue = 0;
    uint32_t lastMode = 0;      // low 16 bits of LimitMode seen by the previous tick
    bool counting = false;      // the timer mode's count has been set up
    int64_t granted = -1;       // HalfDayKey of the latest period granted or resumed
    int64_t grantFloor = -1;    // a period known to be granted already (kept by the helper)
    int64_t serviceValue = -1;  // what the service holds for today (TimerValue), -1 when nothing
    int64_t latestStored = 0;   // latest LastLoginDate written by this session
};
int32_t TimerTick(TimerState& state, UserData& user, const GroupData& group, const LocalTime& now);

// What the service keeps for this account, learnt while counting (its answer
// to a report, or a resume that could not be had at the start): when it
// belongs to the grant period still being counted (`granted`, as the state
// had it when the question was sent) and is lower, the count goes down to it.
// Never up, and never into a later period's grant. True when it lowered.
bool LowerToServiceValue(TimerState& state, UserData& user, uint32_t value, int64_t granted);

// The running state to write (state flag non-zero) at `now`: a copy of the
// record with LastLoginDate = now and, in timer mode, LimitModeRemain = (high
// half of V, low half of D). Used for the orderly end and, during a timer-mode
// session, so that a killed and restarted limiter resumes where this one
// stood. The date written never goes back behind one this session wrote, so
// a clock set back does not make a restart or the next logon grant again.
// The record in memory keeps its LastLoginDate (the previous end), which a
// switch back into the timer mode resumes from.
UserData StateToStore(const UserData& user, TimerState& state, int64_t now);

}  // namespace limiter
