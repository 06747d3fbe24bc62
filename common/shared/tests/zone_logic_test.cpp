// Wall-clock time from a zone's Windows rules: zones without daylight saving,
// both transitions of a northern and a southern zone, year-specific rules and
// the "5 = last week" rule. Expected values agree with the IANA database.
#include <gtest/gtest.h>

#include <string>

#include "zone_logic.h"

using namespace hv::zone;

namespace {

constexpr Transition kNone{0, 0, 0, 0, 0, 0, 0};

// Rules as the "TZI" values of the registry hold them.
const Zone kTokyo{{-540, 0, 0, kNone, kNone}, {}};
const YearRule kEastern2007{300, 0, -60, {0, 11, 0, 1, 2, 0, 0}, {0, 3, 0, 2, 2, 0, 0}};
const YearRule kEastern2006{300, 0, -60, {0, 10, 0, 5, 2, 0, 0}, {0, 4, 0, 1, 2, 0, 0}};
const Zone kEastern{kEastern2007, {}};
const Zone kEasternDynamic{kEastern2007, {{2006, kEastern2006}, {2007, kEastern2007}}};
const Zone kSydney{{-600, 0, -60, {0, 4, 0, 1, 3, 0, 0}, {0, 10, 0, 1, 2, 0, 0}}, {}};
const Zone kLondon{{0, 0, -60, {0, 10, 0, 5, 2, 0, 0}, {0, 3, 0, 5, 1, 0, 0}}, {}};

std::string Text(const Civil& c)
{
    char buffer[40];
    snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d %d", c.year, c.month, c.day, c.hour, c.minute,
             c.second, c.weekday);
    return buffer;
}

struct Case {
    const char* name;
    const Zone* zone;
    int64_t utc;
    const char* local;  // "YYYY-MM-DD hh:mm:ss weekday"
};

}  // namespace

TEST(ZoneFromUtc, WallClockAcrossTransitions)
{
    const Case cases[] = {
        {"Tokyo, no daylight saving", &kTokyo, 1767344370, "2026-01-02 17:59:30 5"},
        {"Tokyo, before the epoch", &kTokyo, -32400 - 1, "1969-12-31 23:59:59 3"},
        {"Eastern, last standard second", &kEastern, 1772953199, "2026-03-08 01:59:59 0"},
        {"Eastern, daylight begins", &kEastern, 1772953200, "2026-03-08 03:00:00 0"},
        {"Eastern, last daylight second", &kEastern, 1793512799, "2026-11-01 01:59:59 0"},
        {"Eastern, standard again (the hour repeats)", &kEastern, 1793512800, "2026-11-01 01:00:00 0"},
        {"Sydney, last daylight second", &kSydney, 1775318399, "2026-04-05 02:59:59 0"},
        {"Sydney, standard begins", &kSydney, 1775318400, "2026-04-05 02:00:00 0"},
        {"Sydney, last standard second", &kSydney, 1791043199, "2026-10-04 01:59:59 0"},
        {"Sydney, daylight begins", &kSydney, 1791043200, "2026-10-04 03:00:00 0"},
        {"Sydney, new year in daylight time", &kSydney, 1767187800, "2026-01-01 00:30:00 4"},
        {"London, fifth Sunday is the last", &kLondon, 1774745999, "2026-03-29 00:59:59 0"},
        {"London, daylight begins", &kLondon, 1774746000, "2026-03-29 02:00:00 0"},
        {"London, no fifth Sunday: the fourth", &kLondon, 1792889999, "2026-10-25 01:59:59 0"},
        {"London, standard again", &kLondon, 1792890000, "2026-10-25 01:00:00 0"},
        // 2006 by its own rule (first Sunday of April), not by the general one
        // (second Sunday of March): 15 March is still standard time.
        {"Eastern 2006, own rule", &kEasternDynamic, 1142424000, "2006-03-15 07:00:00 3"},
        {"Eastern 2006, general rule", &kEastern, 1142424000, "2006-03-15 08:00:00 3"},
        {"Eastern 2006, daylight begins", &kEasternDynamic, 1143961200, "2006-04-02 03:00:00 0"},
        {"Eastern 2006, last Sunday of October", &kEasternDynamic, 1162101600, "2006-10-29 01:00:00 0"},
        {"Eastern 2026, after the last entry", &kEasternDynamic, 1772953200, "2026-03-08 03:00:00 0"},
    };
    for (const Case& c : cases) {
        Civil out{};
        ASSERT_TRUE(FromUtc(c.utc, *c.zone, out)) << c.name;
        EXPECT_EQ(Text(out), c.local) << c.name;
    }
}

TEST(ZoneFromUtc, YearRulesAndLimits)
{
    // Before the first entry the first applies, after the last the last, a
    // gap between them falls back to the general rule.
    Zone z{kEastern2007, {{2000, kEastern2006}, {2010, kEastern2007}}};
    EXPECT_EQ(&RuleForYear(z, 1990), &z.years[0].second);
    EXPECT_EQ(&RuleForYear(z, 2030), &z.years[1].second);
    EXPECT_EQ(&RuleForYear(z, 2005), &z.rule);
    EXPECT_EQ(&RuleForYear(kTokyo, 2026), &kTokyo.rule);

    // An absolute date (year not 0) is taken as that month and day.
    const Zone absolute{{0, 0, -60, {2026, 9, 0, 1, 0, 0, 0}, {2026, 4, 0, 1, 0, 0, 0}}, {}};
    Civil out{};
    ASSERT_TRUE(FromUtc(1775001600 /* 2026-04-01 00:00 UTC */, absolute, out));
    EXPECT_EQ(Text(out), "2026-04-01 01:00:00 3");

    // A moment no clock can show leaves the output alone.
    Civil untouched{1, 2, 3, 4, 5, 6, 0};
    EXPECT_FALSE(FromUtc(INT64_MAX, kTokyo, untouched));
    EXPECT_FALSE(FromUtc(INT64_MIN, kTokyo, untouched));
    EXPECT_EQ(untouched.year, 1);
}

TEST(ZoneCivil, DaysRoundTrip)
{
    for (int64_t days : {int64_t{-719162}, int64_t{-1}, int64_t{0}, int64_t{11016}, int64_t{20454}, int64_t{2932896}}) {
        int y, m, d;
        CivilFromDays(days, y, m, d);
        EXPECT_EQ(DaysFromCivil(y, m, d), days) << days;
    }
    EXPECT_EQ(DaysFromCivil(2026, 1, 2), 20455);
}
