// Program-wide state of the limiter.
#include "limiter.h"

#include <mutex>

HINSTANCE g_instance;
DWORD g_osVersion;
wchar_t g_userName[32];
UserData g_user;
OptionData g_options;
limiter::TimerState g_timer;
HWND g_trayWindow;
bool g_autoStarted = false;
HWND g_monitorWindow;
HANDLE g_monitorThread;
HMENU g_popupMenu;
wchar_t g_helpPath[MAX_PATH];
LimiterImages g_images;

namespace {
std::mutex g_liveLock;
LiveState g_live{};
}  // namespace

void PublishLiveState()
{
    std::lock_guard<std::mutex> hold(g_liveLock);
    g_live.user = g_user;
    g_live.displayed = g_timer.displayed;
}

void LoadEvaluationZone()
{
    hv::zone::Zone zone;
    limiter::SetEvaluationZone(hv::LoadRecordedZone(zone) ? &zone : nullptr);
}

LiveState ReadLiveState()
{
    std::lock_guard<std::mutex> hold(g_liveLock);
    return g_live;
}
