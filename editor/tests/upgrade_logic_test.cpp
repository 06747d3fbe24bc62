// The previous version's settings mapped onto the current records: its time
// ranges, the option and user values, and the upgrade's messages in order.
#include "upgrade_logic.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "editor_texts.h"
#include "password_hash.h"
#include "resource.h"

namespace {

using Hours = std::vector<int>;

Hours AllowedHours(const uint8_t table[CFW_HOURS])
{
    Hours hours;
    for (int h = 0; h < CFW_HOURS; ++h) {
        EXPECT_LE(table[h], 1) << h;
        if (table[h])
            hours.push_back(h);
    }
    return hours;
}

Hours Span(int from, int to)
{
    Hours hours;
    for (int h = from; h < to; ++h)
        hours.push_back(h);
    return hours;
}

uint32_t Hash(const wchar_t* text)
{
    std::vector<uint16_t> units;
    for (; *text; ++text)
        units.push_back(static_cast<uint16_t>(*text));
    units.push_back(0);
    return cfw::PasswordHash16(units.data());
}

TEST(OldRange, TheOldFormatInWholeHours)
{
    const struct {
        const wchar_t* text;
        bool converted;
        Hours hours;
    } cases[] = {
        {L"No Limit", false, {}},
        {L"08:30 ～ 17:30", true, Span(8, 17)},  // the minutes are dropped
        {L"08:00 ～ 08:00", true, {}},           // equal hours: nothing, but converted
        {L"17:00 ～ 08:00", true, {}},           // no wrap past midnight
        {L"00:00 ～ 24:00", true, Span(0, 24)},
        {L"8:5～9:0", true, {8}},                 // single digits, no spaces
        {L"  08:30  ～\t10:00", true, {8, 9}},
        {L"08:30 ～ 17", true, Span(8, 17)},     // both hours were read
        {L"+8:00 ～ 10:00", true, {8, 9}},
        // Out of range: clipped to the table.
        {L"22:00 ～ 30:00", true, {22, 23}},
        {L"-5:00 ～ 03:00", true, {0, 1, 2}},
        {L"30:00 ～ 40:00", true, {}},
        {L"-9:00 ～ -1:00", true, {}},
        {L"99:99 ～ 99:99", true, {}},
        // Only the first number, or not the format at all: ignored.
        {L"08:30 ～", false, {}},
        {L"08:30 ～ xx:00", false, {}},
        {L"08:30", false, {}},
        {L"08:30 ~ 17:30", false, {}},   // an ASCII tilde
        {L"08：30 ～ 17:30", false, {}},  // a full-width colon
        {L"123:00 ～ 14:00", false, {}},  // three digits
        {L"08 ～ 17:00", false, {}},
        {L"-:00 ～ 17:00", false, {}},
        {L"", false, {}},
        {L"no limit", false, {}},
    };
    for (const auto& c : cases) {
        uint8_t table[CFW_HOURS] = {};
        EXPECT_EQ(c.converted, editor::ApplyOldRange(c.text, table)) << c.text;
        EXPECT_EQ(c.hours, AllowedHours(table)) << c.text;
    }
}

TEST(OldRange, AddsToWhatTheTableAllows)
{
    uint8_t table[CFW_HOURS] = {};
    table[3] = 1;
    EXPECT_TRUE(editor::ApplyOldRange(L"10:00 ～ 12:00", table));
    EXPECT_EQ((Hours{3, 10, 11}), AllowedHours(table));
}

TEST(OptionUpgrade, TimeOutActionCountedFromOne)
{
    const struct {
        uint32_t old;
        uint32_t mode;
        bool reset;
    } cases[] = {
        {1, TIMEOUT_LOGOFF, false},   {2, TIMEOUT_FORCE_LOGOFF, false}, {3, TIMEOUT_SHUTDOWN, false},
        {0, TIMEOUT_LOGOFF, true},    {4, TIMEOUT_LOGOFF, true},        {7, TIMEOUT_LOGOFF, true},
        {0xFFFFFFFFu, TIMEOUT_LOGOFF, true},
    };
    for (const auto& c : cases) {
        editor::OldOptions old;
        old.timeOutAction = c.old;
        const editor::OptionUpgrade up = editor::UpgradeOptions(old, Hash);
        EXPECT_EQ(c.mode, up.options.TimeOutMode) << c.old;
        EXPECT_EQ(c.reset, up.timeOutReset) << c.old;
        EXPECT_EQ(0u, up.options.Amusement);
    }
}

TEST(OptionUpgrade, PasswordAndSimpleMode)
{
    // Defaults, as from a missing file: log off, no lock, an empty group.
    editor::OptionUpgrade up = editor::UpgradeOptions(editor::OldOptions{}, Hash);
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_LOGOFF), up.options.TimeOutMode);
    EXPECT_FALSE(up.timeOutReset);
    EXPECT_EQ(PASSWORD_LOCK_OFF, up.options.PasswordLockHash);
    EXPECT_EQ(static_cast<uint32_t>(GROUP_DAILY), up.simpleGroup.LimitMode);
    const GroupData empty{};
    EXPECT_EQ(0, memcmp(&empty, &up.simpleGroup, sizeof empty));
    EXPECT_FALSE(up.simpleModeFound);

    editor::OldOptions old;
    old.password = L"abc";
    old.daily = L"09:00 ～ 12:30";
    up = editor::UpgradeOptions(old, Hash);
    EXPECT_EQ(0x58A297AFu, up.options.PasswordLockHash);
    EXPECT_EQ(Span(9, 12), AllowedHours(up.simpleGroup.TodayLimitTable));
    EXPECT_TRUE(up.simpleModeFound);
    EXPECT_EQ(Hours{}, AllowedHours(up.simpleGroup.WeeklyLimitTable1));

    // A range that allows nothing still counts as found.
    old.daily = L"10:00 ～ 10:00";
    EXPECT_TRUE(editor::UpgradeOptions(old, Hash).simpleModeFound);
    old.daily = L"10:00 ～";
    EXPECT_FALSE(editor::UpgradeOptions(old, Hash).simpleModeFound);
}

