// Program-wide state of the limiter.
#include "limiter.h"

HINSTANCE g_instance;
DWORD g_osVersion;
wchar_t g_userName[32];
UserData g_user;
OptionData g_options;
limiter::TimerState g_timer;
HWND g_trayWindow;
HWND g_monitorWindow;
HANDLE g_monitorThread;
HMENU g_popupMenu;
wchar_t g_helpPath[MAX_PATH];
LimiterImages g_images;

const wchar_t kTrayClass[] = L"hvCurfew2_Tray";
const wchar_t kMonitorClass[] = L"hvCurfew2_Main";
const wchar_t kHelperClass[] = L"cfwHelper";
