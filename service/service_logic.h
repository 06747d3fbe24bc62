// The notification service's decisions without any Windows header: what the
// first argument asks for, which buttons of the settings dialog are usable,
// what the control handler does with a code, and the loop that starts one
// notifier per session. The platform calls come in through small seams so
// that these run with sessions, tokens and reports made up by a test.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace svc {

// --- command line -------------------------------------------------------------
enum class Command { None, Service, Setup, Install, Uninstall, Other };
struct CommandChoice {
    Command command;
    bool takesLock;   // the single-instance mutex is created first
    bool needsAdmin;  // Administrators member with an elevated token
};
// `present` is false when there is no first argument at all. The switches
// are matched in any letter case; only "/Service" exactly as the service
// manager is given it skips the lock.
CommandChoice ParseCommand(bool present, const std::wstring& first);

// --- service states as the service manager reports them ------------------------
constexpr uint32_t kStateUnknown = 0;
constexpr uint32_t kStopped = 1;
constexpr uint32_t kStartPending = 2;
constexpr uint32_t kStopPending = 3;
constexpr uint32_t kRunning = 4;

// --- settings dialog -------------------------------------------------------------
struct Buttons {
    bool enable, disable, start, stop, restart;
    bool operator==(const Buttons& o) const
    {
        return enable == o.enable && disable == o.disable && start == o.start && stop == o.stop &&
               restart == o.restart;
    }
};
// The whole rule: registration first, then the state (0 when it could not be
// read), then whether the start type allows a start.
Buttons ButtonRule(bool registered, uint32_t state, bool startAllowed);
// The registration half alone (the faster of the dialog's two timers): the
// start, stop and restart buttons are left as they are while registered.
Buttons RegistrationRule(bool registered, const Buttons& current);

// --- control handler -----------------------------------------------------------------
constexpr uint32_t kControlStop = 1;
constexpr uint32_t kControlInterrogate = 4;
constexpr uint32_t kControlShutdown = 5;
constexpr uint32_t kControlSessionChange = 14;

// What the handler may touch: the status record's state, the report to the
// service manager, the wake-up of the service thread and the notifier.
class ControlSeam {
public:
    virtual ~ControlSeam() = default;
    virtual void SetState(uint32_t state) = 0;
    virtual void Report() = 0;          // the status record as it is now
    virtual void WakeBody() = 0;        // after the report, never before
    virtual uint32_t NotifySessions() = 0;
    // A session logged on, off, connected... (event, session id).
    virtual void SessionChanged(uint32_t event, uint32_t session) = 0;
};
// The handler's result for `control`: 0, or for the settings code the number
// of notifiers started. Only records, reports and signals; the service thread
// does the rest.
uint32_t HandleControl(uint32_t control, ControlSeam& seam, uint32_t eventType = 0, uint32_t session = 0);

// --- session notifier ------------------------------------------------------------------
// For each session in order: its user's token (sessions without one are
// skipped), that user's environment (skipped without one), the start of the
// notifier. Returns how many started. `Seam` offers
//   std::vector<uint32_t> Sessions();
//   Token UserToken(uint32_t session);      // Token tests false when none
//   Env Environment(const Token&);          // Env tests false when none
//   bool Launch(const Token&, const Env&);
template <typename Seam>
uint32_t StartNotifiers(Seam& seam)
{
    uint32_t started = 0;
    for (uint32_t session : seam.Sessions()) {
        auto token = seam.UserToken(session);
        if (!token)
            continue;
        auto environment = seam.Environment(token);
        if (!environment)
            continue;
        if (seam.Launch(token, environment))
            ++started;
    }
    return started;
}

// --- guardian ---------------------------------------------------------------------
// What the guardian knows of one session.
struct SessionView {
    bool hasUser = false;     // a user is logged on (a token could be had)
    bool registered = false;  // that account has a record under Users
    uint32_t limitMode = 0;   // its LimitMode (mode in the low 16 bits)
    bool released = false;    // an administrator ended its limiter
};
// True when the session must have a running limiter.
bool NeedsLimiter(const SessionView& session);

// Sessions whose limiter an administrator ended, each until its next logon:
// a log-off, a logon or another account in that session forgets it.
class ReleaseBook {
public:
    void Release(uint32_t session, const std::wstring& account);
    void Forget(uint32_t session);
    bool Released(uint32_t session, const std::wstring& account) const;

private:
    std::vector<std::pair<uint32_t, std::wstring>> released_;
};

// The release request's verdict: with a password lock only the password
// counts (its hash against the lock); without one, only whether the
// requesting process's own token is an Administrators member.
bool AcceptRelease(uint32_t lockHash, bool passwordGiven, uint32_t passwordHash, bool clientIsAdministrator);

// Session-change events the guardian reacts to (the platform's numbers).
constexpr uint32_t kSessionLogon = 5;
constexpr uint32_t kSessionLogoff = 6;
// True when the event ends a release of its session.
bool EventEndsRelease(uint32_t event);

// --- notifier (cfwNotify.exe) ----------------------------------------------------------
enum class Delivery { Delivered, NoLimiter, NoAnswer };
// Its exit code: 0 delivered, 1 no limiter in this session, 2 no answer.
int NotifierExitCode(Delivery delivery);
// True when one of the arguments after the program name is "/Silent" in any
// letter case.
bool HasSilentSwitch(const std::vector<std::wstring>& arguments);

}  // namespace svc
