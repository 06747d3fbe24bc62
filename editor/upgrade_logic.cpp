#include "upgrade_logic.h"

#include "resource.h"

namespace editor {

namespace {

constexpr unsigned kStop = 0x10, kQuestion = 0x20, kExclamation = 0x30, kInformation = 0x40;  // MB_ICON*
constexpr unsigned kYesNo = 0x4;                                                                // MB_YESNO
constexpr wchar_t kFullWidthTilde = L'\xFF5E';

// Reads the old format the way the previous version's "%02d:%*02d ～
// %02d:%*02d" scan did, with nothing taken from the C library, so that both
// builds read every text alike.
class RangeScanner {
public:
    explicit RangeScanner(const std::wstring& text) : text_(text) {}

    // A number of at most two characters (a sign counts), after any spaces.
    bool Number(int* value)
    {
        SkipSpaces();
        size_t width = 2;
        bool negative = false;
        if (Peek() == L'+' || Peek() == L'-') {
            negative = Peek() == L'-';
            ++pos_;
            --width;
        }
        int n = 0, digits = 0;
        for (; width > 0 && Peek() >= L'0' && Peek() <= L'9'; --width, ++digits, ++pos_)
            n = n * 10 + (Peek() - L'0');
        if (digits == 0)
            return false;
        if (value)
            *value = negative ? -n : n;
        return true;
    }
    bool Literal(wchar_t c)
    {
        if (Peek() != c)
            return false;
        ++pos_;
        return true;
    }
    void SkipSpaces()
    {
        while (Peek() == L' ' || (Peek() >= L'\t' && Peek() <= L'\r'))
            ++pos_;
    }

private:
    wchar_t Peek() const { return pos_ < text_.size() ? text_[pos_] : L'\0'; }

