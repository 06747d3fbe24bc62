// Decisions of the helper's watch, apart from its window so that they can be
// tested natively: when to start the limiter, how long to give a started one
// to show its tray window, what the helper keeps for a restarted limiter, and
// where the limiter's program file is.
#pragma once

#include <stdint.h>

#include <string>

namespace helper {

// The helper waits on the limiter's process and wakes when it ends; this slow
// check only catches a limiter that lost its tray window but still runs.
constexpr unsigned kSafetyPeriodMs = 5000;
// A started limiter that shows no tray window within this time (it refused to
// run, hangs, or shows a box) is given up on; watching then goes on as before.
constexpr uint64_t kStartWaitLimitMs = 15000;

struct Watch {
    bool starting = false;  // a limiter was started and has no tray window yet
    uint64_t startedAt = 0;
};

enum class Action {
    None,          // nothing to do: the started limiter is still coming up
    WatchTray,     // a tray window exists: wait on the process that owns it
    StartLimiter,  // no tray window: start the limiter, then call Started()
};

// trayWindowExists: a window of the limiter's class is there; startedAlive:
// the limiter this helper started last is still running.
Action NextAction(Watch& watch, bool trayWindowExists, bool startedAlive, uint64_t nowMs);
void Started(Watch& watch, uint64_t nowMs);

// What the helper keeps for the limiter, since it outlives a killed limiter
// and a restarted one cannot trust what it finds in the user's registry: the
// time-out countdown's deadline (tick count; the earliest one offered wins,
// so that no message can put it off) and the latest grant period (the
// highest one offered wins, so that no message can bring a grant back).
struct Memo {
    uint64_t deadline = 0;  // 0: no countdown yet
    int64_t granted = 0;    // 0: nothing granted yet
};
// Offers a deadline (0 only asks); returns the one kept.
uint64_t OfferDeadline(Memo& memo, uint64_t deadline);
// Offers a grant period (0 or below only asks); returns the one kept.
int64_t OfferGrant(Memo& memo, int64_t granted);

// The file `name` in the folder of `moduleFile` (a full path as the module
// file name gives it); empty when `moduleFile` has no folder part, so that a
// bare name never goes to the shell's search.
std::wstring SiblingPath(const std::wstring& moduleFile, const wchar_t* name);

}  // namespace helper
