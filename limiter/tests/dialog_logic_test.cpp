// Decisions behind the password prompt, the information and About dialogs,
// the Administrators test and the paths of started programs and modules.
#include <gtest/gtest.h>

#include <string.h>

#include "dialog_logic.h"

using namespace limiter;

TEST(PasswordJudge, ThreeWrongEntriesGiveUpAndEmptyOnesDoNotCount)
{
    struct Step {
        bool empty;
        uint32_t hash;
        PasswordVerdict expected;
        int failuresAfter;
    };
    const uint32_t lock = 0x12345678;
    const Step steps[] = {
        {false, 1, PasswordVerdict::Wrong, 1},
        {true, 0, PasswordVerdict::Empty, 1},
        {false, 2, PasswordVerdict::Wrong, 2},
        {true, lock, PasswordVerdict::Empty, 2},  // an empty field never matches, whatever the hash
        {false, 3, PasswordVerdict::GiveUp, 3},
    };
    int failures = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(JudgePassword(failures, s.empty, s.hash, lock), s.expected);
        EXPECT_EQ(failures, s.failuresAfter);
    }
}

TEST(PasswordJudge, CorrectOnTheThirdAttemptIsAccepted)
{
    int failures = 0;
    EXPECT_EQ(JudgePassword(failures, false, 7, 9), PasswordVerdict::Wrong);
    EXPECT_EQ(JudgePassword(failures, false, 8, 9), PasswordVerdict::Wrong);
    EXPECT_EQ(JudgePassword(failures, false, 9, 9), PasswordVerdict::Accepted);
    EXPECT_EQ(failures, 2);
}

TEST(InfoTexts, ClockFormatWithWeekdayName)
{
    EXPECT_EQ(FormatInfoClock(LocalTime{2010, 1, 1, 0, 0, 0, 5}), L"2010/01/01 (金) 00:00:00");
    EXPECT_EQ(FormatInfoClock(LocalTime{2026, 12, 6, 23, 59, 9, 0}), L"2026/12/06 (日) 23:59:09");
    EXPECT_EQ(FormatInfoClock(LocalTime{2026, 12, 12, 7, 5, 3, 6}), L"2026/12/12 (土) 07:05:03");
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
    EXPECT_STREQ(ModeDescription(true, user.LimitMode), L"制限なし\n(常にログイン可能)");

    user.TodayLimitTable[20] = 0;
    ASSERT_FALSE(IsUnlimitedNow(user, group, noon));
    EXPECT_STREQ(ModeDescription(false, user.LimitMode), L"制限あり : 毎日モード\n(毎日決まった時間帯のみログイン可能)");

    // The timer mode counts down even with empty tables; the carry-over flag
    // in the high half does not change the mode.
    user.LimitMode = LIMIT_TIMER | LIMIT_CARRY_OVER_FLAG;
    user.LimitModeTimeDay = 60;
    EXPECT_FALSE(IsUnlimitedNow(user, group, noon));
    EXPECT_STREQ(ModeDescription(false, user.LimitMode), L"制限あり : リミット モード\n(時間帯にかかわらないタイマー方式)");

    EXPECT_NE(ModeDescription(false, LIMIT_WEEKDAY_WEEKEND), nullptr);
    EXPECT_NE(ModeDescription(false, LIMIT_DAY_OF_WEEK), nullptr);
    EXPECT_STREQ(ModeDescription(false, LIMIT_GROUP),
                 L"制限あり : グループ モード\n(所属グループに対して設定された時間帯のみログイン可能)");
    EXPECT_EQ(ModeDescription(false, 6), nullptr);  // unknown: the text is left alone
}

TEST(AboutTexts, VersionLine)
{
    EXPECT_EQ(FormatVersionLine(L"2.00", L"2.00.2026.1210"), L"Version 2.00 (2.00.2026.1210)");
    EXPECT_EQ(FormatVersionLine(nullptr, L""), L"Version  ()");
}

TEST(Administrators, ExactWholeCaseSensitiveName)
{
    const wchar_t* member[] = {L"Users", L"Administrators"};
    const wchar_t* lookalikes[] = {L"administrators", L"Administrators2", L"Administrator", L"BUILTIN\\Administrators"};
    EXPECT_EQ(AdministratorsVerdict(true, member, 2), 1);
    EXPECT_EQ(AdministratorsVerdict(true, lookalikes, 4), 0);
    EXPECT_EQ(AdministratorsVerdict(true, nullptr, 0), 0);
    EXPECT_EQ(AdministratorsVerdict(false, member, 2), -1);

    EXPECT_TRUE(LimiterCountsAsAdministrator(1));
    EXPECT_TRUE(LimiterCountsAsAdministrator(-1));  // a failed lookup does not lock the limiter
    EXPECT_FALSE(LimiterCountsAsAdministrator(0));
}

TEST(Paths, ProgramsAreNamedByFullPathOnly)
{
    EXPECT_EQ(FolderOfPath(L"C:\\Program Files\\Halvern\\hvCurfew.exe"), L"C:\\Program Files\\Halvern\\");
    EXPECT_EQ(FolderOfPath(L"\\\\server\\share\\hvCurfew.exe"), L"\\\\server\\share\\");
    // A bare or relative name must not turn into the current directory.
    EXPECT_EQ(FolderOfPath(L"hvCurfew.exe"), L"");
    EXPECT_EQ(FolderOfPath(L"bin\\hvCurfew.exe"), L"");
    EXPECT_EQ(FolderOfPath(L""), L"");

    EXPECT_EQ(PathInFolder(L"C:\\App\\", L"cfwEdit.exe"), L"C:\\App\\cfwEdit.exe");
    EXPECT_EQ(PathInFolder(L"C:\\App", L"cfwEdit.exe"), L"C:\\App\\cfwEdit.exe");
    EXPECT_EQ(PathInFolder(L"", L"cfwEdit.exe"), L"");

    // 259 characters fit with the terminator; 260 do not.
    const std::wstring file = L"cfwEdit.exe";
    const std::wstring fits = L"C:\\" + std::wstring(259 - 3 - 1 - file.size(), L'a') + L"\\";
    EXPECT_EQ(PathInFolder(fits, file.c_str()).size(), 259u);
    EXPECT_EQ(PathInFolder(fits + L"b\\", file.c_str()), L"");
}

TEST(Paths, HtmlHelpModuleComesFromAnAbsoluteRegistrationOrTheSystemFolder)
{
    EXPECT_EQ(ChooseHtmlHelpModule(L"C:\\Windows\\System32\\hhctrl.ocx", L"C:\\windows\\system32"),
              L"C:\\Windows\\System32\\hhctrl.ocx");
    EXPECT_EQ(ChooseHtmlHelpModule(L"hhctrl.ocx", L"C:\\windows\\system32"), L"C:\\windows\\system32\\hhctrl.ocx");
    EXPECT_EQ(ChooseHtmlHelpModule(L"", L"C:\\windows\\system32"), L"C:\\windows\\system32\\hhctrl.ocx");
    EXPECT_EQ(ChooseHtmlHelpModule(L"", L""), L"");
}
