// The service's copy of each account's timer-mode state, and the rules by
// which a limiter's reports change it and a starting limiter resumes it. The
// copy lives where the limited user cannot write, so that editing or deleting
// the state in the user's own hive gains nothing. No Windows header.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "cfwCommon.h"

namespace svc {

struct TimerCopy {
    int64_t halfDay = 0;  // the half day (limiter::HalfDayKey) of the service's clock it was last confirmed in
    uint32_t value = 0;   // timer value: low 16 bits seconds left, high 16 bits the marker
    int64_t when = 0;     // UTC seconds of that confirmation
};
// Stored as: u32 value, u32 0, i64 halfDay, i64 when (little-endian).
constexpr size_t kTimerCopyBytes = 24;
std::vector<uint8_t> EncodeCopy(const TimerCopy& copy);
bool DecodeCopy(const uint8_t* data, size_t size, TimerCopy& out);

// Where the service's own clock stands for one account: its half day (in the
// zone the limits are kept in), whether the account is granted per half day,
// and what a fresh grant would give now.
struct Period {
    int64_t halfDay = 0;
    bool halfDayMode = false;
    uint32_t freshSeconds = 0;
    int64_t now = 0;  // UTC seconds
};
Period PeriodOf(const UserData& user, int64_t now);

// A report of `reported`: within the copy's period it may only lower the
// copy; a report in a later period (by the service's clock) starts that
// period's copy, never above a fresh grant (or, in the afternoon of the
// copy's day, above the count carried over from the morning). `accepted` is
// false when the copy kept a smaller value than the one reported.
struct Merged {
    TimerCopy copy;
    bool accepted = false;
};
Merged MergeReport(const TimerCopy* copy, uint32_t reported, const Period& period);

// What a starting limiter may resume: today's copy, less the seconds since it
// was confirmed when that gap is a restart's, never above a fresh grant.
// False when the service holds nothing for today.
bool ResumeValue(const TimerCopy* copy, const Period& period, uint32_t& value);

}  // namespace svc
