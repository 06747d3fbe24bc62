// The limiter's side of the service's copy of the timer-mode state: what it
// may resume at start, and the reports whenever it stores the state. Without
// the service nothing happens here and the user's own record decides alone.
#pragma once

#include <stdint.h>

namespace accounting {

// What the service holds for this account today (timer value, already
// charged for a restart's gap); false without a service or a copy. Waits for
// the answer (bounded): called once, before the count starts.
bool AskResume(uint32_t& value);
// Reports the timer value as stored, in the background: the once-a-second
// tick never waits on the pipe. Only the latest value not yet sent is sent.
void Report(uint32_t value);
// The same, waiting for it (bounded): at an orderly end.
void ReportNow(uint32_t value);

}  // namespace accounting
