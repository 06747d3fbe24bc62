// Pure decisions of the tray window and the time-out: which display state a
// remainder shows, the texts of each state, which warning a tick fires, when
// the running state is stored, the exit flags of a time-out and the command a
// forwarded start posts. No Windows header: the host build tests it.
#pragma once

#include <stdint.h>

#include <string>

#include "text_source.h"

namespace tray {

// Same order as the images loaded at start (icons 102..106, bitmaps 300..304).
enum DisplayState { STATE_INIT, STATE_NOLIMIT, STATE_PLENTY, STATE_LITTLE, STATE_OUT };

// -1 no limit, 0 out of time, 1..300 little left, above 300 plenty. A value
// below -1 cannot come from the evaluation; it shows as no limit.
DisplayState StateFor(int32_t remain);

// "-:--:--" for no limit, otherwise "H:MM:SS".
std::wstring FormatRemain(int32_t remain);

// String ids of a state's texts.
struct StateTexts {
    unsigned tip;          // may hold one %s for the account name
    unsigned description;  // taskbar overlay description, minimised title
};
const StateTexts& TextsOf(DisplayState state);
std::wstring TipFor(DisplayState state, const wchar_t* userName, hv::TextFn text);

enum BalloonKind { BALLOON_NONE, BALLOON_INFO, BALLOON_WARNING, BALLOON_ERROR };
struct Warning {
    int32_t threshold;  // seconds; 0 for the time-out
    BalloonKind kind;
    unsigned title;     // string ids
    unsigned text;
    unsigned boxStyle;  // message box style where balloons are not supported
};
enum WarningId { WARN_NONE = -1, WARN_10MIN, WARN_5MIN, WARN_3MIN, WARN_1MIN, WARN_TIMEOUT };
const Warning& WarningOf(WarningId id);

// Fires each of the 10, 5, 3 and 1-minute warnings once as the remainder
// reaches or passes its threshold, also when a late tick skips the exact
// second; when one gap passes several thresholds only the most urgent shows.
// No limit counts as more than any threshold. The first tick has nothing to
// compare with and fires only on an exact threshold.
class WarningTracker {
public:
    WarningId Next(int32_t remain);
    void Reset() { hasPrevious_ = false; }

private:
    bool hasPrevious_ = false;
    int32_t previous_ = 0;
};

// Whether the timer mode's running state should be written now: the stored
// remainder changed and the last write lies kStoreEverySeconds back. A
// limiter killed and restarted is charged the seconds since the last write
// (see GetTimerAllowance), so writing more often gains nothing; the restart
// must only fall within that charge's reach.
constexpr int64_t kStoreEverySeconds = 5;
struct StateStore {
    bool stored = false;
    uint32_t remain = 0;
    int64_t when = 0;
};
bool ShouldStoreState(const StateStore& last, uint32_t remain, int64_t now);

// Flags for the exit-windows call after a time-out (log off 0, force 4,
// shut down 1, power off 8), or -1 when no exit call is made.
int ExitFlagsFor(uint32_t timeOutMode, bool countdownShown, uint32_t osVersion);

// Menu command that a start with this first argument forwards to the running
// limiter (compared whole and case-sensitively), or 0 when it only raises it.
int ForwardedCommand(const wchar_t* argument);

}  // namespace tray
