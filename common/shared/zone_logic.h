// Wall-clock time in a named time zone, from the zone's rules as Windows keeps
// them (the "TZI" record and its year-specific "Dynamic DST" entries). The
// limits are kept in the zone the administrator set them in, whatever zone
// the session has been moved to. No Windows header: built and tested on the
// host too.
#pragma once

#include <stdint.h>

#include <utility>
#include <vector>

namespace hv::zone {

// A daylight-saving transition as a SYSTEMTIME of TIME_ZONE_INFORMATION:
// month 0 means the zone has no daylight saving; year 0 means "the day-th
// occurrence (5 = the last) of weekday (0 = Sunday) in month"; any other year
// an absolute month and day.
struct Transition {
    int year, month, weekday, day, hour, minute, second;
};

// One year's rule; biases in minutes, UTC = local + bias (+ standardBias in
// standard time, + daylightBias in daylight time). The daylight transition
// is given in local standard time, the standard one in local daylight time.
struct YearRule {
    int32_t bias, standardBias, daylightBias;
    Transition standard, daylight;
};

struct Zone {
    YearRule rule;                                // when no year-specific rule applies
    std::vector<std::pair<int, YearRule>> years;  // year-specific rules, ascending years
};

// Civil time, weekday 0 = Sunday.
struct Civil {
    int year, month, day, hour, minute, second, weekday;
};

// The rule in force in `year`: the year's own entry; before the first entry
// the first, after the last the last; else the zone's general rule.
const YearRule& RuleForYear(const Zone& zone, int year);

// The wall-clock time in `zone` at `utcSeconds` (seconds since 1970-01-01
// UTC). False (and `out` untouched) for a moment outside the years 1..9999.
bool FromUtc(int64_t utcSeconds, const Zone& zone, Civil& out);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);

}  // namespace hv::zone
