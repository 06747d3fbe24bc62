// The limiter as a program: first start, the refused second start, command
// forwarding to the running copy, the reload message and the exit path.
#include <windows.h>

#include <gtest/gtest.h>

#include "limiter_fixture.h"

namespace {

using namespace std::chrono_literals;
using limiter_test::LimiterTest;

constexpr UINT WM_APPLY_SETTINGS = hv::names::kApplySettingsMessage;

// Dialog-class windows of the limiter with this title (message boxes and dialogs).
HWND WaitForDialog(DWORD pid, const wchar_t* title, std::chrono::milliseconds timeout = 10s)
{
    HWND found = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::FindWindows(L"#32770", title, pid))
                if (IsWindowVisible(w))
                    return (found = w) != nullptr;
            return false;
        },
        timeout);
    return found;
}

// Visible top-level windows of a process other than its tray window.
int OtherVisibleWindows(DWORD pid, HWND tray)
{
    int n = 0;
    for (HWND w : e2e::FindWindows(nullptr, nullptr, pid))
        if (w != tray && IsWindowVisible(w))
            ++n;
    return n;
}

// The time-out's countdown dialog of the limiter (the one with a progress bar).
HWND WaitForCountdown(DWORD pid, std::chrono::milliseconds timeout = 10s)
{
    HWND found = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::FindWindows(L"#32770", nullptr, pid))
                if (IsWindowVisible(w) && GetDlgItem(w, 1001))
                    return (found = w) != nullptr;
            return false;
        },
        timeout);
    return found;
}

class Startup : public LimiterTest {};

TEST_F(Startup, AccountWithoutKeyRunsWithoutLimit)
{
    ASSERT_TRUE(StartLimiter());
    EXPECT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Text(tray_) == L"制限なし"; }, 3s)) << e2e::Text(tray_);
    EXPECT_TRUE(IsIconic(tray_));
    EXPECT_TRUE(limiter_.Running());
}

TEST_F(Startup, SecondStartWarnsAndLeavesOneLimiter)
{
    ASSERT_TRUE(StartLimiter());
    auto second = e2e::Start(hv::names::kLimiterFile);
    auto box = e2e::WaitForMessageBox(second.pid(), L"Halvern Curfew");
    ASSERT_TRUE(box);
    EXPECT_EQ(L"Halvern Curfew はすでに起動しています。\n(旧バージョンのものが動作している場合はいったん終了させてください。)",
              box->text);
    EXPECT_TRUE(e2e::Answer(*box, IDOK));
    EXPECT_EQ(0u, second.Wait(10000).value_or(1234));
    EXPECT_EQ(1u, e2e::FindWindows(hv::names::kTrayClass, nullptr).size());
    EXPECT_EQ(1u, e2e::Pids(hv::names::kLimiterFile).size());
    EXPECT_TRUE(limiter_.Running());
}

// The helper and the service start it with the automatic switch, sometimes
// at the same moment: the later one ends without a box; alone it runs.
TEST_F(Startup, AnAutomaticSecondStartEndsWithoutAWord)
{
    ASSERT_TRUE(StartLimiter());
    auto second = e2e::Start(hv::names::kLimiterFile, hv::names::kAutoStartSwitch);
    EXPECT_EQ(0u, second.Wait(10000).value_or(1234));
    EXPECT_FALSE(e2e::FindMessageBox(second.pid()));
    EXPECT_EQ(1u, e2e::Pids(hv::names::kLimiterFile).size());
    EXPECT_TRUE(limiter_.Running());
}

TEST_F(Startup, SwitchWithoutRunningLimiterStartsNothing)
{
    auto p = e2e::Start(hv::names::kLimiterFile, L"/Monitor");
    EXPECT_EQ(0u, p.Wait(10000).value_or(1234));
    EXPECT_TRUE(e2e::FindWindows(hv::names::kTrayClass, nullptr).empty());
    EXPECT_TRUE(e2e::Pids(hv::names::kLimiterFile).empty());
}

