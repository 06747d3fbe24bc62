// The service's decisions: the first argument, the settings dialog's button
// rule, the control handler's results and reports, and the notifier loop
// over sessions made up here.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "names.h"
#include "service_logic.h"

namespace {

using svc::Buttons;
using svc::Command;

TEST(ServiceCommandLine, SwitchesInAnyCaseAndTheLockRule)
{
    struct Case {
        bool present;
        const wchar_t* first;
        Command command;
        bool lock, admin;
    } cases[] = {
        {false, L"", Command::None, false, false},
        {true, L"/Service", Command::Service, false, false},
        {true, L"/service", Command::Service, true, false},  // only the exact spelling skips the lock
        {true, L"/SERVICE", Command::Service, true, false},
        {true, L"/Setup", Command::Setup, true, true},
        {true, L"/setup", Command::Setup, true, true},
        {true, L"/install", Command::Install, true, true},
        {true, L"/Install", Command::Install, true, true},
        {true, L"/UNINSTALL", Command::Uninstall, true, true},
        {true, L"", Command::Other, true, false},  // an empty first argument is an argument
        {true, L"/Installx", Command::Other, true, false},
        {true, L"/Instal", Command::Other, true, false},
        {true, L"Setup", Command::Other, true, false},
    };
    for (const auto& c : cases) {
        const auto choice = svc::ParseCommand(c.present, c.first);
        EXPECT_EQ(c.command, choice.command) << c.first;
        EXPECT_EQ(c.lock, choice.takesLock) << c.first;
        EXPECT_EQ(c.admin, choice.needsAdmin) << c.first;
    }
}

TEST(ServiceButtonRule, FollowsRegistrationStateAndStartType)
{
    struct Case {
        bool registered;
        uint32_t state;
        bool startAllowed;
        Buttons expected;  // enable, disable, start, stop, restart
    } cases[] = {
        {false, svc::kStateUnknown, true, {true, false, false, false, false}},
        {false, svc::kRunning, true, {true, false, false, false, false}},
        {true, svc::kStopped, true, {false, true, true, false, false}},
        {true, svc::kStopped, false, {false, true, false, false, false}},  // start type "disabled"
        {true, svc::kRunning, true, {false, true, false, true, true}},
        {true, svc::kStartPending, true, {false, true, false, false, false}},
        {true, svc::kStopPending, true, {false, true, false, false, false}},
        {true, svc::kStateUnknown, true, {false, true, false, false, false}},
        {true, 7, true, {false, true, false, false, false}},  // paused
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, svc::ButtonRule(c.registered, c.state, c.startAllowed))
            << c.registered << " " << c.state << " " << c.startAllowed;

    const Buttons running{false, true, false, true, true};
    EXPECT_EQ(running, svc::RegistrationRule(true, running));  // the state half is left alone
    EXPECT_EQ((Buttons{true, false, false, false, false}), svc::RegistrationRule(false, running));
}

// Records what the handler did, in order.
class FakeControl : public svc::ControlSeam {
public:
    void SetState(uint32_t state) override
    {
        state_ = state;
        log += "state" + std::to_string(state) + " ";
    }
    void Report() override { log += "report" + std::to_string(state_) + " "; }
    void WakeBody() override { log += "wake "; }
    uint32_t NotifySessions() override
    {
        log += "notify ";
        return started;
    }
    void SessionChanged(uint32_t event, uint32_t session) override
    {
        log += "session" + std::to_string(event) + ":" + std::to_string(session) + " ";
    }
    uint32_t state_ = svc::kRunning;
    uint32_t started = 0;
    std::string log;
};

TEST(ServiceControlHandler, ResultsAndReportsPerCode)
{
    struct Case {
        uint32_t control;
        uint32_t started;
        uint32_t result;
        const char* log;
    } cases[] = {
        // Stop pending is reported before the service thread wakes, so that
        // its "stopped" is the last report.
        {svc::kControlStop, 0, 0, "state3 report3 wake "},
        {svc::kControlShutdown, 0, 0, "state3 report3 wake "},
        {svc::kControlInterrogate, 0, 0, "report4 "},
        {hv::names::kNotifySettingsControl, 2, 2, "notify "},
        {hv::names::kNotifySettingsControl, 0, 0, "notify "},
        {hv::names::kNotifySettingsControl + 1, 5, 0, ""},
        {2, 5, 0, ""},  // pause: not accepted, nothing happens
    };
    for (const auto& c : cases) {
        FakeControl seam;
        seam.started = c.started;
        EXPECT_EQ(c.result, svc::HandleControl(c.control, seam)) << c.control;
        EXPECT_EQ(c.log, seam.log) << c.control;
    }
    // Session changes go to the guardian with their event and session.
    FakeControl seam;
    EXPECT_EQ(0u, svc::HandleControl(svc::kControlSessionChange, seam, svc::kSessionLogon, 3));
    EXPECT_EQ("session5:3 ", seam.log);
}

TEST(Guardian, WhichSessionsNeedALimiter)
{
    struct Case {
        svc::SessionView view;
        bool needs;
    } cases[] = {
        {{true, true, 1, false}, true},
        {{true, true, 5, false}, true},
        {{true, true, 0x00010005, false}, true},  // timer mode with carry-over
        {{true, true, 0, false}, false},           // no limit
        {{true, true, 0x00010000, false}, false},  // carry-over flag alone is no limit
        {{true, false, 1, false}, false},          // not registered
        {{false, true, 1, false}, false},          // nobody logged on
        {{true, true, 1, true}, false},            // released by an administrator
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.needs, svc::NeedsLimiter(c.view)) << c.view.hasUser << c.view.registered << c.view.limitMode
                                                      << c.view.released;
}

TEST(Guardian, ReleaseLastsUntilTheSessionsNextLogon)
{
    svc::ReleaseBook book;
    EXPECT_FALSE(book.Released(1, L"kid"));
    book.Release(1, L"kid");
    EXPECT_TRUE(book.Released(1, L"kid"));
    EXPECT_FALSE(book.Released(2, L"kid"));     // only that session
    EXPECT_FALSE(book.Released(1, L"other"));   // another account there is another logon
    book.Release(2, L"other");
    book.Forget(1);
    EXPECT_FALSE(book.Released(1, L"kid"));
    EXPECT_TRUE(book.Released(2, L"other"));

    EXPECT_TRUE(svc::EventEndsRelease(svc::kSessionLogon));
    EXPECT_TRUE(svc::EventEndsRelease(svc::kSessionLogoff));
    for (uint32_t event : {1u, 2u, 3u, 4u, 7u, 8u})  // connects, disconnects, locks
        EXPECT_FALSE(svc::EventEndsRelease(event)) << event;
}

TEST(Guardian, ReleaseVerdict)
{
    const uint32_t off = 0xFFFFFFFF, lock = 0x58A297AF;
    struct Case {
        uint32_t lock;
        bool given;
        uint32_t hash;
        bool admin;
        bool accepted;
    } cases[] = {
        {lock, true, lock, false, true},   // the password decides, whoever sends it
        {lock, true, lock, true, true},
        {lock, true, 1, true, false},      // wrong password, even from an administrator
        {lock, false, 0, true, false},     // none
        {lock, false, lock, true, false},  // a hash without a password is none
        {off, false, 0, true, true},       // no lock: the client's token decides
        {off, true, 5, true, true},
        {off, false, 0, false, false},
        {off, true, off, false, false},    // the "off" hash is no key
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.accepted, svc::AcceptRelease(c.lock, c.given, c.hash, c.admin))
            << std::hex << c.lock << " " << c.given << " " << c.hash << " " << c.admin;
}

// Sessions with or without a user token; launches fail for listed sessions
// (the notifier missing, say).
struct FakeToken {
    uint32_t session = 0;
    bool valid = false;
    explicit operator bool() const { return valid; }
};
struct FakeEnv {
    uint32_t session = 0;
    bool valid = false;
    explicit operator bool() const { return valid; }
};
struct FakeSessions {
    std::vector<uint32_t> list;
    std::vector<uint32_t> withToken, withEnvironment, launchFails;
    std::vector<uint32_t> launched;
    static bool In(const std::vector<uint32_t>& v, uint32_t id)
    {
        for (uint32_t x : v)
            if (x == id)
                return true;
        return false;
    }
    std::vector<uint32_t> Sessions() { return list; }
    FakeToken UserToken(uint32_t id) { return {id, In(withToken, id)}; }
    FakeEnv Environment(const FakeToken& t) { return {t.session, In(withEnvironment, t.session)}; }
    bool Launch(const FakeToken& t, const FakeEnv& e)
    {
        EXPECT_EQ(t.session, e.session);  // that user's own environment
        if (In(launchFails, t.session))
            return false;
        launched.push_back(t.session);
        return true;
    }
};

TEST(SessionNotifierLoop, CountsOnlyStartedNotifiers)
{
    struct Case {
        const char* name;
        FakeSessions seam;
        uint32_t expected;
        std::vector<uint32_t> launched;
    } cases[] = {
        {"no sessions", {{}, {}, {}, {}, {}}, 0, {}},
        {"one user", {{1}, {1}, {1}, {}, {}}, 1, {1}},
        {"two users in order", {{2, 1}, {1, 2}, {1, 2}, {}, {}}, 2, {2, 1}},
        {"services' session without a user", {{0, 1}, {1}, {0, 1}, {}, {}}, 1, {1}},
        {"no environment", {{1, 2}, {1, 2}, {2}, {}, {}}, 1, {2}},
        {"notifier missing", {{1, 2}, {1, 2}, {1, 2}, {1, 2}, {}}, 0, {}},
    };
    for (auto& c : cases) {
        EXPECT_EQ(c.expected, svc::StartNotifiers(c.seam)) << c.name;
        EXPECT_EQ(c.launched, c.seam.launched) << c.name;
    }
}

TEST(Notifier, ExitCodesAndSilentSwitch)
{
    EXPECT_EQ(0, svc::NotifierExitCode(svc::Delivery::Delivered));
    EXPECT_EQ(1, svc::NotifierExitCode(svc::Delivery::NoLimiter));
    EXPECT_EQ(2, svc::NotifierExitCode(svc::Delivery::NoAnswer));
    EXPECT_TRUE(svc::HasSilentSwitch({L"cfwNotify.exe", L"/Silent"}));
    EXPECT_TRUE(svc::HasSilentSwitch({L"cfwNotify.exe", L"/silent"}));
    EXPECT_FALSE(svc::HasSilentSwitch({L"/Silent"}));  // the program name is no switch
    EXPECT_FALSE(svc::HasSilentSwitch({L"cfwNotify.exe", L"/Silently"}));
    EXPECT_FALSE(svc::HasSilentSwitch({}));
}

}  // namespace
