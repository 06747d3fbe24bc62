// The restore dialog (502): what to restore from the chosen file, then the
// three restore operations in their order and one closing message.
#include <windows.h>

#include "backup.h"
#include "backup_logic.h"
#include "backup_store.h"
#include "cfwHook.h"
#include "hvShared.h"
#include "resource.h"

namespace {

const int kParts[] = {IDC_RESTORE_OPTIONS, IDC_RESTORE_USERS, IDC_RESTORE_GROUPS};

bool Ticked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

void UpdateOk(HWND dlg)
{
    bool any = false;
    for (int id : kParts)
        any = any || Ticked(dlg, id);
    EnableWindow(GetDlgItem(dlg, IDOK), any);
}

// Each ticked part runs regardless of the others' result.
void OnOk(HWND dlg, const std::wstring& path)
{
    if (CFWHL_MessageBoxW(dlg, hv::LoadText(IDS_RESTORE_QUESTION).c_str(),
                          hv::LoadText(IDS_RESTORE_QUESTION_CAPTION).c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    bool all = true;
    if (Ticked(dlg, IDC_RESTORE_OPTIONS) && !backup::RestoreOptions(path.c_str(), dlg))
        all = false;
    if (Ticked(dlg, IDC_RESTORE_USERS) && !backup::RestoreUsers(path.c_str()))
        all = false;
    if (Ticked(dlg, IDC_RESTORE_GROUPS) && !backup::RestoreGroups(path.c_str()))
        all = false;
    SetCursor(before);
    const backup::RestoreOutcome outcome = backup::RestoreOutcomeFor(all);
    CFWHL_MessageBoxW(dlg, hv::LoadText(outcome.text).c_str(), hv::LoadText(IDS_RESTORE_DONE_CAPTION).c_str(),
                      outcome.warning ? MB_ICONWARNING : MB_ICONINFORMATION);
    EndDialog(dlg, IDOK);
}

INT_PTR HandleMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        for (int id : kParts)
            CheckDlgButton(dlg, id, BST_CHECKED);
        return TRUE;
    case WM_COMMAND: {
        const auto* path = reinterpret_cast<const std::wstring*>(GetWindowLongPtrW(dlg, DWLP_USER));
        switch (LOWORD(wp)) {
        case IDC_RESTORE_OPTIONS:
        case IDC_RESTORE_USERS:
        case IDC_RESTORE_GROUPS:
            UpdateOk(dlg);
            return TRUE;
        case IDOK:
            if (path)
                OnOk(dlg, *path);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK RestoreDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    return hv::Guarded<INT_PTR>(FALSE, [&] { return HandleMessage(dlg, msg, wp, lp); });
}

}  // namespace

INT_PTR RunRestoreDialog(HWND owner, const std::wstring& path)
{
    return CFWHL_DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_RESTORE), owner, RestoreDlgProc,
                                 reinterpret_cast<LPARAM>(&path));
}
