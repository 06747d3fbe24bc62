// Entry point of the limiter: forward a command to the running limiter of this
// session, or start up as that limiter (settings, window classes, images, help,
// tray window) and run the message loop until the tray window is destroyed.
#include <windows.h>
#include <htmlhelp.h>
#include <objbase.h>
#include <shellapi.h>

#include <stdlib.h>
#include <time.h>
#include <wchar.h>
#include <wctype.h>

#include <utility>

#include "cfwHook.h"
#include "limiter.h"
#include "resource.h"
#include "tray_logic.h"

namespace {

void QueryUserName()
{
    DWORD size = ARRAYSIZE(g_userName);
    if (!GetUserNameW(g_userName, &size))
        g_userName[0] = L'\0';  // an unregistered account's defaults apply
}

// A second start with a switch: raise the running limiter and post it the
// matching command without waiting for it to be carried out.
void Forward(const wchar_t* argument)
{
    HWND tray = FindWindowW(kTrayClass, nullptr);
    if (!tray)
        return;
    SetActiveWindow(tray);
    SetForegroundWindow(tray);
    if (const int command = tray::ForwardedCommand(argument))
        PostMessageW(tray, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

bool RegisterWindowClass(const wchar_t* name, WNDPROC proc, int icon, int menu)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = 30;
    wc.hInstance = g_instance;
    wc.hIcon = static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(icon), IMAGE_ICON, 32, 32, LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(icon), IMAGE_ICON, 16, 16, LR_SHARED));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = menu ? MAKEINTRESOURCEW(menu) : nullptr;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

void UnregisterClasses()
{
    UnregisterClassW(kTrayClass, g_instance);
    UnregisterClassW(kMonitorClass, g_instance);
}

HICON LoadIconAt(int id, int size, UINT flags)
{
    return static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, flags));
}

void LoadImages()
{
    static const int kOverlays[STATE_COUNT] = {IDI_OVERLAY_INIT, IDI_OVERLAY_NOLIMIT, IDI_OVERLAY_PLENTY,
                                               IDI_OVERLAY_LITTLE, IDI_OVERLAY_OUT};
    for (int i = 0; i < STATE_COUNT; ++i)
        g_images.overlay[i] = LoadIconAt(kOverlays[i], 16, 0);
    const UINT colour = g_osVersion <= 0x500 ? LR_VGACOLOR : 0;
    for (int i = 0; i < 7; ++i) {
        g_images.stateSmall[i] = LoadIconAt(IDI_STATE_INIT + i, 16, colour);
    }
    for (int i = 0; i < STATE_COUNT; ++i)
        g_images.picture[i] = static_cast<HBITMAP>(
            LoadImageW(g_instance, MAKEINTRESOURCEW(IDB_STATE_INIT + i), IMAGE_BITMAP, 64, 64, 0));
}

void ReleaseImages()
{
    for (HICON& icon : g_images.overlay)
        if (icon)
            DestroyIcon(std::exchange(icon, nullptr));
    for (HICON& icon : g_images.stateSmall)
        if (icon)
            DestroyIcon(std::exchange(icon, nullptr));
    for (HBITMAP& bitmap : g_images.picture)
        if (bitmap)
            DeleteObject(std::exchange(bitmap, nullptr));
}

// "hvCurfew.chm" beside the program, with the drive letter in upper case. The
// module file name, not the command line, says where the program really is.
void BuildHelpPath()
{
    const std::wstring& module = hv::ProgramPath();
    if (module.empty() || module.size() >= MAX_PATH)
        return;
    wchar_t drive[_MAX_DRIVE], folder[_MAX_DIR], base[_MAX_FNAME], ext[_MAX_EXT];
    if (_wsplitpath_s(module.c_str(), drive, folder, base, ext) != 0)
        return;
    for (wchar_t* c = drive; *c; ++c)
        *c = static_cast<wchar_t>(towupper(*c));
    swprintf(g_helpPath, MAX_PATH, L"%ls%ls%ls.chm", drive, folder, base);
}

int RunMessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (CallHtmlHelp(nullptr, nullptr, HH_PRETRANSLATEMESSAGE, reinterpret_cast<DWORD_PTR>(&msg)))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunLimiter()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BuildJumpList();

    ReadOptionDataW(&g_options);
    LoadEvaluationZone();
    ReadUserDataW(g_userName, &g_user);
    g_timer.timerValue = g_user.LimitModeRemain;
    PublishLiveState();

    if (!RegisterWindowClass(kTrayClass, TrayWndProc, IDI_PROGRAM, 0) ||
        !RegisterWindowClass(kMonitorClass, MonitorWndProc, IDI_MONITOR, IDM_MONITOR_MENU)) {
        UnregisterClasses();
        CoUninitialize();
        return -1;
    }
    LoadImages();
    srand(static_cast<unsigned>(time(nullptr)));
    g_popupMenu = LoadMenuW(g_instance, MAKEINTRESOURCEW(IDM_POPUP));
    BuildHelpPath();
    DWORD_PTR helpCookie = 0;
    CallHtmlHelp(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&helpCookie));

    HWND tray = CreateWindowExW(0, kTrayClass, hv::LoadText(IDS_TITLE).c_str(), WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 32, 32,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, g_instance, nullptr);
    int code = 0;
    if (tray) {
        ShowWindow(tray, SW_SHOWMINIMIZED);
        UpdateWindow(tray);
        CFWHL_Init(tray);
        code = RunMessageLoop();
        CFWHL_Uninit();
    }
    CallHtmlHelp(nullptr, nullptr, HH_UNINITIALIZE, helpCookie);
    if (g_popupMenu)
        DestroyMenu(std::exchange(g_popupMenu, nullptr));
    UnregisterClasses();
    ReleaseImages();
    // Only after a normal end: a second start that found the limiter running
    // must not delete the running one's list.
    if (tray)
        ClearJumpList();
    CoUninitialize();
    return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    g_instance = instance;
    g_osVersion = hv::OsVersionNumber();
    QueryUserName();

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    g_autoStarted = argv && argc > 1 &&
                    CompareStringOrdinal(argv[1], -1, hv::names::kAutoStartSwitch, -1, TRUE) == CSTR_EQUAL;
    if (argv && argc > 1 && !g_autoStarted) {
        Forward(argv[1]);
        LocalFree(argv);
        return 0;
    }
    LocalFree(argv);
    return RunLimiter();
}