TEST_F(Startup, SwitchesAreForwardedToTheRunningLimiter)
{
    ASSERT_TRUE(StartLimiter());
    const DWORD pid = limiter_.pid();
    const auto forward = [](const wchar_t* args) {
        auto p = e2e::Start(hv::names::kLimiterFile, args);
        return p.Wait(10000).value_or(1234);
    };

    // Letter case matters, and an unknown switch only raises the window.
    for (const wchar_t* args : {L"/about", L"/MONITOR", L"/Exit"}) {
        EXPECT_EQ(0u, forward(args)) << args;
        Sleep(500);
        EXPECT_EQ(0, OtherVisibleWindows(pid, tray_)) << args;
    }

    EXPECT_EQ(0u, forward(L"/About"));
    HWND about = WaitForDialog(pid, L"バージョン情報");
    EXPECT_TRUE(about);
    if (about) {
        e2e::Click(about, IDOK);
        e2e::WaitUntil([&] { return !IsWindow(about); }, 5s);
    }

    EXPECT_EQ(0u, forward(L"/UseInfo"));
    HWND info = e2e::WaitUntil([&] { return OtherVisibleWindows(pid, tray_) > 0; }, 10s)
                    ? e2e::FindWindows(L"#32770", nullptr, pid).front()
                    : nullptr;
    ASSERT_TRUE(info);
    EXPECT_TRUE(GetDlgItem(info, 1001));  // the account label of the information dialog
    PostMessageW(info, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(info); }, 5s));

    EXPECT_EQ(0u, forward(L"/Help"));
    auto help = e2e::WaitForMessageBox(pid, L"Halvern Curfew");
    ASSERT_TRUE(help);
    EXPECT_EQ(L"ヘルプ ファイル hvCurfew.chm がみつかりませんでした。", help->text);
    e2e::Answer(*help, IDOK);

    EXPECT_EQ(0u, forward(L"/Apply"));
    auto ask = e2e::WaitForMessageBox(pid, L"確認");
    ASSERT_TRUE(ask);
    EXPECT_EQ(L"設定ユーティリティで設定した内容を反映させますか？", ask->text);
    e2e::Answer(*ask, IDYES);
    auto done = e2e::WaitForMessageBox(pid, L"設定反映完了");
    ASSERT_TRUE(done);
    e2e::Answer(*done, IDOK);

    // Only the first argument counts.
    EXPECT_EQ(0u, forward(L"/Monitor /About"));
    EXPECT_TRUE(e2e::WaitForWindow(hv::names::kMonitorClass, nullptr, pid));
    Sleep(500);
    EXPECT_FALSE(WaitForDialog(pid, L"バージョン情報", 0ms));
    EXPECT_EQ(1u, e2e::Pids(hv::names::kLimiterFile).size());
}

TEST_F(Startup, ApplySettingsMessageReloadsTheRecord)
{
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));

    WriteUser(limiter_test::DailyForThisAndNextHour());
    // Read on the next tick only after the message, not by itself.
    Sleep(1500);
    EXPECT_EQ(L"-:--:--", Remain());

    EXPECT_EQ(0, SendMessageW(tray_, WM_APPLY_SETTINGS, 0, 0));
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t != L"-:--:--"; }, 3000));
    const int remain = RemainSeconds();
    EXPECT_GT(remain, 3600);
    EXPECT_LE(remain, 7200);
}

TEST_F(Startup, ReloadIntoAndOutOfTimerModeEvaluatesAtOnce)
{
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));

    // From no limit into a fresh two-hour allowance: not a count below -1.
    UserData u = limiter_test::MakeUser(LIMIT_TIMER);
    u.LimitModeTimeDay = 120;
    WriteUser(u);
    SendMessageW(tray_, WM_APPLY_SETTINGS, 0, 0);
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t != L"-:--:--"; }, 3000));
    EXPECT_GE(RemainSeconds(), 7195);
    EXPECT_LE(RemainSeconds(), 7200);

    // And back: no limit at once, not a count on from the allowance.
    WriteUser(limiter_test::MakeUser(LIMIT_NONE));
    SendMessageW(tray_, WM_APPLY_SETTINGS, 0, 0);
    EXPECT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }, 3000)) << Remain();
}

TEST_F(Startup, StartsTheHelperAndStartsItAgainWhenItIsGone)
{
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(e2e::WaitForWindow(hv::names::kHelperClass, nullptr, 0, 5s));
    e2e::KillAll(hv::names::kHelperFile);
    EXPECT_TRUE(e2e::WaitForWindow(hv::names::kHelperClass, nullptr, 0, 3s));
    EXPECT_EQ(1u, e2e::Pids(hv::names::kLimiterFile).size());
}

TEST_F(Startup, TaskbarButtonChoiceSurvivesAReloadAndIsStoredAtExit)
{
    ASSERT_TRUE(StartLimiter());
    const auto toggle = [&] { PostMessageW(tray_, WM_COMMAND, 40003, 0); };
    toggle();
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(tray_); }, 5s));

    // A reload reads the stored choice (still the old one) but keeps this session's.
    SendMessageW(tray_, WM_APPLY_SETTINGS, 0, 0);
    toggle();
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(tray_) != FALSE; }, 5s));
    toggle();
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(tray_); }, 5s));

    PostMessageW(tray_, WM_COMMAND, 40008, 0);
    auto confirm = e2e::WaitForMessageBox(limiter_.pid(), L"終了確認");
    ASSERT_TRUE(confirm);
    e2e::Answer(*confirm, IDYES);
    ASSERT_EQ(0u, limiter_.Wait(10000).value_or(1234));
    UserData state{};
    ReadUserDataW(limiter_test::UserName().c_str(), &state);
    EXPECT_EQ(1u, state.HiddenButton);

    // The next start minimises straight into the notification area.
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));
    EXPECT_FALSE(IsWindowVisible(tray_));
}

