// The limiter's watch over its helper: the helper is started again at once
// when its process ends (a wait on the process, not a poll for its window),
// with a slow check for a helper that lost its window. Also the limiter's
// side of what the helper keeps for a restarted limiter.
#pragma once

#include <windows.h>

#include <stdint.h>

namespace keeper {

// Posted to the tray window when the watched helper process ended (wParam:
// its process id).
constexpr UINT WM_HELPER_GONE = WM_APP + 16;
// The tray window's timer for the slow check.
constexpr UINT_PTR kCheckTimer = 4;

// Keeps the helper running from now on (unless an earlier start failed).
void Start(HWND tray);
// No more restarts; a running helper is left alone.
void Stop(HWND tray);
// Stop(), then tell the helper to end; a helper still starting up is let
// come up first (or it would outlive the limiter and start it again). With
// `wait` the limiter gives it longer and waits a second after.
void StopHelper(HWND tray, bool wait);
// A start of the helper failed: the limiter goes on without it. Cleared by
// AllowRetry (a cancelled end of session starts over).
bool GaveUp();
void AllowRetry();

// The tray window's handlers for kCheckTimer and WM_HELPER_GONE.
void OnCheckTimer(HWND tray);
void OnHelperGone(HWND tray, DWORD pid);

// Offers the time-out countdown's deadline (GetTickCount64 milliseconds) to
// the helper; returns the one it keeps (the earliest offered since it
// started), or `deadline` when no helper answers.
uint64_t OfferDeadline(uint64_t deadline);
// Offers the latest grant period (0 only asks); returns the one the helper
// keeps (the latest), or `granted` when no helper answers.
int64_t OfferGrant(int64_t granted);

}  // namespace keeper
