// Keeps cfwHelper.exe running beside the limiter; see helper_keeper.h.
#include "helper_keeper.h"


#include <string>

#include "limiter.h"
#include "process_watch.h"

namespace keeper {
namespace {

constexpr UINT WM_HELPER_DEADLINE = hv::names::kHelperDeadlineMessage;
constexpr UINT WM_HELPER_GRANT = hv::names::kHelperGrantMessage;
constexpr UINT kCheckPeriodMs = 5000;
constexpr UINT kAnswerTimeoutMs = 2000;

struct Keeper {
    bool keeping = false;
    bool gaveUp = false;
    hv::ProcessWatch helper;  // the helper with the window, or the one started last
};
Keeper g_keeper;

// Programs are started only from the limiter's own folder, never by a bare
// name that the search path could resolve to a planted copy. The process is
// kept: it is waited on, and a helper still starting up (its window not yet
// there) is not started again.
bool StartHelperProcess(HWND tray)
{
    return hv::StartAndWatch(hv::SiblingPath(hv::names::kHelperFile), tray, g_keeper.helper, WM_HELPER_GONE);
}

void Check(HWND tray)
{
    if (!g_keeper.keeping)
        return;
    if (HWND w = FindWindowW(kHelperClass, nullptr)) {
        g_keeper.helper.WatchOwnerOf(w, tray, WM_HELPER_GONE);
        return;
    }
    if (g_keeper.helper.Alive())
        return;  // still starting up
    if (!StartHelperProcess(tray)) {
        g_keeper.gaveUp = true;
        Stop(tray);
    }
}

LRESULT Ask(UINT msg, WPARAM offer, LRESULT fallback)
{
    HWND w = FindWindowW(kHelperClass, nullptr);
    DWORD_PTR answer = 0;
    if (!w || !SendMessageTimeoutW(w, msg, offer, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer))
        return fallback;
    return static_cast<LRESULT>(answer);
}

}  // namespace

void Start(HWND tray)
{
    if (g_keeper.gaveUp)
        return;
    g_keeper.keeping = true;
    SetTimer(tray, kCheckTimer, kCheckPeriodMs, nullptr);
    Check(tray);
}

void Stop(HWND tray)
{
    g_keeper.keeping = false;
    KillTimer(tray, kCheckTimer);
}

void StopHelper(HWND tray, bool wait)
{
    Stop(tray);
    // A helper started a moment ago has no window yet to take the message;
    // it would outlive this limiter and start it again. Let it come up.
    if (g_keeper.helper.Alive() && !FindWindowW(kHelperClass, nullptr))
        WaitForInputIdle(g_keeper.helper.process(), wait ? 3000 : 1000);
    g_keeper.helper.Reset();
    HWND helper = FindWindowW(kHelperClass, nullptr);
    if (!helper)
        return;
    // A hung helper must not hang the limiter's end.
    SendMessageTimeoutW(helper, WM_HELPER_STOP, 0, 0, SMTO_ABORTIFHUNG, wait ? 5000 : 1000, nullptr);
    if (wait)
        Sleep(1000);
}

bool GaveUp() { return g_keeper.gaveUp; }
void AllowRetry() { g_keeper.gaveUp = false; }

void OnCheckTimer(HWND tray) { Check(tray); }

void OnHelperGone(HWND tray, DWORD pid)
{
    if (pid == g_keeper.helper.pid())
        Check(tray);
}

uint64_t OfferDeadline(uint64_t deadline)
{
    const LRESULT kept = Ask(WM_HELPER_DEADLINE, static_cast<WPARAM>(deadline), static_cast<LRESULT>(deadline));
    return kept == 0 ? deadline : static_cast<uint64_t>(kept);
}

int64_t OfferGrant(int64_t granted)
{
    return static_cast<int64_t>(Ask(WM_HELPER_GRANT, static_cast<WPARAM>(granted), static_cast<LRESULT>(granted)));
}

}  // namespace keeper
