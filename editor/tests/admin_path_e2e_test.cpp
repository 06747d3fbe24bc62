// The administrator's whole path under the fake clock: register this
// account by hand, allow it 08:00 to 17:59 every day, Apply with the limiter
// running, and watch the limiter count down to 18:00.
#include <windows.h>

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "resource.h"

namespace {

using namespace editor_test;

class AdminPath : public EditorTest {};

TEST_F(AdminPath, RegisterDailyHoursApplyAndCountDownToSix)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 17:40:00"));
    WriteOptions(7, PASSWORD_LOCK_OFF);  // the time-out shows its countdown, never ends the session
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));
    ASSERT_TRUE(StartEditor());
    const std::wstring me = limiter_test::UserName();

    HWND users = OpenDialog(IDC_USERS_BUTTON, L"ユーザーの追加と削除");
    ASSERT_TRUE(users);
    e2e::Click(users, IDC_REG_ADD);
    HWND add = AwaitDialog(L"ユーザーの追加");
    ASSERT_TRUE(add);
    e2e::SetControlText(add, IDC_ADD_NAME, me);
    e2e::Click(add, IDOK);
    EXPECT_EQ(L"ユーザーを追加しました。", e2e::AnswerMessageBox(editor_.pid(), L"追加完了", IDOK, 10s));

    SendDlgItemMessageW(users, IDC_REG_LIST, LB_SETCURSEL, 0, 0);
    e2e::Click(users, IDC_REG_CHANGE);
    HWND limits = AwaitDialog((L"ユーザー '" + me + L"' の制限設定").c_str());
    ASSERT_TRUE(limits);
    e2e::Click(limits, IDC_MODE_DAILY);
    e2e::Click(limits, IDC_HOURS_DAILY);
    HWND hours = AwaitDialog(L"毎日モードの時間帯設定");
    ASSERT_TRUE(hours);
    for (int h = 8; h <= 17; ++h)
        e2e::Click(hours, IDC_HOUR_FIRST + h);
    e2e::Await("08:00 to 17:59 checked", [&] { return IsDlgButtonChecked(hours, IDC_HOUR_FIRST + 17) == BST_CHECKED; },
               5s);
    e2e::Click(hours, IDOK);
    e2e::Await("the hour dialog to close", [&] { return !IsWindow(hours); }, 10s);
    e2e::Click(limits, IDOK);
    e2e::Await("the user dialog to close", [&] { return !IsWindow(limits); }, 10s);
    PostMessageW(users, WM_COMMAND, IDOK, 0);
    e2e::Await("the users dialog to close", [&] { return !IsWindow(users); }, 10s);

    UserData stored{};
    ReadUserDataW(me.c_str(), &stored);
    EXPECT_EQ(static_cast<uint32_t>(LIMIT_DAILY), stored.LimitMode);
    for (int h = 0; h < 24; ++h)
        EXPECT_EQ(h >= 8 && h <= 17 ? 1 : 0, stored.TodayLimitTable[h]) << h;
    EXPECT_EQ(L"-:--:--", Remain()) << "nothing changes before Apply";

    e2e::Click(main_, IDC_APPLY_BUTTON);
    e2e::AnswerMessageBox(editor_.pid(), L"確認", IDYES);
    e2e::AnswerMessageBox(editor_.pid(), kTitle, IDOK, 10s);
    // About twenty minutes left, counting down towards 18:00.
    EXPECT_TRUE(WaitForRemain(
        [](const std::wstring& t) {
            const int s = limiter_test::ParseRemain(t);
            return s > 0 && s <= 20 * 60;
        },
        10000))
        << Remain();

    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 17:59:50"));
    EXPECT_TRUE(WaitForRemain(
        [](const std::wstring& t) {
            const int s = limiter_test::ParseRemain(t);
            return s >= 0 && s <= 10;
        },
        10000))
        << Remain();
    HWND countdown = nullptr;
    e2e::Await("the time-out countdown at 18:00",
               [&] { return (countdown = limiter_test::FindCountdown(limiter_.pid(), 30)) != nullptr ||
                            (countdown = limiter_test::FindCountdown(limiter_.pid(), 29)) != nullptr; },
               30s);
    EXPECT_EQ(L"0:00:00", Remain());
    Shot(L"editor_admin_path_countdown");
}

}  // namespace
