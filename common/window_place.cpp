// Window placement, dialogs centred over their owner, message boxes and
// dialog boxes that come up centred, and the visual style of a window.
#include <windows.h>

#include "hvCommon.h"
#include "placement.h"
#include "raii.h"
#include "status.h"

using hvc::Done;

// The handle of the hook most recently installed for a centred box, alone in a
// section of its own (initialised, readable, writable data; not shared, so
// each process has its own).
__attribute__((section(".hvcShar"), used)) HHOOK g_centerHook = nullptr;

namespace {

hv::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The outer size that `cx` × `cy` asks for (see hv::OuterSizeFor); false for
// a window or reference window that cannot be measured, or refused sizes.
bool OuterSize(HWND hwnd, HWND ref, int cx, int cy, hv::Size* outer)
{
    RECT window, client;
    if (!GetWindowRect(hwnd, &window) || !GetClientRect(hwnd, &client))
        return false;
    hv::Size refClient;
    if (ref) {
        RECT r;
        if (!GetClientRect(ref, &r))
            return false;
        refClient = {r.right, r.bottom};
    }
    return hv::OuterSizeFor(ToRect(window), {client.right, client.bottom}, ref ? &refClient : nullptr, cx, cy,
                            outer);
}

// Set by the message-box calls. A message box may place itself while it
// initialises (some systems centre it on the screen), undoing the centring
// done just before; such a box is centred once more when it is first shown.
bool g_boxCall = false;
HWND g_box = nullptr;

void Unhook(HHOOK hook)
{
    UnhookWindowsHookEx(hook);
    g_boxCall = false;
    g_box = nullptr;
}

void ArmHook(HHOOK hook, bool messageBox)
{
    g_centerHook = hook;
    g_boxCall = hook && messageBox;
    g_box = nullptr;
}

LRESULT CALLBACK CenterOnInitDialog(int code, WPARAM wParam, LPARAM lParam)
{
    const HHOOK hook = g_centerHook;
    if (code == HC_ACTION) {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == WM_INITDIALOG && !g_box) {
            HVCSetCenterDialogWindow(call->hwnd);
            if (g_boxCall)
                g_box = call->hwnd;
            else
                Unhook(hook);
        } else if (g_box && call->hwnd == g_box) {
            if (call->message == WM_SHOWWINDOW && call->wParam) {
                HVCSetCenterDialogWindow(call->hwnd);
                Unhook(hook);
            } else if (call->message == WM_DESTROY) {
                Unhook(hook);
            }
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

extern "C" {

BOOL WINAPI HVCSetScreen(HWND hwnd, HWND ref, int x, int y, int cx, int cy)
{
    hv::Size outer;
    if (!hwnd || x < 0 || y < 0 || cx < 0 || cy < 0 || !OuterSize(hwnd, ref, cx, cy, &outer))
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    if (!SetWindowPos(hwnd, HWND_TOP, x, y, outer.cx, outer.cy, SWP_SHOWWINDOW))
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    return Done(HVCERR_SUCCESS, TRUE);
}

BOOL WINAPI HVCSetCenterScreen(HWND hwnd, HWND ref, int cx, int cy)
{
    hv::Size outer;
    if (!hwnd || cx < 0 || cy < 0 || !OuterSize(hwnd, ref, cx, cy, &outer))
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const hv::Point at = hv::CenterOn(ToRect(desktop), outer);
    // Left hidden: callers size the window while creating it and show it later.
    if (!SetWindowPos(hwnd, HWND_TOP, at.x, at.y, outer.cx, outer.cy, SWP_HIDEWINDOW))
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    return Done(HVCERR_SUCCESS, TRUE);
}

BOOL WINAPI HVCSetScreenEx(HWND hwnd, HWND ref, int mode, int x, int y, int cx, int cy)
{
    RECT now = {};
    GetWindowRect(hwnd, &now);
    BOOL ok = FALSE;
    switch (mode) {
    case HVC_SCREEN_AT:
        ok = HVCSetScreen(hwnd, ref, x, y, cx, cy);
        break;
    case HVC_SCREEN_CENTER:
        ok = HVCSetCenterScreen(hwnd, ref, cx, cy);
        break;
    case HVC_SCREEN_IN_PLACE:
        ok = HVCSetScreen(hwnd, ref, now.left, now.top, cx, cy);
        break;
    default:
        break;
    }
    return ok ? Done(HVCERR_SUCCESS, TRUE) : Done(HVCERR_INVALID_ARGUMENT, FALSE);
}

BOOL WINAPI HVCSetCenterDialogWindow(HWND dialog)
{
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const HWND owner = GetWindow(dialog, GW_OWNER);
    if (!owner)
        return FALSE;
    // Over a minimised owner the box stays where the system put it.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(owner, &placement) && placement.showCmd == SW_SHOWMINIMIZED)
        return FALSE;
    if (IsIconic(owner))
        return FALSE;
    RECT o, d;
    if (!GetWindowRect(owner, &o) || !GetWindowRect(dialog, &d))
        return FALSE;
    const hv::Point at = hv::CenterDialogOver(ToRect(work), ToRect(o), ToRect(d));
    return SetWindowPos(dialog, HWND_NOTOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

int WINAPI HVCMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    const HINSTANCE instance = owner ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE)) : nullptr;
    ArmHook(SetWindowsHookExA(WH_CALLWNDPROC, CenterOnInitDialog, instance, GetCurrentThreadId()), true);
    return MessageBoxA(owner, text, caption, style);
}

int WINAPI HVCMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style)
{
    const HINSTANCE instance = owner ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)) : nullptr;
    ArmHook(SetWindowsHookExW(WH_CALLWNDPROC, CenterOnInitDialog, instance, GetCurrentThreadId()), true);
    return MessageBoxW(owner, text, caption, style);
}

INT_PTR WINAPI HVCDialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    ArmHook(SetWindowsHookExA(WH_CALLWNDPROC, CenterOnInitDialog, instance, GetCurrentThreadId()), false);
    return DialogBoxParamA(instance, templateName, owner, proc, param);
}

INT_PTR WINAPI HVCDialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    ArmHook(SetWindowsHookExW(WH_CALLWNDPROC, CenterOnInitDialog, instance, GetCurrentThreadId()), false);
    return DialogBoxParamW(instance, templateName, owner, proc, param);
}

HRESULT WINAPI HVCSetVisualStyle(HWND hwnd, int style)
{
    // From the system folder only, never from wherever the search path leads.
    hv::UniqueModule uxtheme(LoadLibraryExW(L"UxTheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!uxtheme)
        return Done(HVCERR_NOT_FOUND, static_cast<HRESULT>(0));
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    const auto setTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(uxtheme.get(), "SetWindowTheme")));
    if (!setTheme)
        return Done(HVCERR_NOT_SUPPORTED, static_cast<HRESULT>(0));
    const HRESULT hr = style ? setTheme(hwnd, L"Explorer", nullptr) : setTheme(hwnd, L"", L"");
    return Done(HVCERR_SUCCESS, hr);
}

}  // extern "C"
