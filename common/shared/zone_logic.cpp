// Conversion from UTC to a zone's wall clock by the zone's Windows rules.
#include "zone_logic.h"

namespace hv::zone {
namespace {

constexpr int64_t kDay = 86400;

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// 0 = Sunday; 1970-01-01 was a Thursday.
int WeekdayOfDays(int64_t days)
{
    const int64_t w = (days + 4) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

bool HasDaylight(const YearRule& r)
{
    return r.daylight.month >= 1 && r.daylight.month <= 12 && r.standard.month >= 1 && r.standard.month <= 12;
}

// The transition's local wall-clock moment in `year`, as seconds on the
// same scale as UTC seconds (the local clock read as if it were UTC).
int64_t LocalTransition(const Transition& t, int year)
{
    int day;
    if (t.year == 0) {
        const int first = WeekdayOfDays(DaysFromCivil(year, t.month, 1));
        day = 1 + ((t.weekday % 7) - first + 7) % 7;
        const int occurrence = t.day < 1 ? 1 : (t.day > 5 ? 5 : t.day);
        day += (occurrence - 1) * 7;
        while (day > DaysInMonth(year, t.month))
            day -= 7;  // 5 = the last one of the month
    } else {
        day = t.day < 1 ? 1 : (t.day > DaysInMonth(year, t.month) ? DaysInMonth(year, t.month) : t.day);
    }
    return DaysFromCivil(year, t.month, day) * kDay + t.hour * 3600 + t.minute * 60 + t.second;
}

int YearOf(int64_t localSeconds)
{
    int64_t days = localSeconds / kDay;
    if (localSeconds % kDay < 0)
        --days;
    int y, m, d;
    CivilFromDays(days, y, m, d);
    return y;
}

}  // namespace

int64_t DaysFromCivil(int year, int month, int day)
{
    const int64_t y = year - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day)
{
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

const YearRule& RuleForYear(const Zone& zone, int year)
{
    if (zone.years.empty())
        return zone.rule;
    if (year <= zone.years.front().first)
        return zone.years.front().second;
    if (year >= zone.years.back().first)
        return zone.years.back().second;
    for (const auto& entry : zone.years)
        if (entry.first == year)
            return entry.second;
    return zone.rule;
}

bool FromUtc(int64_t utcSeconds, const Zone& zone, Civil& out)
{
    // Far outside any plausible clock: refuse rather than overflow.
    constexpr int64_t kLimit = int64_t{400} * 366 * kDay * 25;
    if (utcSeconds < -kLimit || utcSeconds > kLimit)
        return false;
    // The year is taken from local standard time: no transition lies at the
    // turn of a year in the rules Windows ships, and both of the year's
    // transitions are then compared on one scale.
    const int year = YearOf(utcSeconds - int64_t{zone.rule.bias} * 60);
    const YearRule& rule = RuleForYear(zone, year);
    const int64_t standardOffset = int64_t{rule.bias + rule.standardBias} * 60;
    int64_t offset = int64_t{rule.bias} * 60;
    if (HasDaylight(rule)) {
        const int64_t daylightOffset = int64_t{rule.bias + rule.daylightBias} * 60;
        const int ruleYear = YearOf(utcSeconds - standardOffset);
        const int64_t start = LocalTransition(rule.daylight, ruleYear) + standardOffset;
        const int64_t end = LocalTransition(rule.standard, ruleYear) + daylightOffset;
        // Northern zones have daylight between the two; southern ones around
        // the turn of the year, outside them.
        const bool daylight = start < end ? (utcSeconds >= start && utcSeconds < end)
                                          : (utcSeconds >= start || utcSeconds < end);
        offset = daylight ? daylightOffset : standardOffset;
    }
    const int64_t local = utcSeconds - offset;
    int64_t days = local / kDay;
    int64_t rest = local % kDay;
    if (rest < 0) {
        rest += kDay;
        --days;
    }
    Civil c{};
    CivilFromDays(days, c.year, c.month, c.day);
    if (c.year < 1 || c.year > 9999)
        return false;
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest / 60 % 60);
    c.second = static_cast<int>(rest % 60);
    c.weekday = WeekdayOfDays(days);
    out = c;
    return true;
}

}  // namespace hv::zone
