// A user's limits through the real dialogs: each mode, hour tables edited
// in the hour dialog (by row, not by stored name), the timer allowances'
// checks, the carry-over kept across a mode change, and Cancel.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "editor_fixture.h"
#include "editor_texts.h"
#include "resource.h"

namespace {

using namespace editor_test;

constexpr wchar_t kUser[] = L"jiro";

std::vector<uint8_t> StoredTable(const wchar_t* value)
{
    std::vector<uint8_t> bytes(24);
    DWORD size = 24;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, UsersKey(kUser).c_str(), value, RRF_RT_REG_BINARY, nullptr, bytes.data(),
                     &size) != ERROR_SUCCESS)
        bytes.clear();
    return bytes;
}

UserData Stored()
{
    UserData u{};
    ReadUserDataW(kUser, &u);
    return u;
}

class Schedule : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        // A timer user with carry-over; stray bytes of 2 in two tables.
        UserData u{};
        ReadUserDataW(kUser, &u);
        u.LimitMode = LIMIT_CARRY_OVER_FLAG | LIMIT_TIMER;
        u.TodayLimitTable[5] = 2;
        u.TodayLimitTable[6] = 1;
        u.WeeklyLimitTable1[3] = 2;
        u.LimitModeFlag = 1;
        ASSERT_EQ(1, WriteUserDataW(kUser, &u, 0));
        ASSERT_TRUE(StartEditor());
        users_ = OpenDialog(IDC_USERS_BUTTON, L"ユーザーの追加と削除");
        ASSERT_TRUE(users_);
        SendDlgItemMessageW(users_, IDC_REG_LIST, LB_SETCURSEL, 0, 0);
    }

    HWND OpenLimits()
    {
        e2e::Click(users_, IDC_REG_CHANGE);
        return AwaitDialog(L"ユーザー 'jiro' の制限設定");
    }

    HWND Open(HWND limits, int button, const wchar_t* title)
    {
        e2e::Click(limits, button);
        return AwaitDialog(title);
    }

    void Close(HWND dialog, int button)
    {
        e2e::Click(dialog, button);
        e2e::Await("the dialog to close", [&] { return !IsWindow(dialog); }, 10s);
    }

    // Clicks the hour boxes and waits until they show the click.
    void Toggle(HWND hours, std::initializer_list<int> hoursToClick)
    {
        for (int h : hoursToClick) {
            const UINT before = IsDlgButtonChecked(hours, IDC_HOUR_FIRST + h);
            e2e::Click(hours, IDC_HOUR_FIRST + h);
            e2e::Await("the box to toggle", [&] { return IsDlgButtonChecked(hours, IDC_HOUR_FIRST + h) != before; },
                       5s);
        }
    }

    HWND users_ = nullptr;
};