    const std::wstring& text_;
    size_t pos_ = 0;
};

int Clip(int hour) { return hour < 0 ? 0 : hour > CFW_HOURS ? CFW_HOURS : hour; }

// A minute count of the allowance; a value the old editor could not have
// meant falls back to its default.
uint32_t Minutes(uint32_t value, uint32_t most, uint32_t fallback)
{
    return (value >= 1 && value <= 29) || value > most ? fallback : value;
}

void CopyName(CfwWideChar (&to)[CFW_GROUP_CHARS], const wchar_t* from)
{
    size_t i = 0;
    for (; from[i] && i + 1 < CFW_GROUP_CHARS; ++i)
        to[i] = static_cast<CfwWideChar>(from[i]);
    to[i] = 0;
}

}  // namespace

OldRange ParseOldRange(const std::wstring& text)
{
    OldRange range;
    RangeScanner scan(text);
    if (!scan.Number(&range.start) || !scan.Literal(L':') || !scan.Number(nullptr))
        return range;
    scan.SkipSpaces();
    if (!scan.Literal(kFullWidthTilde))
        return range;
    scan.SkipSpaces();
    range.parsed = scan.Number(&range.end);  // the minutes after it change nothing
    return range;
}

bool ApplyOldRange(const std::wstring& text, uint8_t table[CFW_HOURS])
{
    if (text == kOldNoLimit)
        return false;
    const OldRange range = ParseOldRange(text);
    if (!range.parsed)
        return false;
    for (int hour = Clip(range.start); hour < Clip(range.end); ++hour)
        table[hour] = 1;
    return true;
}

OptionUpgrade UpgradeOptions(const OldOptions& old, PasswordHashFn hash)
{
    OptionUpgrade up;
    if (old.timeOutAction >= 1 && old.timeOutAction <= 3)
        up.options.TimeOutMode = old.timeOutAction - 1;
    else
        up.timeOutReset = true;  // stays TIMEOUT_LOGOFF
    if (!old.password.empty())
        up.options.PasswordLockHash = hash(old.password.c_str());
    up.simpleGroup.LimitMode = GROUP_DAILY;
    up.simpleModeFound = ApplyOldRange(old.daily, up.simpleGroup.TodayLimitTable);
    return up;
}

const wchar_t* const kOldRangeKeys[kOldRangeCount] = {
    L"Daily", L"Weekend1", L"Weekend2", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat", L"Sun",
};

UserData UpgradeUser(const OldUser& old, UpgradeNotes& notes)
{
    UserData user{};
    switch (old.limitMode) {
    case 1:  // the simple mode, now a group of its own
        user.LimitMode = LIMIT_GROUP;
        CopyName(user.Group, kSimpleModeGroup);
        notes.simpleModeUser = true;
        break;
    case 2: user.LimitMode = LIMIT_DAILY; break;
    case 3: user.LimitMode = LIMIT_WEEKDAY_WEEKEND; break;
    case 4: user.LimitMode = LIMIT_DAY_OF_WEEK; break;
    case 5: user.LimitMode = LIMIT_TIMER; break;
    default: user.LimitMode = LIMIT_NONE; break;
    }
    // In the order of kOldRangeKeys; the store keeps Tuesday's row under
    // "LimitTable (Thu)" and Thursday's under "LimitTable (The)".
    uint8_t* const tables[kOldRangeCount] = {
        user.TodayLimitTable,
        user.WeeklyLimitTable1,
        user.WeeklyLimitTable2,
        user.DayLimitTable[CFW_ROW_MON],
        user.DayLimitTable[CFW_ROW_TUE],
        user.DayLimitTable[CFW_ROW_WED],
        user.DayLimitTable[CFW_ROW_THU],
        user.DayLimitTable[CFW_ROW_FRI],
        user.DayLimitTable[CFW_ROW_SAT],
        user.DayLimitTable[CFW_ROW_SUN],
    };
    for (int i = 0; i < kOldRangeCount; ++i)
        if (ApplyOldRange(old.ranges[i], tables[i]))
            notes.rangesConverted = true;
    user.LimitModeFlag = old.half > 1 ? 0 : old.half;
    user.LimitModeTimeDay = Minutes(old.dayMinute, 240, 60);
    user.LimitModeTimeHalfAM = Minutes(old.amMinute, 120, 30);
    user.LimitModeTimeHalfPM = Minutes(old.pmMinute, 120, 30);
    if (old.halfExt == 1)
        user.LimitMode += LIMIT_CARRY_OVER_FLAG;
    if (old.exceptionFlag != 0)
        notes.exceptions = true;  // not carried over
    return user;
}

UpgradeMessage OptionsQuestion() { return {IDS_UPGRADE_ASK_OPTIONS, IDS_CONFIRM_CAPTION, kYesNo | kQuestion}; }
UpgradeMessage UsersQuestion() { return {IDS_UPGRADE_ASK_USERS, IDS_CONFIRM_CAPTION, kYesNo | kQuestion}; }

std::vector<UpgradeMessage> OptionUpgradeMessages(const OptionUpgrade& upgrade, bool written)
{
    if (!written)
        return {{IDS_UPGRADE_OPTIONS_FAILED, IDS_UPGRADE_OPTIONS_CAPTION, kStop}};
    std::vector<UpgradeMessage> messages{{IDS_UPGRADE_OPTIONS_DONE, IDS_UPGRADE_OPTIONS_CAPTION, kInformation}};
    if (upgrade.timeOutReset)
        messages.push_back({IDS_UPGRADE_TIMEOUT_RESET, IDS_UPGRADE_TIMEOUT_RESET_CAPTION, kExclamation});
    if (upgrade.simpleModeFound)
        messages.push_back({IDS_UPGRADE_SIMPLE_MODE, IDS_UPGRADE_SIMPLE_MODE_CAPTION, kExclamation});
    return messages;
}

std::vector<UpgradeMessage> UserUpgradeMessages(const UpgradeNotes& notes)
{
    std::vector<UpgradeMessage> messages{{IDS_UPGRADE_USERS_DONE, IDS_UPGRADE_USERS_CAPTION, kInformation}};
    if (notes.simpleModeUser)
        messages.push_back({IDS_UPGRADE_SIMPLE_USERS, IDS_UPGRADE_SIMPLE_USERS_CAPTION, kExclamation});
    if (notes.rangesConverted)
        messages.push_back({IDS_UPGRADE_RANGES, IDS_UPGRADE_RANGES_CAPTION, kExclamation});
    if (notes.exceptions)
        messages.push_back({IDS_UPGRADE_EXCEPTIONS, IDS_UPGRADE_EXCEPTIONS_CAPTION, kExclamation});
    return messages;
}

}  // namespace editor
