// Program-wide state of the limiter, owned by the main thread (the monitor
// thread only reads it), and the entry points its source files share.
#pragma once

#include <windows.h>

#include "cfwCommon.h"
#include "evaluation.h"
#include "hvShared.h"
#include "names.h"

// --- state (limiter_state.cpp) ---------------------------------------------
extern HINSTANCE g_instance;
extern DWORD g_osVersion;          // major * 256 + minor
extern wchar_t g_userName[32];     // current account; key of its UserData
extern UserData g_user;            // read at start and on every reload
extern OptionData g_options;       // read at start and on every reload
extern limiter::TimerState g_timer;  // D (displayed remainder) and V (timer value)
extern HWND g_trayWindow;
extern bool g_autoStarted;         // started by the helper or the service (kAutoStartSwitch)
extern HWND g_monitorWindow;       // null while no monitor window exists
extern HANDLE g_monitorThread;     // released by the tray's timer 3
extern HMENU g_popupMenu;          // menu resource 201
extern wchar_t g_helpPath[MAX_PATH];

// Images loaded after the window classes are registered, kept until shutdown.
enum TrayState { STATE_INIT, STATE_NOLIMIT, STATE_PLENTY, STATE_LITTLE, STATE_OUT, STATE_COUNT };
struct LimiterImages {
    HICON overlay[STATE_COUNT];      // 114, 113, 110, 111, 112 (16x16)
    HICON stateSmall[7];             // 102..108 at 16x16
    HBITMAP picture[STATE_COUNT];    // 300..304
};
extern LimiterImages g_images;

// What the monitor thread shows of the current account: a copy of the record
// and the displayed remainder, taken whole under a lock, so that a reload
// that rewrites the record in place can never show half of each.
struct LiveState {
    UserData user;
    int32_t displayed;
};
void PublishLiveState();    // main thread, after every change of g_user or g_timer
LiveState ReadLiveState();  // any thread
// Evaluations follow the zone recorded with the settings; without one (an
// older installation) the session's own. At start and on every reload.
void LoadEvaluationZone();

using hv::names::kHelperClass;
using hv::names::kMonitorClass;
using hv::names::kTrayClass;
constexpr UINT WM_APPLY_SETTINGS = hv::names::kApplySettingsMessage;
constexpr UINT WM_HELPER_STOP = hv::names::kHelperStopMessage;  // the same number, sent to the helper's window

// --- tray window (tray_window.cpp) -----------------------------------------
LRESULT CALLBACK TrayWndProc(HWND, UINT, WPARAM, LPARAM);

// --- time-out (timeout.cpp) -------------------------------------------------
// Stops the helper, shows the 30-second countdown and logs off or shuts down
// as TimeOutMode says; returns when the exit call was made or refused.
void RunTimeOutSequence(HWND tray);

// --- monitor window (monitor_window.cpp) -----------------------------------
LRESULT CALLBACK MonitorWndProc(HWND, UINT, WPARAM, LPARAM);
// Command 40000: raise the existing monitor window or start its thread.
void OpenMonitorWindow();
// Command 40008: close the monitor window (if any) and wait for its thread.
void CloseMonitorWindowAndWait();

// --- taskbar jump list (jumplist.cpp) --------------------------------------
void BuildJumpList();
void ClearJumpList();

// --- the shared parts as the limiter shows them (shared_row.cpp) -------------
// 1 accepted, 2 cancelled or failed; with `typed` an accepted entry is handed back.
INT_PTR RunPasswordDialog(HWND owner, std::wstring* typed = nullptr);
INT_PTR RunAboutDialog(HWND owner);
int IsAdministratorsMember();           // 1, 0, or -1 when the lookup failed
// The limiter lets a failed lookup through.
bool CountsAsAdministrator();
int StartSettingsUtility(HWND owner);   // 1 started, 0 not
int ShowHelpFile(HWND owner);           // 0 when the help file is missing
using hv::CallHtmlHelp;
// The program's own folder with a trailing backslash (from its module file name).
inline const wchar_t* ProgramFolder() { return hv::ProgramFolder().c_str(); }

// --- user information dialog (userinfo_dialog.cpp) --------------------------
INT_PTR RunUserInfoDialog(HWND owner);
