#include "helper_logic.h"

#include "shared_logic.h"

namespace helper {

Action NextAction(Watch& watch, bool trayWindowExists, bool startedAlive, uint64_t nowMs)
{
    if (trayWindowExists) {
        watch.starting = false;
        return Action::WatchTray;
    }
    // A tick count that went backwards ends the wait too, rather than waiting ~forever.
    if (watch.starting && startedAlive && nowMs >= watch.startedAt && nowMs - watch.startedAt < kStartWaitLimitMs)
        return Action::None;
    watch.starting = false;
    return Action::StartLimiter;
}

void Started(Watch& watch, uint64_t nowMs)
{
    watch.starting = true;
    watch.startedAt = nowMs;
}

uint64_t OfferDeadline(Memo& memo, uint64_t deadline)
{
    if (deadline != 0 && (memo.deadline == 0 || deadline < memo.deadline))
        memo.deadline = deadline;
    return memo.deadline;
}

int64_t OfferGrant(Memo& memo, int64_t granted)
{
    if (granted > memo.granted)
        memo.granted = granted;
    return memo.granted;
}

std::wstring SiblingPath(const std::wstring& moduleFile, const wchar_t* name)
{
    return hv::PathInFolder(hv::FolderOfPath(moduleFile), name);
}

}  // namespace helper
