// What the tests of the guardian and of the service's timer copies share: the
// guardian running in the test process for session 1 (Wine lists no sessions
// of its own, yet answers for session 1 with the user's token), and the
// user's own ways of ending the limiter.
#pragma once

#include <windows.h>

#include <chrono>
#include <vector>

#include "service.h"

namespace guard_test {

// The guardian for session 1 with the limiter of the build.
bool StartGuard(SessionGuard& guard);
// A tray window of a process other than `old` that shows a remainder (not the
// half-made one of a second start that is about to end); null when none came
// within `timeout`.
HWND AwaitLimiter(DWORD old, std::chrono::milliseconds timeout = std::chrono::seconds(30));
// The limiter and its helper ended by one command, as any user of the
// session may.
void KillBoth();
// Raw bytes to the pipe, as any program of the session may write them; the
// raw answer, empty when none came.
std::vector<uint8_t> RawExchange(const std::vector<uint8_t>& bytes);
// The status of a raw answer, 0xFFFF when it is not one.
uint16_t StatusOf(const std::vector<uint8_t>& reply);

}  // namespace guard_test
