// The tray window: the limiter's main window. It owns the notification-area
// icon, the popup menu, the four timers, the once-a-second evaluation and
// display, the warnings, the reload of settings and both ways the limiter
// ends. The watch over the helper is helper_keeper.cpp.
#include <windows.h>
#include <htmlhelp.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <time.h>
#include <wchar.h>

#include <string>

#include "accounting.h"
#include "cfwHook.h"
#include "helper_keeper.h"
#include "hvCommon.h"
#include "limiter.h"
#include "notify_icon.h"
#include "raii.h"
#include "resource.h"
#include "taskbar.h"
#include "tray_logic.h"

namespace {

// Timer 4 is the helper keeper's slow check (keeper::kCheckTimer).
enum TimerId : UINT_PTR { TIMER_TICK = 1, TIMER_ICON = 2, TIMER_MONITOR = 3, TIMER_RESUME = 5 };

// An end of session that does not end this process within this time was not
// real (or was cancelled without telling): the limiter goes back to work.
constexpr UINT kResumeAfterMs = 5000;

// One tray window per process: its context lives as long as the program.
struct TrayContext {
    hv::UniqueHandle mutex;
    UINT taskbarButtonCreated = 0;
    HWND picture = nullptr;
    HWND remain = nullptr;
    hv::UniqueGdi labelFont;
    hv::UniqueGdi remainFont;
    NotifyIcon icon;
    TaskbarOverlay overlay;
    tray::WarningTracker warnings;
    tray::StateStore stored;
    int64_t sessionLastLogin = 0;  // the date of the previous end, kept in memory
    bool timeOutRunning = false;
    int64_t grantOffered = -1;  // the grant period last handed to the helper
    int applied = -1;           // the display state last applied, -1: apply it again
};
TrayContext g_ctx;

// --- platform pieces ---------------------------------------------------------

void SetPicture(tray::DisplayState state)
{
    SendMessageW(g_ctx.picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(g_images.picture[state]));
}

// Timer 3 watches for the end of the monitor thread. It runs only while a
// thread handle is kept: polling every 5 ms for nothing cost an idle limiter
// more CPU time than all its other timers together.
void StartMonitorWatch(HWND w)
{
    if (g_monitorThread)
        SetTimer(w, TIMER_MONITOR, 5, nullptr);
}

// The helper is kept while the limiter evaluates and while its time-out
// counts down: a limiter killed during the countdown must come back to it.
void StartTimers(HWND w, bool evaluation)
{
    // While the tick runs it keeps the icon present itself.
    SetTimer(w, evaluation ? TIMER_TICK : TIMER_ICON, 1000, nullptr);
    StartMonitorWatch(w);
    if (evaluation || g_ctx.timeOutRunning)
        keeper::Start(w);
}

void StopTimers(HWND w)
{
    for (UINT_PTR id : {TIMER_TICK, TIMER_ICON, TIMER_MONITOR, TIMER_RESUME})
        KillTimer(w, id);
    keeper::Stop(w);
}

// --- display ----------------------------------------------------------------

void ApplyState(HWND w, tray::DisplayState state, const tray::Warning* warning)
{
    const std::wstring tip = tray::TipFor(state, g_userName, hv::LoadText);
    g_ctx.icon.Show(g_images.stateSmall[state], tip.c_str(), warning);
    const std::wstring description = hv::LoadText(tray::TextsOf(state).description);
    g_ctx.overlay.Set(w, g_images.overlay[state], description.c_str());
    if (IsIconic(w))
        SetWindowTextW(w, description.c_str());
    SetPicture(state);
    if (warning && warning->boxStyle && g_osVersion <= 0x410) {
        SetActiveWindow(w);
        SetForegroundWindow(w);
        CFWHL_MessageBoxMostW(w, hv::LoadText(warning->text).c_str(), hv::LoadText(warning->title).c_str(),
                              warning->boxStyle);
    }
}

// --- running state ------------------------------------------------------------

// At an orderly end: the date of this end and, in timer mode, the remainder.
// The record in memory takes the stored date too: a session end that is then
// cancelled goes on like a new logon on the same day, so a time-out cannot be
// escaped by cancelling its log-off.
void StoreRunningState()
{
    const UserData state = limiter::StateToStore(g_user, g_timer, static_cast<int64_t>(time(nullptr)));
    WriteUserDataW(g_userName, &state, 1);
    if ((g_user.LimitMode & 0xFFFF) == LIMIT_TIMER && g_timer.counting)
        accounting::ReportNow(state.LimitModeRemain);
    g_user.LastLoginDate = state.LastLoginDate;
    g_user.LimitModeRemain = state.LimitModeRemain;
    g_ctx.sessionLastLogin = state.LastLoginDate;
}

// During a timer-mode session, whenever the remainder changes (at most once a
// second), so that a killed and restarted limiter resumes where this one
// stood. The stored date is today's; the record in memory keeps the previous
// end's date, which decides the midnight and noon grants.
void StoreRunningStateDuringSession(int64_t now)
{
    if ((g_user.LimitMode & 0xFFFF) != LIMIT_TIMER)
        return;
    if (!tray::ShouldStoreState(g_ctx.stored, g_user.LimitModeRemain, now))
        return;
    const UserData state = limiter::StateToStore(g_user, g_timer, now);
    if (WriteUserDataW(g_userName, &state, 1) == 1)
        g_ctx.stored = {true, g_user.LimitModeRemain, now};
    accounting::Report(g_trayWindow, state.LimitModeRemain, g_timer.granted);
}

// --- timers -------------------------------------------------------------------

void OnTick(HWND w)
{
    if (g_ctx.timeOutRunning)
        return;
    const int64_t now = static_cast<int64_t>(time(nullptr));
    const limiter::LocalTime local = limiter::ToLocalTime(now);
    GroupData group{};
    if ((g_user.LimitMode & 0xFFFF) == LIMIT_GROUP)
        ReadGroupDataW(g_user.Group, &group);
    const bool timerMode = (g_user.LimitMode & 0xFFFF) == LIMIT_TIMER;
    // A limiter restarted by the helper takes what the helper kept, which
    // outlives it and cannot be edited like the registry; likewise what the
    // service holds for this account today, which the user cannot touch.
    bool askAgain = false;
    if (timerMode && !g_timer.counting) {
        const int64_t kept = keeper::OfferGrant(0);
        g_timer.grantFloor = kept > 0 ? kept : -1;
        uint32_t held = 0;
        const accounting::Resume resume = accounting::AskResume(held);
        g_timer.serviceValue = resume == accounting::Resume::Held ? static_cast<int64_t>(held) : -1;
        askAgain = resume == accounting::Resume::NoAnswer;
    }
    const int32_t d = limiter::TimerTick(g_timer, g_user, group, local);
    // A service that could not answer (kept busy, say) is asked again while
    // the count runs; what it holds then lowers the count.
    if (askAgain)
        accounting::ResumeLater(w, g_timer.granted);
    PublishLiveState();
    if (timerMode && g_timer.granted > g_ctx.grantOffered)
        g_ctx.grantOffered = keeper::OfferGrant(g_timer.granted);
    StoreRunningStateDuringSession(now);

    SetWindowTextW(g_ctx.remain, tray::FormatRemain(d).c_str());
    const tray::WarningId warning = g_ctx.warnings.Next(d);
    if (d == 0) {
        ApplyState(w, tray::STATE_OUT, &tray::WarningOf(tray::WARN_TIMEOUT));
        KillTimer(w, TIMER_TICK);
        SetTimer(w, TIMER_ICON, 1000, nullptr);
        g_ctx.timeOutRunning = true;
        RunTimeOutSequence(w);
        g_ctx.timeOutRunning = false;
        return;
    }
    // A state already shown is not applied again (the overlay alone costs
    // a COM object a second); the icon is only kept present.
    const tray::DisplayState state = tray::StateFor(d);
    if (warning == tray::WARN_NONE && state == g_ctx.applied) {
        g_ctx.icon.KeepPresent();
        return;
    }
    ApplyState(w, state, warning == tray::WARN_NONE ? nullptr : &tray::WarningOf(warning));
    g_ctx.applied = state;
}

void OnMonitorTimer(HWND w)
{
    if (g_monitorThread) {
        DWORD code = 0;
        if (!GetExitCodeThread(g_monitorThread, &code) || code == STILL_ACTIVE)
            return;
        CloseHandle(g_monitorThread);
        g_monitorThread = nullptr;
    }
    KillTimer(w, TIMER_MONITOR);
}

// --- menu and commands ----------------------------------------------------------

HMENU PopupMenu() { return GetSubMenu(g_popupMenu, 0); }

// A box of the limiter's own texts through the hook library.
int Tell(HWND w, unsigned text, unsigned caption, UINT style)
{
    return CFWHL_MessageBoxW(w, hv::LoadText(text).c_str(), hv::LoadText(caption).c_str(), style);
}

void SetHideButtonItems(bool hidden)
{
    HMENU menu = PopupMenu();
    EnableMenuItem(menu, IDM_SHOWTIME, MF_BYCOMMAND | (hidden ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, IDM_HIDEBUTTON, MF_BYCOMMAND | (hidden ? MF_CHECKED : MF_UNCHECKED));
}

void ShowPopupMenu(HWND w)
{
    HMENU menu = PopupMenu();
    SetMenuDefaultItem(menu, IDM_MONITOR, FALSE);
    EnableMenuItem(menu, IDM_EXIT, MF_BYCOMMAND | (CountsAsAdministrator() ? MF_ENABLED : MF_GRAYED));
    SetActiveWindow(w);
    SetForegroundWindow(w);
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, w, nullptr);
    SendMessageW(w, WM_NULL, 0, 0);
}

// The stored running state may be newer than this session's start (it is
// written during a timer-mode session): the date of the previous end and the
// taskbar-button choice stay as this session knows them.
void ReloadSettings()
{
    const uint32_t hidden = g_user.HiddenButton;
    ReadOptionDataW(&g_options);
    LoadEvaluationZone();
    ReadUserDataW(g_userName, &g_user);
    g_user.LastLoginDate = g_ctx.sessionLastLogin;
    g_user.HiddenButton = hidden;
    PublishLiveState();
}

void OnCommand(HWND w, int id)
{
    switch (id) {
    case IDM_MONITOR:
        OpenMonitorWindow();
        StartMonitorWatch(w);
        break;
    case IDM_USERINFO:
        RunUserInfoDialog(w);
        break;
    case IDM_SHOWTIME:
        ShowWindow(w, SW_SHOW);
        ShowWindow(w, SW_RESTORE);
        break;
    case IDM_HIDEBUTTON:
        if (g_user.HiddenButton == 0) {
            SetHideButtonItems(true);
            g_user.HiddenButton = 1;
            ShowWindow(w, SW_HIDE);
        } else {
            SetHideButtonItems(false);
            g_user.HiddenButton = 0;
            ShowWindow(w, SW_SHOW);
        }
        break;
    case IDM_EDITOR:
        if (!StartSettingsUtility(w))
            Tell(w, IDS_EDITOR_FAILED, IDS_TITLE, MB_ICONSTOP);
        break;
    case IDM_APPLY:
        if (Tell(w, IDS_APPLY_QUESTION, IDS_CONFIRM_CAPTION, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            SendMessageW(w, WM_APPLY_SETTINGS, 0, 0);
            Tell(w, IDS_APPLY_DONE, IDS_APPLY_DONE_CAPTION, MB_ICONINFORMATION);
        }
        break;
    case IDM_HELP:
        if (!ShowHelpFile(w))
            Tell(w, IDS_HELP_MISSING, IDS_TITLE, MB_ICONSTOP);
        break;
    case IDM_ABOUT:
        RunAboutDialog(w);
        break;
    case IDM_EXIT:
        CloseMonitorWindowAndWait();
        SendMessageW(w, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

// --- creation and the two ends ------------------------------------------------------

constexpr int kLabelWidth = 272;

HFONT MakeFont(int height)
{
    return CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic");
}

// The label's font at height 14, or smaller where the face that stands in for
// "MS UI Gothic" is wider, so that its longest line is never cut off.
HFONT MakeLabelFont(HWND label, const std::wstring& text)
{
    const size_t newline = text.find(L'\n');
    const wchar_t* longest = text.c_str() + (newline == std::wstring::npos ? 0 : newline + 1);
    const int length = static_cast<int>(wcslen(longest));
    HDC dc = GetDC(label);
    int height = 14;
    for (; dc && height > 10; --height) {
        hv::UniqueGdi font(MakeFont(height));
        HGDIOBJ old = SelectObject(dc, font.get());
        SIZE size{};
        const bool fits = GetTextExtentPoint32W(dc, longest, length, &size) && size.cx <= kLabelWidth;
        SelectObject(dc, old);
        if (fits)
            break;
    }
    if (dc)
        ReleaseDC(label, dc);
    return MakeFont(height);
}

bool OnCreate(HWND w)
{
    g_ctx.mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kLimiterMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        g_ctx.mutex.reset();
        // The helper and the service may start one at the same moment; the
        // later of two automatic starts ends without a word.
        if (!g_autoStarted)
            MessageBoxW(w, hv::LoadText(IDS_ALREADY_RUNNING).c_str(), hv::LoadText(IDS_TITLE).c_str(), MB_ICONWARNING);
        return false;
    }
    g_trayWindow = w;
    g_ctx.sessionLastLogin = g_user.LastLoginDate;
    g_ctx.taskbarButtonCreated = RegisterWindowMessageW(L"TaskbarButtonCreated");

    HINSTANCE inst = g_instance;
    g_ctx.picture = CreateWindowExW(0, L"Static", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, 16, 16, 64, 64, w,
                                    reinterpret_cast<HMENU>(IDC_TRAY_PICTURE), inst, nullptr);
    const std::wstring labelText = hv::LoadText(IDS_TRAY_LABEL);
    HWND label = CreateWindowExW(0, L"Static", labelText.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 96, 16, kLabelWidth, 32, w,
                                 reinterpret_cast<HMENU>(IDC_TRAY_LABEL), inst, nullptr);
    g_ctx.remain = CreateWindowExW(0, L"Static", L"0:00:00", WS_CHILD | WS_VISIBLE | SS_CENTER, 96, 56, 272, 24, w,
                                   reinterpret_cast<HMENU>(IDC_TRAY_REMAIN), inst, nullptr);
    g_ctx.labelFont.reset(MakeLabelFont(label, labelText));
    g_ctx.remainFont.reset(MakeFont(16));
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(g_ctx.labelFont.get()), TRUE);
    SendMessageW(g_ctx.remain, WM_SETFONT, reinterpret_cast<WPARAM>(g_ctx.remainFont.get()), TRUE);

    const std::wstring initialising = hv::LoadText(IDS_STATE_INIT);
    g_ctx.icon.Create(w, g_images.stateSmall[tray::STATE_INIT], initialising.c_str());
    SetWindowTextW(w, initialising.c_str());
    SetPicture(tray::STATE_INIT);

    if (g_osVersion < 0x601) {
        EnableMenuItem(PopupMenu(), IDM_HIDEBUTTON, MF_BYCOMMAND | MF_GRAYED);
    } else {
        SetHideButtonItems(g_user.HiddenButton != 0);
    }

    // Start the one-second timers just after a whole second.
    hv::WaitForNextWholeSecond();

    HVCSetScreenEx(w, nullptr, HVC_SCREEN_AT, 32, 32, 384, 96);
    EnableMenuItem(GetSystemMenu(w, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    StartTimers(w, true);
    return true;
}

// While the service guards this session it would start the limiter again:
// it must release the session first, judging the password (or the caller's
// own rights) itself. Without the service the limiter ends as it always did.
bool ServiceReleases(HWND w, const std::wstring& password)
{
    hv::pipe::Message answer;
    const hv::PipeCall call = hv::CallService(static_cast<uint16_t>(hv::pipe::Kind::ReleaseSession),
                                              hv::pipe::EncodePassword(password), answer);
    switch (hv::pipe::JudgeRelease(call != hv::PipeCall::NoService, call == hv::PipeCall::Answered, answer)) {
    case hv::pipe::ReleaseVerdict::Go:
        return true;
    case hv::pipe::ReleaseVerdict::Refused:
        Tell(w, IDS_RELEASE_REFUSED, IDS_TITLE, MB_ICONSTOP);
        return false;
    case hv::pipe::ReleaseVerdict::NoAnswer:
    default:
        Tell(w, IDS_RELEASE_NO_ANSWER, IDS_TITLE, MB_ICONSTOP);
        return false;
    }
}

void OnClose(HWND w, WPARAM wp)
{
    if (!CountsAsAdministrator()) {
        MessageBoxW(w, hv::LoadText(IDS_NO_RIGHTS).c_str(), hv::LoadText(IDS_TITLE).c_str(), MB_ICONSTOP);
        return;
    }
    std::wstring password;
    if (wp == 0) {
        if (g_options.PasswordLockHash != PASSWORD_LOCK_OFF && RunPasswordDialog(w, &password) == 2)
            return;
        if (Tell(w, IDS_EXIT_QUESTION, IDS_EXIT_CAPTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO)
            return;
    }
    const bool released = ServiceReleases(w, password);
    SecureZeroMemory(password.data(), password.size() * sizeof(wchar_t));
    if (!released)
        return;
    StoreRunningState();
    StopTimers(w);
    keeper::StopHelper(w, true);
    CallHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    DestroyWindow(w);
}

// Any program of the session can send the query, so it only stores the
// running state: the limiter stops counting and its helper only when the
// session really ends (WM_ENDSESSION).
void OnQueryEndSession()
{
    StoreRunningState();
    CallHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

// The end is real: no more counting and no helper restarting the limiter
// while the session goes down. A process still alive a few seconds later
// was not ended after all (or the message was forged): back to work.
void OnEndSession(HWND w)
{
    StoreRunningState();
    g_ctx.icon.Remove();
    StopTimers(w);
    keeper::StopHelper(w, false);
    SetTimer(w, TIMER_RESUME, kResumeAfterMs, nullptr);
}

// A cancelled end of session: back to work. The next tick evaluates again, so
// a time-out whose log-off was cancelled runs once more. One cancelled while
// the countdown is still open leaves the evaluation stopped: the countdown's
// own exit call follows, and a refused one is not tried again.
void OnEndSessionCancelled(HWND w)
{
    KillTimer(w, TIMER_RESUME);
    keeper::AllowRetry();
    g_ctx.icon.Add();
    g_ctx.applied = -1;
    StartTimers(w, !g_ctx.timeOutRunning);
}

void OnDestroy()
{
    g_ctx.mutex.reset();
    g_ctx.overlay.Release();
    g_ctx.icon.Remove();
    g_ctx.labelFont.reset();
    g_ctx.remainFont.reset();
    g_trayWindow = nullptr;
    PostQuitMessage(0);
}

LRESULT HandleMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(w) ? 0 : -1;
    case WM_TIMER:
        switch (wp) {
        case TIMER_TICK:
            OnTick(w);
            return 0;
        case TIMER_ICON:
            g_ctx.icon.KeepPresent();
            return 0;
        case TIMER_MONITOR:
            OnMonitorTimer(w);
            return 0;
        case keeper::kCheckTimer:
            keeper::OnCheckTimer(w);
            return 0;
        case TIMER_RESUME:
            OnEndSessionCancelled(w);
            return 0;
        default:
            break;
        }
        break;
    case WM_COMMAND:
        OnCommand(w, LOWORD(wp));
        return 0;
    case WM_USER:
        if (wp == 1) {
            if (lp == WM_LBUTTONDBLCLK) {
                SetActiveWindow(w);
                SetForegroundWindow(w);
                OnCommand(w, IDM_MONITOR);
            } else if (lp == WM_RBUTTONUP) {
                ShowPopupMenu(w);
            }
        }
        return 0;
    case WM_RBUTTONUP:
        ShowPopupMenu(w);
        return 0;
    case WM_SIZE:
        g_ctx.applied = -1;  // the minimised title follows the state
        if (wp == SIZE_MINIMIZED) {
            if (g_osVersion < 0x601 || g_user.HiddenButton == 1)
                ShowWindow(w, SW_HIDE);
        } else if (wp == SIZE_RESTORED) {
            SetWindowTextW(w, hv::LoadText(IDS_TITLE).c_str());
        }
        return 0;
    case WM_CLOSE:
        OnClose(w, wp);
        return 0;
    case WM_QUERYENDSESSION:
        OnQueryEndSession();
        return TRUE;
    case WM_ENDSESSION:
        if (wp)
            OnEndSession(w);
        else
            OnEndSessionCancelled(w);
        return 0;
    case keeper::WM_HELPER_GONE:
        keeper::OnHelperGone(w, static_cast<DWORD>(wp));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case accounting::WM_SERVICE_VALUE:  // a forged one can only lower the count
        limiter::LowerToServiceValue(g_timer, g_user, static_cast<uint32_t>(wp), static_cast<int64_t>(lp));
        return 0;
    case WM_APPLY_SETTINGS:
        ReloadSettings();
        return 0;
    default:
        if (msg == g_ctx.taskbarButtonCreated && msg != 0) {
            g_ctx.overlay.ButtonCreated();
            g_ctx.overlay.Set(w, g_images.overlay[tray::STATE_INIT], hv::LoadText(IDS_STATE_INIT).c_str());
            g_ctx.applied = -1;  // until the next tick
        }
        break;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK TrayWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return hv::GuardedOr([&] { return HandleMessage(w, msg, wp, lp); }, [&] { return DefWindowProcW(w, msg, wp, lp); });
}
