// Decisions behind the user information dialog, with the texts of the
// limiter's own string table.
#include <gtest/gtest.h>

#include <string.h>

#include "dialog_logic.h"
#include "limiter_texts.h"

using namespace limiter;

TEST(InfoTexts, ClockFormatWithWeekdayName)
{
    EXPECT_EQ(FormatInfoClock(LocalTime{2010, 1, 1, 0, 0, 0, 5}, RcText), L"2010/01/01 (金) 00:00:00");
    EXPECT_EQ(FormatInfoClock(LocalTime{2026, 12, 6, 23, 59, 9, 0}, RcText), L"2026/12/06 (日) 23:59:09");
    EXPECT_EQ(FormatInfoClock(LocalTime{2026, 12, 12, 7, 5, 3, 6}, RcText), L"2026/12/12 (土) 07:05:03");
}

TEST(InfoTexts, UserLabelWithAndWithoutFullName)
{
    EXPECT_EQ(FormatUserLabel(L"taro", L""), L"taro");
    EXPECT_EQ(FormatUserLabel(L"taro", nullptr), L"taro");
    EXPECT_EQ(FormatUserLabel(L"taro", L"山田 太郎"), L"taro (山田 太郎)");
}

TEST(InfoTexts, ModeDescriptionFollowsTheRemainderFirst)
{
    UserData user = {};
    GroupData group = {};
    const LocalTime noon{2026, 12, 10, 12, 0, 0, 4};

    // Stored mode 1 with every hour allowed: no limit in effect.
    user.LimitMode = LIMIT_DAILY;
    memset(user.TodayLimitTable, 1, sizeof user.TodayLimitTable);
    ASSERT_TRUE(IsUnlimitedNow(user, group, noon));
    EXPECT_EQ(RcText(ModeDescription(true, user.LimitMode)), L"制限なし\n(常にログイン可能)");

    user.TodayLimitTable[20] = 0;
    ASSERT_FALSE(IsUnlimitedNow(user, group, noon));
    EXPECT_EQ(RcText(ModeDescription(false, user.LimitMode)), L"制限あり : 毎日モード\n(毎日決まった時間帯のみログイン可能)");

    // The timer mode counts down even with empty tables; the carry-over flag
    // in the high half does not change the mode.
    user.LimitMode = LIMIT_TIMER | LIMIT_CARRY_OVER_FLAG;
    user.LimitModeTimeDay = 60;
    EXPECT_FALSE(IsUnlimitedNow(user, group, noon));
    EXPECT_EQ(RcText(ModeDescription(false, user.LimitMode)), L"制限あり : リミット モード\n(時間帯にかかわらないタイマー方式)");

    EXPECT_NE(ModeDescription(false, LIMIT_WEEKDAY_WEEKEND), 0u);
    EXPECT_NE(ModeDescription(false, LIMIT_DAY_OF_WEEK), 0u);
    EXPECT_EQ(RcText(ModeDescription(false, LIMIT_GROUP)), L"制限あり : グループ モード\n(所属グループに対して設定された時間帯のみログイン可能)");
    EXPECT_EQ(ModeDescription(false, 6), 0u);  // unknown: the text is left alone
}

