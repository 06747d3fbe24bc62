// The recorded zone and its rules from the system's zone database, checked
// against the system's own conversion of the same moments.
#include <windows.h>

#include <gtest/gtest.h>

#include "cfwCommon.h"
#include "e2e.h"
#include "hvShared.h"

namespace {

int64_t UnixSeconds(const FILETIME& ft)
{
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<int64_t>(u.QuadPart / 10000000ULL) - 11644473600LL;
}

FILETIME FileTime(int64_t unixSeconds)
{
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<ULONGLONG>(unixSeconds + 11644473600LL) * 10000000ULL;
    return {u.LowPart, u.HighPart};
}

TEST(Zone, RulesAgreeWithTheSystemsConversion)
{
    // Around the transitions of 2006 (before the United States' 2007 rule)
    // and 2026, and mid-year.
    const int64_t moments[] = {1142424000, 1143961199, 1143961200, 1162101599, 1162101600, 1767344370,
                               1772953199, 1772953200, 1775318399, 1775318400, 1782864000, 1791043199,
                               1791043200, 1792889999, 1792890000, 1793512799, 1793512800};
    for (const wchar_t* key : {L"Tokyo Standard Time", L"Eastern Standard Time", L"AUS Eastern Standard Time",
                               L"GMT Standard Time", L"Pacific SA Standard Time"}) {
        hv::zone::Zone zone;
        ASSERT_TRUE(hv::LoadZone(key, zone)) << testing::PrintToString(key);
        DYNAMIC_TIME_ZONE_INFORMATION dynamic{};
        DWORD index = 0;
        bool found = false;
        while (EnumDynamicTimeZoneInformation(index++, &dynamic) == ERROR_SUCCESS)
            if (wcscmp(dynamic.TimeZoneKeyName, key) == 0) {
                found = true;
                break;
            }
        ASSERT_TRUE(found) << testing::PrintToString(key);
        for (int64_t utc : moments) {
            SYSTEMTIME utcTime{}, local{};
            const FILETIME ft = FileTime(utc);
            FileTimeToSystemTime(&ft, &utcTime);
            TIME_ZONE_INFORMATION year{};
            ASSERT_TRUE(GetTimeZoneInformationForYear(utcTime.wYear, &dynamic, &year));
            ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&year, &utcTime, &local));
            FILETIME localFt{};
            SystemTimeToFileTime(&local, &localFt);
            hv::zone::Civil c{};
            ASSERT_TRUE(hv::zone::FromUtc(utc, zone, c));
            const int64_t ours = hv::zone::DaysFromCivil(c.year, c.month, c.day) * 86400 + c.hour * 3600 +
                                 c.minute * 60 + c.second;
            EXPECT_EQ(UnixSeconds(localFt), ours) << testing::PrintToString(key) << " at " << utc;
            EXPECT_EQ(local.wDayOfWeek, c.weekday) << testing::PrintToString(key) << " at " << utc;
        }
    }
    hv::zone::Zone untouched{{1, 2, 3, {}, {}}, {}};
    EXPECT_FALSE(hv::LoadZone(L"No Such Standard Time", untouched));
    EXPECT_FALSE(hv::LoadZone(L"", untouched));
    EXPECT_FALSE(hv::LoadZone(L"..\\Tokyo Standard Time", untouched));
    EXPECT_EQ(1, untouched.rule.bias);
    EXPECT_EQ(L"No Such Standard Time", hv::ZoneDisplayName(L"No Such Standard Time"));
    EXPECT_NE(std::wstring::npos, hv::ZoneDisplayName(L"Tokyo Standard Time").find(L"UTC+09:00"));
}

TEST(Zone, RecordsTheComputersZoneBesideTheOptions)
{
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
    EXPECT_EQ(L"", hv::RecordedZoneKeyName());
    hv::zone::Zone zone;
    EXPECT_FALSE(hv::LoadRecordedZone(zone));

    const std::wstring computer = hv::ComputerZoneKeyName();
    ASSERT_FALSE(computer.empty());
    ASSERT_TRUE(hv::RecordComputerZone());
    EXPECT_EQ(computer, hv::RecordedZoneKeyName());
    EXPECT_TRUE(hv::LoadRecordedZone(zone));
    // The run's zone is Tokyo's (TZ=JST-9): nine hours ahead, no daylight saving.
    EXPECT_EQ(L"Tokyo Standard Time", computer);
    EXPECT_EQ(-540, zone.rule.bias);
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
}

}  // namespace
