// The guardian with the real limiter and helper in session 1. Wine lists no
// sessions of its own (yet answers for session 1 with the user's token), so
// the session list is given here and the guardian runs in this process, as
// the service runs it, with its pipe.
#include <windows.h>

#include <stdio.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "e2e.h"
#include "guard_fixture.h"
#include "limiter_fixture.h"
#include "service.h"

namespace {

using namespace std::chrono_literals;
using guard_test::AwaitLimiter;
using guard_test::KillBoth;
using guard_test::RawExchange;
using guard_test::StatusOf;

constexpr uint32_t kLockHash = 0x58A297AF;  // "abc"
constexpr int kKills = 20;

class Guardian : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A morning well away from the noon grant; set once, so that the
        // clock never runs back behind a stored logon date.
        static bool clockSet = false;
        if (!clockSet) {
            ASSERT_TRUE(clockSet = e2e::SetFakeClock("2026-01-05 09:00:00"));
        }
        limiter_test::RegisterCurrentUser(limiter_test::TimerAllowance(120));
        Lock(PASSWORD_LOCK_OFF);
    }
    void TearDown() override
    {
        guard_.Stop();
        for (int round = 0; round < 2; ++round) {
            e2e::KillAll(hv::names::kHelperFile);
            e2e::KillAll(hv::names::kLimiterFile);
        }
    }
    static void Lock(uint32_t hash)
    {
        OptionData options{TIMEOUT_LOGOFF, 0, hash};
        WriteOptionDataW(&options);
    }
    void StartGuard() { ASSERT_TRUE(guard_test::StartGuard(guard_)); }
    static hv::pipe::Message Release(const std::wstring& password)
    {
        hv::pipe::Message answer;
        EXPECT_EQ(hv::PipeCall::Answered,
                  hv::CallService(static_cast<uint16_t>(hv::pipe::Kind::ReleaseSession),
                                  hv::pipe::EncodePassword(password), answer));
        return answer;
    }

    SessionGuard guard_;
};

TEST_F(Guardian, KilledTogetherTheyComeBackCountingOnTwentyTimes)
{
    StartGuard();
    HWND tray = AwaitLimiter(0);  // none ran: the guardian starts one
    ASSERT_TRUE(tray);
    std::vector<double> returns;
    for (int kill = 0; kill < kKills; ++kill) {
        const DWORD old = limiter_test::ProcessOf(tray);
        // Let the tick store the remainder it shows.
        Sleep(1200);
        const int before = limiter_test::LabelSeconds(tray);
        KillBoth();
        const ULONGLONG gone = GetTickCount64();
        tray = AwaitLimiter(old);
        ASSERT_TRUE(tray) << "kill " << kill;
        returns.push_back(static_cast<double>(GetTickCount64() - gone) / 1000.0);
        // Counting on from where it stood: never more than before the kill.
        const int after = limiter_test::LabelSeconds(tray);
        EXPECT_LE(after, before + 1) << "kill " << kill;
        EXPECT_GT(after, before - 120) << "kill " << kill;
    }
    ASSERT_EQ(static_cast<size_t>(kKills), returns.size());
    std::sort(returns.begin(), returns.end());
    printf("kill -> limiter back (tray window showing its remainder), %d kills: median %.2f s, worst %.2f s\n",
           kKills, (returns[kKills / 2 - 1] + returns[kKills / 2]) / 2, returns.back());
    // A helper came back with it.
    EXPECT_TRUE(e2e::WaitUntil([] { return !limiter_test::TrayWindow() ? false
                                           : !e2e::FindWindows(hv::names::kHelperClass, nullptr).empty(); },
                               20s));
}

