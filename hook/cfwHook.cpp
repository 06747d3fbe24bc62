// Thin wrappers over the platform's boxes. Message boxes are centred when they
// are activated (after the box has placed itself); dialogs when they are
// initialised, before their own procedure runs, so a dialog that places
// itself still can.
#define CFWHOOK_BUILD
#include "cfwHook.h"

namespace {

thread_local HHOOK t_hook;
thread_local bool t_topmost;  // the box being shown must stay above other windows

void Unhook()
{
    if (t_hook) {
        UnhookWindowsHookEx(t_hook);
        t_hook = nullptr;
    }
}

void CentreOverOwner(HWND box)
{
    HWND owner = GetWindow(box, GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner))
        return;
    RECT o, b;
    GetWindowRect(owner, &o);
    GetWindowRect(box, &b);
    const LONG w = b.right - b.left, h = b.bottom - b.top;
    LONG x = o.left + ((o.right - o.left) - w) / 2;
    LONG y = o.top + ((o.bottom - o.top) - h) / 2;
    MONITORINFO mi = {sizeof(mi), {}, {}, 0};
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &mi)) {
        const RECT& wa = mi.rcWork;
        x = x + w > wa.right ? wa.right - w : x;
        y = y + h > wa.bottom ? wa.bottom - h : y;
        x = x < wa.left ? wa.left : x;
        y = y < wa.top ? wa.top : y;
    }
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK self = t_hook;
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        CentreOverOwner(box);
        if (t_topmost)
            SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Unhook();
    }
    return CallNextHookEx(self, code, wParam, lParam);
}

LRESULT CALLBACK DialogHook(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK self = t_hook;
    const CWPSTRUCT* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_INITDIALOG) {
        CentreOverOwner(msg->hwnd);
        Unhook();
    }
    return CallNextHookEx(self, code, wParam, lParam);
}

int ShowBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style, bool topmost)
{
    Unhook();
    t_topmost = topmost;
    if (owner || topmost)
        t_hook = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
    const int result = MessageBoxW(owner, text, caption, style);
    Unhook();  // the box may have failed before it was activated
    return result;
}

}  // namespace

extern "C" {

// Part of the interface the programs call; nothing here needs the main window.
void CFWHL_Init(HWND) {}

void CFWHL_Uninit(void) {}

int CFWHL_MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style)
{
    return ShowBox(owner, text, caption, style, false);
}

int CFWHL_MessageBoxMostW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style)
{
    return ShowBox(owner, text, caption, style | MB_TOPMOST | MB_SETFOREGROUND, true);
}

INT_PTR CFWHL_DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    Unhook();
    if (owner)
        t_hook = SetWindowsHookExW(WH_CALLWNDPROC, DialogHook, nullptr, GetCurrentThreadId());
    const INT_PTR result = DialogBoxParamW(instance, templateName, owner, proc, param);
    Unhook();
    return result;
}

HWND CFWHL_CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    return CreateDialogParamW(instance, templateName, owner, proc, param);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"
