#include "helper_logic.h"

namespace helper {

Action NextAction(Watch& watch, bool trayWindowExists, uint64_t nowMs)
{
    if (watch.phase == Phase::Watching)
        return trayWindowExists ? Action::None : Action::StartLimiter;
    if (trayWindowExists || nowMs - watch.startedAt >= kStartWaitLimitMs || nowMs < watch.startedAt) {
        watch.phase = Phase::Watching;
        return Action::ResumeWatching;
    }
    return Action::None;
}

void Started(Watch& watch, uint64_t nowMs)
{
    watch.phase = Phase::Waiting;
    watch.startedAt = nowMs;
}

std::wstring SiblingPath(const std::wstring& moduleFile, const wchar_t* name)
{
    const size_t slash = moduleFile.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return std::wstring();
    return moduleFile.substr(0, slash + 1) + name;
}

}  // namespace helper
