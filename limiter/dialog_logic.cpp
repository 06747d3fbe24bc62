#include "dialog_logic.h"

#include <wchar.h>

#include "resource.h"

namespace limiter {

std::wstring FormatInfoClock(const LocalTime& t, hv::TextFn text)
{
    const std::wstring day = (t.weekday >= 0 && t.weekday < 7) ? text(IDS_WEEKDAY_SUN + t.weekday) : L"?";
    wchar_t out[64];
    swprintf(out, sizeof out / sizeof out[0], L"%04d/%02d/%02d (%ls) %02d:%02d:%02d", t.year, t.month, t.day,
             day.c_str(), t.hour, t.minute, t.second);
    return out;
}

std::wstring FormatUserLabel(const wchar_t* name, const wchar_t* fullName)
{
    std::wstring label = name ? name : L"";
    if (fullName && *fullName) {
        label += L" (";
        label += fullName;
        label += L")";
    }
    return label;
}

bool IsUnlimitedNow(const UserData& user, const GroupData& group, const LocalTime& now)
{
    if ((user.LimitMode & 0xFFFFu) == LIMIT_TIMER)
        return false;
    return GetRemainSchedule(user, group, now) == REMAIN_UNLIMITED;
}

unsigned ModeDescription(bool unlimited, uint32_t limitMode)
{
    if (unlimited)
        return IDS_MODE_DESC_NONE;
    const uint32_t mode = limitMode & 0xFFFFu;
    if (mode >= LIMIT_DAILY && mode <= LIMIT_TIMER)
        return IDS_MODE_DESC_NONE + mode;
    return 0;
}

}  // namespace limiter