TEST_F(Startup, ExitNeedsThePasswordAndAConfirmation)
{
    WriteOptions(7, GetPasswordHashW(L"secret"));
    ASSERT_TRUE(StartLimiter());
    const DWORD pid = limiter_.pid();
    const auto typePassword = [&](const wchar_t* text) {
        HWND prompt = WaitForDialog(pid, L"パスワードの入力");
        if (!prompt)
            return false;
        e2e::SetControlText(prompt, 1000, text);
        e2e::Click(prompt, IDOK);
        return true;
    };

    // Three wrong passwords: the limiter goes on.
    PostMessageW(tray_, WM_COMMAND, 40008, 0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        ASSERT_TRUE(typePassword(L"wrong")) << attempt;
        auto wrong = e2e::WaitForMessageBox(pid, L"パスワード入力エラー");
        ASSERT_TRUE(wrong) << attempt;
        EXPECT_EQ(L"パスワードが違います。", wrong->text);
        e2e::Answer(*wrong, IDOK);
    }
    auto failed = e2e::WaitForMessageBox(pid, L"パスワード入力失敗");
    ASSERT_TRUE(failed);
    e2e::Answer(*failed, IDOK);
    Sleep(500);
    EXPECT_FALSE(e2e::FindMessageBox(pid, L"終了確認"));
    EXPECT_TRUE(limiter_.Running());

    // The right password, then No: still running.
    PostMessageW(tray_, WM_COMMAND, 40008, 0);
    ASSERT_TRUE(typePassword(L"secret"));
    auto confirm = e2e::WaitForMessageBox(pid, L"終了確認");
    ASSERT_TRUE(confirm);
    e2e::Answer(*confirm, IDNO);
    // An exit that went ahead would store the running state and stop the
    // helper at once, while the process itself lingers a second longer.
    Sleep(500);
    UserData kept{};
    ReadUserDataW(limiter_test::UserName().c_str(), &kept);
    EXPECT_EQ(0, kept.LastLoginDate) << "the running state was stored: the exit went ahead";
    EXPECT_TRUE(FindWindowW(hv::names::kHelperClass, nullptr)) << "the helper was stopped: the exit went ahead";
    EXPECT_TRUE(limiter_.Running());

    // The right password and Yes: the limiter ends and stores its running state.
    const int64_t before = limiter_test::Now();
    PostMessageW(tray_, WM_COMMAND, 40008, 0);
    ASSERT_TRUE(typePassword(L"secret"));
    confirm = e2e::WaitForMessageBox(pid, L"終了確認");
    ASSERT_TRUE(confirm);
    e2e::Answer(*confirm, IDYES);
    EXPECT_EQ(0u, limiter_.Wait(10000).value_or(1234));
    UserData state{};
    ReadUserDataW(limiter_test::UserName().c_str(), &state);
    EXPECT_GE(state.LastLoginDate, before);
}

TEST_F(Startup, CancelledSessionEndBringsTheLimiterBackToWork)
{
    WriteUser(limiter_test::MakeUser(LIMIT_DAILY));  // no hour allowed: out of time at once
    ASSERT_TRUE(StartLimiter());
    const DWORD pid = limiter_.pid();
    HWND countdown = WaitForCountdown(pid);
    ASSERT_TRUE(countdown);
    e2e::Click(countdown, IDOK);  // TimeOutMode 7: no exit call follows
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(countdown); }, 5s));
    EXPECT_FALSE(WaitForCountdown(pid, 2000ms)) << "the time-out ran twice without a session end";

    const int64_t before = limiter_test::Now();
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(tray_, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(TRUE, static_cast<BOOL>(answer));
    UserData state{};
    ReadUserDataW(limiter_test::UserName().c_str(), &state);
    EXPECT_GE(state.LastLoginDate, before);

    // The session goes on after all: the limiter evaluates again and times out again.
    SendMessageTimeoutW(tray_, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, 5000, nullptr);
    countdown = WaitForCountdown(pid);
    ASSERT_TRUE(countdown) << "the limiter stayed inert after a cancelled session end";
    EXPECT_EQ(L"0:00:00", Remain());
    e2e::Click(countdown, IDOK);
    EXPECT_TRUE(limiter_.Running());
}

}  // namespace
