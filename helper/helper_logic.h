// Decisions of the helper's watch, apart from its window so that they can be
// tested natively: when to start the limiter, how long to wait for its tray
// window, and where the limiter's program file is.
#pragma once

#include <stdint.h>

#include <string>

namespace helper {

constexpr unsigned kWatchPeriodMs = 64;  // look for the tray window this often
constexpr unsigned kWaitPollMs = 5;      // and this often while a started limiter comes up
// A started limiter that shows no tray window within this time (it refused to
// run, hangs, or shows a box) is given up on; watching then goes on as before.
constexpr uint64_t kStartWaitLimitMs = 15000;

enum class Phase { Watching, Waiting };
struct Watch {
    Phase phase = Phase::Watching;
    uint64_t startedAt = 0;
};

enum class Action {
    None,            // nothing to do on this tick
    StartLimiter,    // no tray window: start the limiter, then call Started()
    ResumeWatching,  // the wait is over (tray window seen, or the limit passed)
};

Action NextAction(Watch& watch, bool trayWindowExists, uint64_t nowMs);
void Started(Watch& watch, uint64_t nowMs);

// The file `name` in the folder of `moduleFile` (a full path as the module
// file name gives it); empty when `moduleFile` has no folder part, so that a
// bare name never goes to the shell's search.
std::wstring SiblingPath(const std::wstring& moduleFile, const wchar_t* name);

}  // namespace helper
