#include "service_logic.h"

#include <wctype.h>

#include "names.h"

namespace svc {

namespace {

bool SameLetters(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (towlower(a[i]) != towlower(b[i]))
            return false;
    return i == a.size() && !b[i];
}

}  // namespace

CommandChoice ParseCommand(bool present, const std::wstring& first)
{
    if (!present)
        return {Command::None, false, false};
    if (SameLetters(first, L"/Service"))
        return {Command::Service, first != L"/Service", false};
    if (SameLetters(first, L"/Setup"))
        return {Command::Setup, true, true};
    if (SameLetters(first, L"/Install"))
        return {Command::Install, true, true};
    if (SameLetters(first, L"/Uninstall"))
        return {Command::Uninstall, true, true};
    return {Command::Other, true, false};
}

Buttons ButtonRule(bool registered, uint32_t state, bool startAllowed)
{
    if (!registered)
        return {true, false, false, false, false};
    switch (state) {
    case kStopped:
        return {false, true, startAllowed, false, false};
    case kRunning:
        return {false, true, false, true, true};
    default:
        return {false, true, false, false, false};
    }
}

Buttons RegistrationRule(bool registered, const Buttons& current)
{
    if (!registered)
        return {true, false, false, false, false};
    return {false, true, current.start, current.stop, current.restart};
}

uint32_t HandleControl(uint32_t control, ControlSeam& seam, uint32_t eventType, uint32_t session)
{
    switch (control) {
    case kControlStop:
    case kControlShutdown:
        // Reported before the service thread wakes: its "stopped" must be
        // the last report the manager keeps.
        seam.SetState(kStopPending);
        seam.Report();
        seam.WakeBody();
        return 0;
    case kControlInterrogate:
        seam.Report();
        return 0;
    case hv::names::kNotifySettingsControl:
        return seam.NotifySessions();
    case kControlSessionChange:
        seam.SessionChanged(eventType, session);
        return 0;
    default:
        return 0;
    }
}

bool NeedsLimiter(const SessionView& session)
{
    constexpr uint32_t kLimitNone = 0;
    return session.hasUser && session.registered && (session.limitMode & 0xFFFF) != kLimitNone &&
           !session.released;
}

void ReleaseBook::Release(uint32_t session, const std::wstring& account)
{
    Forget(session);
    released_.emplace_back(session, account);
}

void ReleaseBook::Forget(uint32_t session)
{
    for (auto it = released_.begin(); it != released_.end();)
        it = it->first == session ? released_.erase(it) : it + 1;
}

bool ReleaseBook::Released(uint32_t session, const std::wstring& account) const
{
    for (const auto& entry : released_)
        if (entry.first == session)
            return entry.second == account;
    return false;
}

bool AcceptRelease(uint32_t lockHash, bool passwordGiven, uint32_t passwordHash, bool clientIsAdministrator)
{
    constexpr uint32_t kLockOff = 0xFFFFFFFF;
    if (lockHash != kLockOff)
        return passwordGiven && passwordHash == lockHash;
    return clientIsAdministrator;
}

bool EventEndsRelease(uint32_t event)
{
    return event == kSessionLogon || event == kSessionLogoff;
}

int NotifierExitCode(Delivery delivery)
{
    switch (delivery) {
    case Delivery::Delivered:
        return 0;
    case Delivery::NoLimiter:
        return 1;
    case Delivery::NoAnswer:
    default:
        return 2;
    }
}

bool HasSilentSwitch(const std::vector<std::wstring>& arguments)
{
    for (size_t i = 1; i < arguments.size(); ++i)
        if (SameLetters(arguments[i], L"/Silent"))
            return true;
    return false;
}

}  // namespace svc
