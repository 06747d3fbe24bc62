// The limiter's side of the service's copy of the timer-mode state: what it
// may resume at start, and the reports whenever it stores the state. Without
// the service nothing happens here and the user's own record decides alone.
#pragma once

#include <windows.h>

#include <stdint.h>

namespace accounting {

// Posted to the tray window with what the service keeps, when that may be
// below the running count: wParam the timer value, lParam the grant period
// (TimerState::granted) that the question was sent in.
constexpr UINT WM_SERVICE_VALUE = WM_APP + 17;

enum class Resume {
    Held,      // the service holds a copy for today: `value`
    Nothing,   // no service, or nothing held for today
    NoAnswer,  // a service is there but did not answer (busy, say)
};
// What the service holds for this account today (timer value, already
// charged for a restart's gap). Waits for the answer (bounded): called once,
// before the count starts.
Resume AskResume(uint32_t& value);
// After NoAnswer: asked again in the background with every report until the
// service answers; a held copy comes to `tray` as WM_SERVICE_VALUE.
void ResumeLater(HWND tray, int64_t granted);
// Reports the timer value as stored, in the background: the once-a-second
// tick never waits on the pipe. Only the latest value not yet sent is sent.
// When the service keeps less, that comes to `tray` as WM_SERVICE_VALUE.
void Report(HWND tray, uint32_t value, int64_t granted);
// Reports and waits for it (bounded): at an orderly end.
void ReportNow(uint32_t value);

}  // namespace accounting
