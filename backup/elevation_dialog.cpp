// The offer to restart the tool with administrator rights (dialog 504): an
// administrator whose rights User Account Control withholds can restore only
// from an elevated copy.
#include <windows.h>
#include <commctrl.h>

#include "backup.h"
#include "hvShared.h"
#include "names.h"
#include "resource.h"

namespace {

void OnInit(HWND dlg)
{
    SendDlgItemMessageW(dlg, IDC_ELEVATE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)),
                        0);
    SendDlgItemMessageW(dlg, IDYES, BCM_SETSHIELD, 0, TRUE);
    MessageBeep(MB_ICONEXCLAMATION);
}

// The elevated copy takes over the single-instance mutex; when it could not
// be started, this copy takes it back and the offer stays open.
void OnYes(HWND dlg)
{
    g_mutex.reset();
    if (hv::RestartElevated(dlg, nullptr)) {
        EndDialog(dlg, IDYES);
        return;
    }
    g_mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kBackupMutex));
}

INT_PTR HandleMessage(HWND dlg, UINT msg, WPARAM wp)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit(dlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDYES:
            OnYes(dlg);
            return TRUE;
        case IDNO:
        case IDCANCEL:
            EndDialog(dlg, IDNO);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK ElevationDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&] { return HandleMessage(dlg, msg, wp); });
}

}  // namespace

INT_PTR RunElevationDialog()
{
    return DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_ELEVATE), nullptr, ElevationDlgProc, 0);
}