TEST(UserUpgrade, LimitModes)
{
    const struct {
        uint32_t old;
        uint32_t mode;
    } cases[] = {
        {0, LIMIT_NONE},  {1, LIMIT_GROUP}, {2, LIMIT_DAILY}, {3, LIMIT_WEEKDAY_WEEKEND}, {4, LIMIT_DAY_OF_WEEK},
        {5, LIMIT_TIMER}, {6, LIMIT_NONE},  {0xFFFFFFFFu, LIMIT_NONE},
    };
    for (const auto& c : cases) {
        editor::OldUser old;
        old.limitMode = c.old;
        editor::UpgradeNotes notes;
        const UserData user = editor::UpgradeUser(old, notes);
        EXPECT_EQ(c.mode, user.LimitMode) << c.old;
        EXPECT_EQ(c.old == 1, notes.simpleModeUser) << c.old;
        const std::u16string group(reinterpret_cast<const char16_t*>(user.Group));
        EXPECT_TRUE(group == (c.old == 1 ? u"SimpleModeUsers" : u"")) << c.old;
        EXPECT_FALSE(notes.rangesConverted);
        EXPECT_FALSE(notes.exceptions);
    }
}

TEST(UserUpgrade, EachRangeIntoItsTable)
{
    editor::OldUser old;
    old.limitMode = 4;
    // Key i allows hour i to i + 1.
    const wchar_t* ranges[] = {L"00:00 ～ 01:00", L"01:00 ～ 02:00", L"02:00 ～ 03:00", L"03:00 ～ 04:00",
                               L"04:00 ～ 05:00", L"05:00 ～ 06:00", L"06:00 ～ 07:00", L"07:00 ～ 08:00",
                               L"08:00 ～ 09:00", L"09:00 ～ 10:00"};
    for (int i = 0; i < editor::kOldRangeCount; ++i)
        old.ranges[i] = ranges[i];
    editor::UpgradeNotes notes;
    const UserData user = editor::UpgradeUser(old, notes);
    EXPECT_TRUE(notes.rangesConverted);
    EXPECT_EQ(Hours{0}, AllowedHours(user.TodayLimitTable));
    EXPECT_EQ(Hours{1}, AllowedHours(user.WeeklyLimitTable1));
    EXPECT_EQ(Hours{2}, AllowedHours(user.WeeklyLimitTable2));
    // "Tue" is Tuesday's row (stored as "LimitTable (Thu)"), "Thu" Thursday's.
    const int rows[] = {CFW_ROW_MON, CFW_ROW_TUE, CFW_ROW_WED, CFW_ROW_THU, CFW_ROW_FRI, CFW_ROW_SAT, CFW_ROW_SUN};
    for (int day = 0; day < CFW_DAYS; ++day)
        EXPECT_EQ(Hours{3 + day}, AllowedHours(user.DayLimitTable[rows[day]])) << editor::kOldRangeKeys[3 + day];
    EXPECT_STREQ(L"Tue", editor::kOldRangeKeys[4]);
    EXPECT_STREQ(L"Thu", editor::kOldRangeKeys[6]);

    // One range that parses is enough for the notice; "No Limit" is none.
    editor::OldUser one;
    one.ranges[9] = L"10:00 ～ 10:00";
    editor::UpgradeNotes oneNotes;
    editor::UpgradeUser(one, oneNotes);
    EXPECT_TRUE(oneNotes.rangesConverted);
    editor::UpgradeNotes none;
    editor::UpgradeUser(editor::OldUser{}, none);
    EXPECT_FALSE(none.rangesConverted);
}

