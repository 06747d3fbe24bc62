// The registration and schedule dialogs' decisions: refused names, the bulk
// registration's offer and outcome, mode buttons, hour tables and the timer
// allowances' checks with their messages.
#include "schedule_logic.h"

#include <gtest/gtest.h>

#include "editor_texts.h"
#include "resource.h"

namespace {

TEST(NameRefused, CharactersNoAccountNameHoldsAndEmptyLooks)
{
    for (const wchar_t* name : {L"taro", L"山田 太郎", L"a.b", L" x ", L"o'neil", L"user-1_2", L"$", L".a",
                                L"a"})
        EXPECT_FALSE(editor::NameRefused(name)) << name;
    EXPECT_FALSE(editor::NameRefused(L""));  // has its own message
    for (const wchar_t* name : {L"a\\b", L"a/b", L"[x", L"x]", L"a:b", L"a;b", L"a|b", L"a=b", L"a,b", L"a+b",
                                L"a*", L"a?", L"<a", L"a>", L"\"a\"", L" ", L"...", L" . ", L"a\tb", L"a\x7F"})
        EXPECT_TRUE(editor::NameRefused(name)) << name;
}

TEST(BulkRegistration, PrefixesOfSystemAccountsInAnyCase)
{
    for (const wchar_t* name : {L"IUSR_MYPC", L"iusr_x", L"aspnet", L"ASPNET", L"SUPPORT_388945a0",
                                L"HelpAssistant", L"NetShowServices", L"SQLAgentCmdExec", L"TsInternetUser",
                                L"HomeGroupUser$", L"__vmware_user__", L"VUSR_PC", L"IWAM_PC", L"IUSR_"})
        EXPECT_FALSE(editor::OfferedForBulk(name)) << name;
    for (const wchar_t* name : {L"taro", L"Administrator", L"IUSR", L"ASPNE", L"SUPPORT", L"HomeGroupUser",
                                L"xIUSR_", L"Guest", L""})
        EXPECT_TRUE(editor::OfferedForBulk(name)) << name;
}

TEST(BulkRegistration, FailuresAreNamedAndAllFailedKeepsTheDialog)
{
    const struct {
        size_t registered, failed;
        bool tell, end;
    } cases[] = {{3, 0, false, true}, {0, 0, false, true}, {2, 1, true, true}, {0, 2, true, false}};
    for (const auto& c : cases) {
        const auto o = editor::JudgeBulk(c.registered, c.failed);
        EXPECT_EQ(c.tell, o.tellFailures) << c.registered << "/" << c.failed;
        EXPECT_EQ(c.end, o.endDialog) << c.registered << "/" << c.failed;
    }
}

TEST(ModeButtons, UsersAndGroupsNumberApart)
{
    const int userButtons[] = {IDC_MODE_NONE, IDC_MODE_DAILY, IDC_MODE_WEEKLY, IDC_MODE_DAY_OF_WEEK, IDC_MODE_GROUP,
                               IDC_MODE_TIMER};
    for (uint32_t mode = 0; mode <= LIMIT_TIMER; ++mode) {
        EXPECT_EQ(userButtons[mode], editor::UserModeButton(mode));
        EXPECT_EQ(mode, editor::UserModeOf(userButtons[mode]));
    }
    for (uint32_t mode : {6u, 0xFFFFu, 100u})
        EXPECT_EQ(IDC_MODE_NONE, editor::UserModeButton(mode));
    // A group's 0 is the every-day mode, never "no limit".
    const int groupButtons[] = {IDC_MODE_DAILY, IDC_MODE_WEEKLY, IDC_MODE_DAY_OF_WEEK};
    for (uint32_t mode = 0; mode <= GROUP_DAY_OF_WEEK; ++mode) {
        EXPECT_EQ(groupButtons[mode], editor::GroupModeButton(mode));
        EXPECT_EQ(mode, editor::GroupModeOf(groupButtons[mode]));
    }
    EXPECT_EQ(IDC_MODE_DAILY, editor::GroupModeButton(3));
    EXPECT_EQ(IDC_MODE_DAILY, editor::GroupModeButton(0xFFFFFFFFu));
}

TEST(ModeButtons, TheCarryOverHalfStaysApart)
{
    const uint32_t stored = LIMIT_CARRY_OVER_FLAG | LIMIT_TIMER;
    EXPECT_EQ(static_cast<uint32_t>(LIMIT_TIMER), editor::LowHalf(stored));
    EXPECT_EQ(1u, editor::HighHalf(stored));
    EXPECT_EQ(LIMIT_CARRY_OVER_FLAG | LIMIT_NONE, editor::JoinHalves(editor::HighHalf(stored), LIMIT_NONE));
    EXPECT_EQ(LIMIT_CARRY_OVER_FLAG | LIMIT_DAILY, editor::JoinHalves(1, LIMIT_DAILY));
    EXPECT_EQ(static_cast<uint32_t>(LIMIT_GROUP), editor::JoinHalves(0, LIMIT_GROUP));
}

TEST(HourTables, ButtonsPickTablesByRowNotByName)
{
    UserData user{};
    GroupData group{};
    // Tuesday's button edits the table stored as "LimitTable (Thu)" (row
    // Tuesday), Thursday's the one stored as "LimitTable (The)".
    EXPECT_EQ(user.DayLimitTable[CFW_ROW_TUE], editor::HourTable(user, editor::HourSlot(IDC_HOURS_TUE)));
    EXPECT_EQ(user.DayLimitTable[CFW_ROW_THU], editor::HourTable(user, editor::HourSlot(IDC_HOURS_THU)));
    EXPECT_EQ(group.DayLimitTable[CFW_ROW_SUN], editor::HourTable(group, editor::HourSlot(IDC_HOURS_SUN)));
    EXPECT_EQ(user.TodayLimitTable, editor::HourTable(user, editor::HourSlot(IDC_HOURS_DAILY)));
    EXPECT_EQ(group.WeeklyLimitTable1, editor::HourTable(group, editor::HourSlot(IDC_HOURS_WEEKDAY)));
    EXPECT_EQ(group.WeeklyLimitTable2, editor::HourTable(group, editor::HourSlot(IDC_HOURS_WEEKEND)));
    EXPECT_EQ(-1, editor::HourSlot(IDC_CHOOSE_GROUP));
    EXPECT_EQ(nullptr, editor::HourTable(user, -1));
    EXPECT_EQ(L"火曜日の時間帯設定", editor::RcText(editor::HourTitle(IDC_HOURS_TUE)));
    EXPECT_EQ(L"木曜日の時間帯設定", editor::RcText(editor::HourTitle(IDC_HOURS_THU)));
    EXPECT_EQ(L"平日/週末切り替えモード (週末) の時間帯設定", editor::RcText(editor::HourTitle(IDC_HOURS_WEEKEND)));
    EXPECT_EQ(0u, editor::HourTitle(1));
}

TEST(HourTables, OnlyAStoredOneIsCheckedAndConfirmingWritesOnesAndZeros)
{
    uint8_t table[CFW_HOURS] = {};
    table[0] = 1;
    table[1] = 2;
    table[2] = 0xFF;
    table[23] = 1;
    const auto checks = editor::HourChecks(table);
    for (int h = 0; h < CFW_HOURS; ++h)
        EXPECT_EQ(h == 0 || h == 23, checks[static_cast<size_t>(h)]) << h;
    editor::StoreHourChecks(checks, table);
    for (int h = 0; h < CFW_HOURS; ++h)
        EXPECT_EQ(h == 0 || h == 23 ? 1 : 0, table[h]) << h;
}

TEST(TimerAllowances, ChecksInOrderWithTheirMessages)
{
    const struct {
        uint32_t day, am, pm;
        unsigned message;
    } cases[] = {
        {0, 0, 0, 0},          {60, 30, 30, 0},        {240, 120, 120, 0},     {120, 0, 120, 0},
        {59, 30, 30, IDS_TIMER_DAY_LOW}, {1, 30, 30, IDS_TIMER_DAY_LOW}, {241, 30, 30, IDS_TIMER_DAY_HIGH},
        {999, 30, 30, IDS_TIMER_DAY_HIGH}, {120, 29, 30, IDS_TIMER_AM_LOW}, {120, 121, 30, IDS_TIMER_AM_HIGH},
        {120, 30, 29, IDS_TIMER_PM_LOW}, {120, 30, 121, IDS_TIMER_PM_HIGH},
        // The first failure in the dialog's order is the one told.
        {59, 121, 1, IDS_TIMER_DAY_LOW}, {60, 121, 1, IDS_TIMER_AM_HIGH}, {60, 120, 1, IDS_TIMER_PM_LOW},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.message, editor::CheckTimerAllowances(c.day, c.am, c.pm)) << c.day << " " << c.am << " " << c.pm;
    EXPECT_EQ(L"1 日の制限時間は最低 1 時間 (60 分) 以上に設定してください。", editor::RcText(IDS_TIMER_DAY_LOW));
    EXPECT_EQ(L"午後の制限時間は最大 2 時間 (120 分) までです。", editor::RcText(IDS_TIMER_PM_HIGH));
}

TEST(Texts, RefusedNameMessageListsTheCharacters)
{
    EXPECT_NE(std::wstring::npos,
              editor::RcText(IDS_USER_NAME_REFUSED).find(L"\\ / [ ] : ; | = , + * ? < > \""));
}

}  // namespace
