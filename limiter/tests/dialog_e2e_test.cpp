// The limiter's own dialogs opened the way its tray window opens them, in the
// real hvCurfew.exe.
#include <windows.h>

#include <regex>

#include "limiter_fixture.h"

using namespace std::chrono_literals;

namespace {

constexpr int kMonitorCommand = 40000, kUserInfoCommand = 40001, kAboutCommand = 40007, kExitCommand = 40008;

class LimiterDialogs : public limiter_test::LimiterTest {
protected:
    HWND Dialog(const wchar_t* title) { return e2e::WaitForWindow(L"#32770", title, limiter_.pid(), 10s); }
    void Command(int id) { PostMessageW(tray_, WM_COMMAND, id, 0); }
    std::wstring AnswerBox(const wchar_t* caption)
    {
        auto box = e2e::WaitForMessageBox(limiter_.pid(), caption, 5s);
        if (!box)
            return L"(no box)";
        e2e::Answer(*box, IDOK);
        return box->text;
    }
};

TEST_F(LimiterDialogs, AboutAndUserInformationOfTheRunningLimiter)
{
    UserData u = limiter_test::MakeUser(LIMIT_DAILY);
    limiter_test::Allow(u.TodayLimitTable, 0, 24);
    WriteUser(u);
    ASSERT_TRUE(StartLimiter());

    Command(kMonitorCommand);
    HWND monitor = e2e::AwaitWindow(hv::names::kMonitorClass, nullptr, limiter_.pid());
    ASSERT_TRUE(monitor);
    // Wine keeps menus per process, so the graying of the monitor's About
    // command is checked in-process by dialog_test; here the box must simply
    // come and go with the monitor window open.

    Command(kAboutCommand);
    HWND about = Dialog(L"バージョン情報");
    ASSERT_TRUE(about);
    EXPECT_EQ(e2e::ControlText(about, 1000), L"Halvern Curfew");
    const std::wstring version = e2e::ControlText(about, 1001);
    EXPECT_TRUE(std::regex_match(version, std::wregex(L"Version \\d+\\.\\d+ \\(\\d+(\\.\\d+)+\\)")));
    EXPECT_EQ(e2e::ControlText(about, 1003), L"このプログラムは 64 ビット (x64) 版です。");
    // Let the buttons paint before the picture is taken.
    e2e::WaitUntil([&] { return IsWindowVisible(GetDlgItem(about, IDOK)) != FALSE; }, 3s);
    Sleep(300);
    e2e::Screenshot(L"limiter_about");

    e2e::Click(about, IDOK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about); }, 5s));
    EXPECT_TRUE(IsWindow(monitor));

    // Every hour allowed: the information dialog says there is no limit.
    Command(kUserInfoCommand);
    HWND info = Dialog(L"Halvern Curfew");
    ASSERT_TRUE(info);
    EXPECT_EQ(e2e::ControlText(info, 1001).rfind(limiter_test::UserName(), 0), 0u);
    EXPECT_EQ(e2e::ControlText(info, 1002), L"制限なし\n(常にログイン可能)");
    EXPECT_TRUE(std::regex_match(e2e::ControlText(info, 1000),
                                 std::wregex(L"\\d{4}/\\d\\d/\\d\\d \\(.\\) \\d\\d:\\d\\d:\\d\\d")));
    e2e::Click(info, IDOK);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(info); }, 5s));
}

TEST_F(LimiterDialogs, PasswordLockGuardsTheExitCommand)
{
    WriteOptions(7, GetPasswordHashW(L"curfew"));
    ASSERT_TRUE(StartLimiter());

    // Three wrong entries: the limiter stays.
    Command(kExitCommand);
    HWND prompt = Dialog(L"パスワードの入力");
    ASSERT_TRUE(prompt);
    for (const wchar_t* wrong : {L"a", L"b", L"c"}) {
        e2e::SetControlText(prompt, 1000, wrong);
        e2e::Click(prompt, IDOK);
        EXPECT_EQ(AnswerBox(L"パスワード入力エラー"), L"パスワードが違います。");
    }
    EXPECT_EQ(AnswerBox(L"パスワード入力失敗"), L"パスワードを 3 回間違えたため処理を中止します。");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(prompt); }, 5s));
    EXPECT_FALSE(e2e::FindMessageBox(limiter_.pid(), L"終了確認"));
    EXPECT_TRUE(limiter_.Running());

    // The right one leads on to the exit question; declining keeps it running.
    Command(kExitCommand);
    prompt = Dialog(L"パスワードの入力");
    ASSERT_TRUE(prompt);
    e2e::SetControlText(prompt, 1000, L"curfew");
    e2e::Click(prompt, IDOK);
    auto confirm = e2e::WaitForMessageBox(limiter_.pid(), L"終了確認", 5s);
    ASSERT_TRUE(confirm);
    e2e::Answer(*confirm, IDNO);
    // An exit that went ahead would store the running state and stop the
    // helper at once, while the process itself lingers a second longer.
    Sleep(500);
    UserData state{};
    ReadUserDataW(limiter_test::UserName().c_str(), &state);
    EXPECT_EQ(0, state.LastLoginDate) << "the running state was stored: the exit went ahead";
    EXPECT_TRUE(FindWindowW(hv::names::kHelperClass, nullptr)) << "the helper was stopped: the exit went ahead";
    EXPECT_TRUE(limiter_.Running());
    EXPECT_TRUE(IsWindow(tray_));
}

}  // namespace