TEST_F(Schedule, HourTablesTimerChecksAndModes)
{
    const UserData before = Stored();
    HWND limits = OpenLimits();
    ASSERT_TRUE(limits);
    Shot(L"editor_user_limits");
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(limits, IDC_MODE_TIMER));

    // Every day: the stored 2 shows unchecked; confirmed, it becomes 0.
    HWND hours = Open(limits, IDC_HOURS_DAILY, L"毎日モードの時間帯設定");
    ASSERT_TRUE(hours);
    Shot(L"editor_hours");
    EXPECT_EQ(L"00:00 ～ 01:00(&0)", e2e::ControlText(hours, IDC_HOUR_FIRST));
    EXPECT_EQ(L"23:00 ～ 24:00(&N)", e2e::ControlText(hours, IDC_HOUR_FIRST + 23));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(hours, IDC_HOUR_FIRST + 5));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(hours, IDC_HOUR_FIRST + 6));
    Toggle(hours, {8, 9});
    Close(hours, IDOK);
    // Tuesday's and Thursday's buttons edit the rows, whatever the names.
    hours = Open(limits, IDC_HOURS_TUE, L"火曜日の時間帯設定");
    ASSERT_TRUE(hours);
    Toggle(hours, {0});
    Close(hours, IDOK);
    hours = Open(limits, IDC_HOURS_THU, L"木曜日の時間帯設定");
    ASSERT_TRUE(hours);
    Toggle(hours, {23});
    Close(hours, IDOK);
    // Opened and cancelled: untouched.
    hours = Open(limits, IDC_HOURS_WEEKDAY, L"平日/週末切り替えモード (平日) の時間帯設定");
    ASSERT_TRUE(hours);
    Toggle(hours, {1});
    Close(hours, IDCANCEL);

    // The timer dialog's checks, in order, each keeping the dialog open.
    HWND timer = Open(limits, IDC_TIMER_SETTINGS, L"リミット モードの設定");
    ASSERT_TRUE(timer);
    Shot(L"editor_timer");
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(timer, IDC_TIMER_HALF_DAY));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(timer, IDC_TIMER_CARRY));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(timer, IDC_TIMER_CARRY)));
    EXPECT_EQ(L"120", e2e::ControlText(timer, IDC_TIMER_DAY));
    const struct {
        const wchar_t *day, *am, *pm;
        unsigned message;
    } refused[] = {
        {L"59", L"30", L"30", IDS_TIMER_DAY_LOW}, {L"241", L"30", L"30", IDS_TIMER_DAY_HIGH},
        {L"60", L"29", L"30", IDS_TIMER_AM_LOW},  {L"240", L"121", L"30", IDS_TIMER_AM_HIGH},
        {L"0", L"120", L"29", IDS_TIMER_PM_LOW},  {L"0", L"0", L"121", IDS_TIMER_PM_HIGH},
    };
    for (const auto& r : refused) {
        e2e::SetControlText(timer, IDC_TIMER_DAY, r.day);
        e2e::SetControlText(timer, IDC_TIMER_AM, r.am);
        e2e::SetControlText(timer, IDC_TIMER_PM, r.pm);
        e2e::Click(timer, IDOK);
        EXPECT_EQ(editor::RcText(r.message), e2e::AnswerMessageBox(editor_.pid(), L"リミット モードの設定"))
            << r.day << " " << r.am << " " << r.pm;
        EXPECT_TRUE(IsWindow(timer));
    }
    // "ログイン禁止" and its edit follow each other.
    e2e::SetControlText(timer, IDC_TIMER_AM, L"0");
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(timer, IDC_TIMER_AM_BLOCKED));
    e2e::Click(timer, IDC_TIMER_AM_BLOCKED);
    e2e::Await("30 back in the morning", [&] { return e2e::ControlText(timer, IDC_TIMER_AM) == L"30"; }, 5s);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(timer, IDC_TIMER_AM_BLOCKED));
    e2e::Click(timer, IDC_TIMER_PM_BLOCKED);  // 121 -> blocked, 0
    e2e::Await("0 in the afternoon", [&] { return e2e::ControlText(timer, IDC_TIMER_PM) == L"0"; }, 5s);
    // Unchecking half days disables the carry-over but keeps its mark.
    e2e::Click(timer, IDC_TIMER_HALF_DAY);
    e2e::Await("the carry-over disabled", [&] { return !IsWindowEnabled(GetDlgItem(timer, IDC_TIMER_CARRY)); }, 5s);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(timer, IDC_TIMER_CARRY));
    e2e::SetControlText(timer, IDC_TIMER_DAY, L"240");
    Close(timer, IDOK);

    // Every-day mode; the carry-over half stays.
    e2e::Click(limits, IDC_MODE_DAILY);
    Close(limits, IDOK);
    const UserData after = Stored();
    EXPECT_EQ(LIMIT_CARRY_OVER_FLAG | LIMIT_DAILY, after.LimitMode);
    EXPECT_EQ(0u, after.LimitModeFlag);
    EXPECT_EQ(240u, after.LimitModeTimeDay);
    EXPECT_EQ(30u, after.LimitModeTimeHalfAM);
    EXPECT_EQ(0u, after.LimitModeTimeHalfPM);
    std::vector<uint8_t> daily(24, 0);
    daily[6] = daily[8] = daily[9] = 1;  // the 2 at hour 5 became 0
    EXPECT_EQ(daily, StoredTable(L"TodayLimitTable"));
    std::vector<uint8_t> tuesday(24, 0), thursday(24, 0);
    tuesday[0] = 1;
    thursday[23] = 1;
    EXPECT_EQ(tuesday, StoredTable(L"LimitTable (Thu)"));
    EXPECT_EQ(thursday, StoredTable(L"LimitTable (The)"));
    EXPECT_EQ(0, std::memcmp(before.WeeklyLimitTable1, after.WeeklyLimitTable1, 24)) << "not confirmed, kept as read";
    EXPECT_EQ(2, after.WeeklyLimitTable1[3]);

    // Cancel after changes writes nothing.
    limits = OpenLimits();
    ASSERT_TRUE(limits);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(limits, IDC_MODE_DAILY));
    e2e::Click(limits, IDC_MODE_WEEKLY);
    hours = Open(limits, IDC_HOURS_DAILY, L"毎日モードの時間帯設定");
    ASSERT_TRUE(hours);
    Toggle(hours, {12});
    Close(hours, IDOK);
    timer = Open(limits, IDC_TIMER_SETTINGS, L"リミット モードの設定");
    ASSERT_TRUE(timer);
    e2e::Click(timer, IDC_TIMER_CARRY);
    e2e::Await("the carry-over unchecked", [&] { return IsDlgButtonChecked(timer, IDC_TIMER_CARRY) == BST_UNCHECKED; },
               5s);
    Close(timer, IDOK);
    Close(limits, IDCANCEL);
    const UserData unchanged = Stored();
    EXPECT_EQ(0, std::memcmp(&after, &unchanged, offsetof(UserData, LastLoginDate)));

    // Each mode button stores its mode next to the carry-over half.
    const struct {
        int button;
        uint32_t mode;
    } modes[] = {{IDC_MODE_WEEKLY, LIMIT_WEEKDAY_WEEKEND}, {IDC_MODE_DAY_OF_WEEK, LIMIT_DAY_OF_WEEK},
                 {IDC_MODE_GROUP, LIMIT_GROUP},            {IDC_MODE_TIMER, LIMIT_TIMER},
                 {IDC_MODE_NONE, LIMIT_NONE}};
    for (const auto& m : modes) {
        limits = OpenLimits();
        ASSERT_TRUE(limits);
        e2e::Click(limits, m.button);
        Close(limits, IDOK);
        EXPECT_EQ(LIMIT_CARRY_OVER_FLAG | m.mode, Stored().LimitMode) << m.button;
    }
}

}  // namespace