TEST(UserUpgrade, MinutesAndFlags)
{
    const struct {
        uint32_t old, day, half;
    } minutes[] = {
        // DayMinute keeps 0 and 30 to 240; AMMinute/PMMinute keep 0 and 30 to 120.
        {0, 0, 0},      {1, 60, 30},     {20, 60, 30},   {29, 60, 30},   {30, 30, 30}, {120, 120, 120},
        {121, 121, 30}, {150, 150, 30},  {240, 240, 30}, {241, 60, 30},  {0xFFFFFFFFu, 60, 30},
    };
    for (const auto& m : minutes) {
        editor::OldUser old;
        old.dayMinute = old.amMinute = old.pmMinute = m.old;
        editor::UpgradeNotes notes;
        const UserData user = editor::UpgradeUser(old, notes);
        EXPECT_EQ(m.day, user.LimitModeTimeDay) << m.old;
        EXPECT_EQ(m.half, user.LimitModeTimeHalfAM) << m.old;
        EXPECT_EQ(m.half, user.LimitModeTimeHalfPM) << m.old;
    }
    // The defaults of a file without these keys.
    editor::UpgradeNotes notes;
    UserData user = editor::UpgradeUser(editor::OldUser{}, notes);
    EXPECT_EQ(60u, user.LimitModeTimeDay);
    EXPECT_EQ(30u, user.LimitModeTimeHalfAM);
    EXPECT_EQ(30u, user.LimitModeTimeHalfPM);
    EXPECT_EQ(0u, user.LimitModeFlag);
    EXPECT_EQ(0, user.LastLoginDate);
    EXPECT_EQ(0u, user.LimitModeRemain);
    EXPECT_EQ(0u, user.HiddenButton);

    const struct {
        uint32_t half, flag;
    } halves[] = {{0, 0}, {1, 1}, {2, 0}, {0xFFFFFFFFu, 0}};
    for (const auto& h : halves) {
        editor::OldUser old;
        old.half = h.half;
        EXPECT_EQ(h.flag, editor::UpgradeUser(old, notes).LimitModeFlag) << h.half;
    }

    editor::OldUser old;
    old.limitMode = 5;
    old.halfExt = 1;
    EXPECT_EQ(LIMIT_TIMER | LIMIT_CARRY_OVER_FLAG, editor::UpgradeUser(old, notes).LimitMode);
    old.halfExt = 2;
    EXPECT_EQ(static_cast<uint32_t>(LIMIT_TIMER), editor::UpgradeUser(old, notes).LimitMode);

    EXPECT_FALSE(notes.exceptions);
    old.exceptionFlag = 3;
    editor::UpgradeUser(old, notes);
    EXPECT_TRUE(notes.exceptions);
    // A later user without exceptions does not clear what was noticed.
    editor::UpgradeUser(editor::OldUser{}, notes);
    EXPECT_TRUE(notes.exceptions);
}

