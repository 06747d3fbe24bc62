#include "schedule_logic.h"

#include <wctype.h>

#include "resource.h"

namespace editor {

bool NameRefused(const std::wstring& name)
{
    static const wchar_t kForbidden[] = L"\\/[]:;|=,+*?<>\"";
    bool onlySpacesAndDots = true;
    for (wchar_t c : name) {
        if (c < 0x20 || c == 0x7F)
            return true;
        for (const wchar_t* f = kForbidden; *f; ++f)
            if (c == *f)
                return true;
        if (c != L' ' && c != L'.')
            onlySpacesAndDots = false;
    }
    return !name.empty() && onlySpacesAndDots;
}

bool OfferedForBulk(const std::wstring& account)
{
    static const wchar_t* const kPrefixes[] = {
        L"ASPNET",          L"SUPPORT_",       L"HelpAssistant",   L"NetShowServices", L"SQLAgentCmdExec", L"TsInternetUser",
        L"HomeGroupUser$", L"__vmware_user__", L"IUSR_",           L"VUSR_",           L"IWAM_",
    };
    for (const wchar_t* prefix : kPrefixes) {
        size_t i = 0;
        while (prefix[i] && i < account.size() &&
               towlower(static_cast<wint_t>(prefix[i])) == towlower(static_cast<wint_t>(account[i])))
            ++i;
        if (!prefix[i])
            return false;
    }
    return true;
}

BulkOutcome JudgeBulk(size_t registered, size_t failed)
{
    return {failed > 0, failed == 0 || registered > 0};
}

int UserModeButton(uint32_t lowHalf)
{
    const int none = IDC_MODE_NONE;
    return lowHalf >= LIMIT_DAILY && lowHalf <= LIMIT_TIMER ? none + static_cast<int>(lowHalf) : none;
}

uint32_t UserModeOf(int button)
{
    if (button < IDC_MODE_NONE || button > IDC_MODE_TIMER)
        return LIMIT_NONE;
    return static_cast<uint32_t>(button - IDC_MODE_NONE);
}

int GroupModeButton(uint32_t groupMode)
{
    switch (groupMode) {
    case GROUP_WEEKDAY_WEEKEND:
        return IDC_MODE_WEEKLY;
    case GROUP_DAY_OF_WEEK:
        return IDC_MODE_DAY_OF_WEEK;
    default:
        return IDC_MODE_DAILY;
    }
}

uint32_t GroupModeOf(int button)
{
    switch (button) {
    case IDC_MODE_WEEKLY:
        return GROUP_WEEKDAY_WEEKEND;
    case IDC_MODE_DAY_OF_WEEK:
        return GROUP_DAY_OF_WEEK;
    default:
        return GROUP_DAILY;
    }
}

namespace {

// The hour-table buttons in slot order with their dialog titles.
const struct {
    int button;
    unsigned title;
} kHourButtons[] = {
    {IDC_HOURS_DAILY, IDS_HOURS_TITLE_DAILY}, {IDC_HOURS_WEEKDAY, IDS_HOURS_TITLE_WEEKDAY},
    {IDC_HOURS_WEEKEND, IDS_HOURS_TITLE_WEEKEND}, {IDC_HOURS_MON, IDS_HOURS_TITLE_MON},
    {IDC_HOURS_TUE, IDS_HOURS_TITLE_TUE},     {IDC_HOURS_WED, IDS_HOURS_TITLE_WED},
    {IDC_HOURS_THU, IDS_HOURS_TITLE_THU},     {IDC_HOURS_FRI, IDS_HOURS_TITLE_FRI},
    {IDC_HOURS_SAT, IDS_HOURS_TITLE_SAT},     {IDC_HOURS_SUN, IDS_HOURS_TITLE_SUN},
};

}  // namespace

int HourSlot(int button)
{
    for (int slot = 0; slot < static_cast<int>(sizeof kHourButtons / sizeof kHourButtons[0]); ++slot)
        if (kHourButtons[slot].button == button)
            return slot;
    return -1;
}

unsigned HourTitle(int button)
{
    const int slot = HourSlot(button);
    return slot < 0 ? 0 : kHourButtons[slot].title;
}

std::array<bool, CFW_HOURS> HourChecks(const uint8_t table[CFW_HOURS])
{
    std::array<bool, CFW_HOURS> checks{};
    for (int h = 0; h < CFW_HOURS; ++h)
        checks[static_cast<size_t>(h)] = table[h] == 1;
    return checks;
}

void StoreHourChecks(const std::array<bool, CFW_HOURS>& checks, uint8_t table[CFW_HOURS])
{
    for (int h = 0; h < CFW_HOURS; ++h)
        table[h] = checks[static_cast<size_t>(h)] ? 1 : 0;
}

unsigned CheckTimerAllowances(uint32_t day, uint32_t morning, uint32_t afternoon)
{
    const struct {
        bool fails;
        unsigned message;
    } checks[] = {
        {day != 0 && day < 60, IDS_TIMER_DAY_LOW},
        {day > 240, IDS_TIMER_DAY_HIGH},
        {morning != 0 && morning < 30, IDS_TIMER_AM_LOW},
        {morning > 120, IDS_TIMER_AM_HIGH},
        {afternoon != 0 && afternoon < 30, IDS_TIMER_PM_LOW},
        {afternoon > 120, IDS_TIMER_PM_HIGH},
    };
    for (const auto& c : checks)
        if (c.fails)
            return c.message;
    return 0;
}

}  // namespace editor
