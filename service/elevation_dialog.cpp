// Dialog 503: an Administrators member whose process has no elevated token
// may start an elevated copy of the program with the same first argument.
#include "service.h"

#include <commctrl.h>

#include "resource.h"

namespace {

// The copy must be able to take the single-instance lock, so this one lets
// it go first and takes it back when the start failed.
bool StartElevatedCopy(HWND dialog)
{
    g_program.mutex.reset();
    if (hv::RestartElevated(dialog, g_program.firstArgument.c_str()))
        return true;
    RetakeLock();
    return false;
}

INT_PTR CALLBACK ElevationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            SendDlgItemMessageW(dialog, IDC_ELEVATE_ICON, STM_SETICON,
                                reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
            SendDlgItemMessageW(dialog, IDYES, BCM_SETSHIELD, 0, TRUE);
            MessageBeep(MB_ICONEXCLAMATION);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDYES:
                if (StartElevatedCopy(dialog))
                    EndDialog(dialog, IDYES);
                return TRUE;
            case IDNO:
            case IDCANCEL:
                g_program.mutex.reset();
                EndDialog(dialog, IDNO);
                return TRUE;
            }
            break;
        }
        return FALSE;
    });
}

}  // namespace

bool ShowElevationDialog()
{
    return DialogBoxParamW(g_program.instance, MAKEINTRESOURCEW(IDD_ELEVATE), nullptr, ElevationProc, 0) == IDYES;
}