using Messages = std::vector<unsigned>;  // text, caption, style of each

Messages Flatten(const std::vector<editor::UpgradeMessage>& messages)
{
    Messages flat;
    for (const auto& m : messages) {
        EXPECT_EQ(std::wstring::npos, editor::RcText(m.text).find(L"<missing")) << m.text;
        EXPECT_EQ(std::wstring::npos, editor::RcText(m.caption).find(L"<missing")) << m.caption;
        flat.insert(flat.end(), {m.text, m.caption, m.style});
    }
    return flat;
}

TEST(UpgradeMessages, InTheirOrderWithCaptionAndIcon)
{
    constexpr unsigned kStop = 0x10, kQuestion = 0x20, kExclamation = 0x30, kInformation = 0x40, kYesNo = 0x4;
    EXPECT_EQ((Messages{IDS_UPGRADE_ASK_OPTIONS, IDS_CONFIRM_CAPTION, kYesNo | kQuestion}),
              Flatten({editor::OptionsQuestion()}));
    EXPECT_EQ((Messages{IDS_UPGRADE_ASK_USERS, IDS_CONFIRM_CAPTION, kYesNo | kQuestion}),
              Flatten({editor::UsersQuestion()}));
    EXPECT_EQ(L"確認", editor::RcText(IDS_CONFIRM_CAPTION));

    const Messages optionsDone{IDS_UPGRADE_OPTIONS_DONE, IDS_UPGRADE_OPTIONS_CAPTION, kInformation};
    const Messages timeoutReset{IDS_UPGRADE_TIMEOUT_RESET, IDS_UPGRADE_TIMEOUT_RESET_CAPTION, kExclamation};
    const Messages simpleMode{IDS_UPGRADE_SIMPLE_MODE, IDS_UPGRADE_SIMPLE_MODE_CAPTION, kExclamation};
    const auto join = [](std::initializer_list<Messages> parts) {
        Messages all;
        for (const Messages& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    editor::OptionUpgrade up;
    EXPECT_EQ(optionsDone, Flatten(editor::OptionUpgradeMessages(up, true)));
    up.simpleModeFound = true;
    EXPECT_EQ(join({optionsDone, simpleMode}), Flatten(editor::OptionUpgradeMessages(up, true)));
    up.timeOutReset = true;
    EXPECT_EQ(join({optionsDone, timeoutReset, simpleMode}), Flatten(editor::OptionUpgradeMessages(up, true)));
    // A record that could not be written is no completion, and nothing was migrated to notice.
    EXPECT_EQ((Messages{IDS_UPGRADE_OPTIONS_FAILED, IDS_UPGRADE_OPTIONS_CAPTION, kStop}),
              Flatten(editor::OptionUpgradeMessages(up, false)));

    const Messages usersDone{IDS_UPGRADE_USERS_DONE, IDS_UPGRADE_USERS_CAPTION, kInformation};
    const Messages simpleUsers{IDS_UPGRADE_SIMPLE_USERS, IDS_UPGRADE_SIMPLE_USERS_CAPTION, kExclamation};
    const Messages ranges{IDS_UPGRADE_RANGES, IDS_UPGRADE_RANGES_CAPTION, kExclamation};
    const Messages exceptions{IDS_UPGRADE_EXCEPTIONS, IDS_UPGRADE_EXCEPTIONS_CAPTION, kExclamation};
    editor::UpgradeNotes notes;
    EXPECT_EQ(usersDone, Flatten(editor::UserUpgradeMessages(notes)));
    notes.exceptions = true;
    EXPECT_EQ(join({usersDone, exceptions}), Flatten(editor::UserUpgradeMessages(notes)));
    notes.rangesConverted = notes.simpleModeUser = true;
    EXPECT_EQ(join({usersDone, simpleUsers, ranges, exceptions}), Flatten(editor::UserUpgradeMessages(notes)));
}

}  // namespace
