// The two refusals at start: no administrator rights (513), and an
// administrator whose process runs without an elevated token (514), which
// can start an elevated copy of the utility in its place.
#include "editor.h"

#include <commctrl.h>

#include "cfwHook.h"
#include "resource.h"

namespace {

void ShowWarningIcon(HWND dialog)
{
    SendDlgItemMessageW(dialog, IDC_ADMISSION_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    MessageBeep(MB_ICONEXCLAMATION);
}

INT_PTR CALLBACK NotAdministratorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            ShowWarningIcon(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            break;
        }
        return FALSE;
    });
}

// The new instance must be able to take the single-instance mutex, so this
// one lets it go first and takes it back when the start failed.
bool StartElevatedCopy(HWND dialog)
{
    g_editor.mutex.reset();
    if (hv::RestartElevated(dialog, g_editor.firstArgument.c_str()))
        return true;
    while (!g_editor.mutex) {
        g_editor.mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kEditorMutex));
        if (!g_editor.mutex)
            Sleep(10);
    }
    return false;
}

INT_PTR CALLBACK ElevationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            ShowWarningIcon(dialog);
            SendDlgItemMessageW(dialog, IDOK, BCM_SETSHIELD, 0, TRUE);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                if (StartElevatedCopy(dialog))
                    EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        }
        return FALSE;
    });
}

}  // namespace

void ShowNotAdministratorDialog(HWND owner)
{
    CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_NOT_ADMIN), owner, NotAdministratorProc, 0);
}

bool ShowElevationDialog(HWND owner)
{
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_ELEVATE), owner, ElevationProc, 0) == IDOK;
}
