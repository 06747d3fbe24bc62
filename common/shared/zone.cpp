// The time zone the limits are kept in: recorded by the settings utility
// under the machine-wide settings, where a standard user cannot change it,
// and read back with its rules from the system's zone database. A session's
// own zone may be moved by its user; the recorded one may not.
#include "hvShared.h"

#include <stdlib.h>

#include <algorithm>

#include "cfwCommon.h"
#include "raii.h"

namespace hv {
namespace {

constexpr wchar_t kZoneValue[] = L"TimeZoneKeyName";
constexpr wchar_t kZonesKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\";

// The registry's binary zone record (REG_TZI_FORMAT).
struct TziRecord {
    LONG bias, standardBias, daylightBias;
    SYSTEMTIME standardDate, daylightDate;
};
static_assert(sizeof(TziRecord) == 44, "the registry's TZI record is 44 bytes");

zone::Transition FromSystemTime(const SYSTEMTIME& t)
{
    return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

zone::YearRule FromTzi(const TziRecord& r)
{
    return {r.bias, r.standardBias, r.daylightBias, FromSystemTime(r.standardDate), FromSystemTime(r.daylightDate)};
}

bool ReadTzi(HKEY key, const wchar_t* value, zone::YearRule& out)
{
    TziRecord record{};
    DWORD size = sizeof record;
    if (RegGetValueW(key, nullptr, value, RRF_RT_REG_BINARY, nullptr, &record, &size) != ERROR_SUCCESS ||
        size != sizeof record)
        return false;
    out = FromTzi(record);
    return true;
}

// A key name as one registry key below "Time Zones", nothing that climbs
// elsewhere or overruns the platform's 128 characters.
bool UsableKeyName(const std::wstring& name)
{
    return !name.empty() && name.size() < 128 && name.find(L'\\') == std::wstring::npos;
}

RegKey OpenZoneKey(const std::wstring& keyName)
{
    RegKey key;
    if (UsableKeyName(keyName))
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kZonesKey) + keyName).c_str(), 0, KEY_READ, key.put());
    return key;
}

// The year-specific rules; value names other than years ("FirstEntry",
// "LastEntry") are passed over.
void ReadYearRules(HKEY zoneKey, zone::Zone& out)
{
    RegKey dynamic;
    if (RegOpenKeyExW(zoneKey, L"Dynamic DST", 0, KEY_READ, dynamic.put()) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[32];
        DWORD chars = ARRAYSIZE(name);
        TziRecord record{};
        DWORD size = sizeof record, type = 0;
        const LSTATUS status = RegEnumValueW(dynamic.get(), index, name, &chars, nullptr, &type,
                                             reinterpret_cast<BYTE*>(&record), &size);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_BINARY || size != sizeof record)
            continue;
        wchar_t* end = nullptr;
        const long year = wcstol(name, &end, 10);
        if (end == name || *end != L'\0' || year < 1601 || year > 30827)
            continue;
        out.years.emplace_back(static_cast<int>(year), FromTzi(record));
    }
    std::sort(out.years.begin(), out.years.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
}

}  // namespace

std::wstring ComputerZoneKeyName()
{
    DYNAMIC_TIME_ZONE_INFORMATION info{};
    if (GetDynamicTimeZoneInformation(&info) == TIME_ZONE_ID_INVALID)
        return {};
    info.TimeZoneKeyName[ARRAYSIZE(info.TimeZoneKeyName) - 1] = L'\0';
    return info.TimeZoneKeyName;
}

bool RecordComputerZone()
{
    const std::wstring name = ComputerZoneKeyName();
    if (!UsableKeyName(name))
        return false;
    RegKey root;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, root.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD bytes = static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(root.get(), kZoneValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()), bytes) ==
           ERROR_SUCCESS;
}

std::wstring RecordedZoneKeyName()
{
    wchar_t name[128] = {};
    DWORD size = sizeof name;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, kZoneValue, RRF_RT_REG_SZ, nullptr, name, &size) !=
        ERROR_SUCCESS)
        return {};
    return name;
}

bool LoadZone(const std::wstring& keyName, zone::Zone& out)
{
    RegKey key = OpenZoneKey(keyName);
    if (!key)
        return false;
    zone::Zone loaded{};
    if (!ReadTzi(key.get(), L"TZI", loaded.rule))
        return false;
    ReadYearRules(key.get(), loaded);
    out = std::move(loaded);
    return true;
}

bool LoadRecordedZone(zone::Zone& out) { return LoadZone(RecordedZoneKeyName(), out); }

std::wstring ZoneDisplayName(const std::wstring& keyName)
{
    RegKey key = OpenZoneKey(keyName);
    if (!key)
        return keyName;
    // The display text in the user's language where the system has one.
    wchar_t text[256] = {};
    if (RegLoadMUIStringW(key.get(), L"MUI_Display", text, sizeof text, nullptr, 0, nullptr) == ERROR_SUCCESS &&
        text[0])
        return text;
    DWORD size = sizeof text;
    if (RegGetValueW(key.get(), nullptr, L"Display", RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS && text[0])
        return text;
    return keyName;
}

}  // namespace hv