TEST_F(Guardian, ExitWithThePasswordStaysEnded)
{
    Lock(kLockHash);
    StartGuard();
    HWND tray = AwaitLimiter(0);
    ASSERT_TRUE(tray);
    const DWORD pid = limiter_test::ProcessOf(tray);
    HWND helper = e2e::AwaitWindow(hv::names::kHelperClass, nullptr, 0, 20s);
    const DWORD helperPid = limiter_test::ProcessOf(helper);
    PostMessageW(tray, WM_COMMAND, 40008, 0);  // Exit from the menu
    HWND prompt = e2e::AwaitWindow(L"#32770", L"パスワードの入力", pid, 20s);
    ASSERT_TRUE(prompt);
    e2e::SetControlText(prompt, 1000, L"abc");
    e2e::Click(prompt, IDOK);
    EXPECT_NE(L"(no box)", e2e::AnswerMessageBox(pid, L"終了確認", IDYES, 20s));
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::Pids(hv::names::kLimiterFile).empty(); }, 30s));
    // Nothing brings it back: the guardian had released the session.
    EXPECT_FALSE(e2e::WaitUntil([] { return !e2e::Pids(hv::names::kLimiterFile).empty(); }, 6s));
    // Its helper was told to stop.
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            const auto helpers = e2e::Pids(hv::names::kHelperFile);
            return std::find(helpers.begin(), helpers.end(), helperPid) == helpers.end();
        },
        20s));
}

TEST_F(Guardian, ForgedReleasesAreRefusedAndTheLimiterStillComesBack)
{
    Lock(kLockHash);
    StartGuard();
    HWND tray = AwaitLimiter(0);
    ASSERT_TRUE(tray);
    using hv::pipe::Status;
    const auto refused = static_cast<uint16_t>(Status::Refused);
    EXPECT_EQ(refused, Release(L"").status);     // none
    EXPECT_EQ(refused, Release(L"abd").status);  // a wrong one
    const uint16_t kind = static_cast<uint16_t>(hv::pipe::Kind::ReleaseSession);
    // Malformed and unknown requests are answered too.
    EXPECT_EQ(static_cast<uint16_t>(Status::Malformed), StatusOf(RawExchange({'n', 'o', 'n', 's', 'e', 'n', 's', 'e'})));
    EXPECT_EQ(static_cast<uint16_t>(Status::Malformed),
              StatusOf(RawExchange(hv::pipe::EncodeRequest(kind, {'a'}))));  // half a character
    EXPECT_EQ(static_cast<uint16_t>(Status::UnknownKind), StatusOf(RawExchange(hv::pipe::EncodeRequest(77, {}))));
    std::vector<uint8_t> huge = hv::pipe::EncodeRequest(kind, {});
    huge.resize(hv::pipe::kMaxMessageBytes + 100, 'x');
    // An over-long request is cut off by the server: answered "malformed", or,
    // when the server hangs up while the client still writes, not answered at
    // all. Either way it is never accepted.
    const uint16_t hugeStatus = StatusOf(RawExchange(huge));
    EXPECT_TRUE(hugeStatus == static_cast<uint16_t>(Status::Malformed) || hugeStatus == 0xFFFF) << hugeStatus;

    // The limiter's own exit without the prompt (a non-zero wParam skips it)
    // carries no password: the service says no and the limiter stays.
    const DWORD pid = limiter_test::ProcessOf(tray);
    PostMessageW(tray, WM_CLOSE, 1, 0);
    auto box = e2e::AwaitMessageBox(pid, L"Halvern Curfew", 30s);
    ASSERT_TRUE(box);
    EXPECT_EQ(L"Halvern Curfew Notification Service が終了を許可しなかったため、Halvern Curfew を終了できません。\n"
              L"(パスワード ロックのパスワードまたは管理者権限を確認してください。)",
              box->text);
    e2e::Screenshot(L"guardian_release_refused");
    EXPECT_TRUE(e2e::Answer(*box, IDOK));
    Sleep(500);
    EXPECT_EQ(pid, limiter_test::ProcessOf(limiter_test::TrayWindow()));

    KillBoth();
    EXPECT_TRUE(AwaitLimiter(pid)) << e2e::Pids(hv::names::kLimiterFile).size() << " limiters, "
                                   << e2e::Pids(hv::names::kHelperFile).size() << " helpers";
}

// No service: the exit works as it always did.
TEST_F(Guardian, WithoutTheServiceTheExitIsAsBefore)
{
    ASSERT_TRUE(limiter_test::TrayWindow() == nullptr);
    auto limiter = e2e::Start(hv::names::kLimiterFile);
    HWND tray = AwaitLimiter(0);
    ASSERT_TRUE(tray);
    PostMessageW(tray, WM_COMMAND, 40008, 0);
    EXPECT_NE(L"(no box)", e2e::AnswerMessageBox(limiter.pid(), L"終了確認", IDYES, 20s));
    EXPECT_EQ(0u, limiter.Wait(30000).value_or(1234));
}

}  // namespace
