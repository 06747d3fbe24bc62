// The password lock dialog (512): sets, changes or removes the password lock.
// With a lock set, the current password is needed for every change.
#include "editor.h"

#include "cfwHook.h"
#include "editor_logic.h"
#include "resource.h"

namespace {

void OnInit(HWND dialog)
{
    for (int id : {IDC_LOCK_CURRENT, IDC_LOCK_NEW, IDC_LOCK_CONFIRM}) {
        SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, hv::kPasswordMaxChars, 0);
        SendDlgItemMessageW(dialog, id, EM_SETPASSWORDCHAR, kPasswordChar, 0);
    }
    if (g_editor.options.PasswordLockHash == PASSWORD_LOCK_OFF) {
        EnableWindow(GetDlgItem(dialog, IDC_LOCK_CURRENT_LABEL), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_LOCK_CURRENT), FALSE);
    }
}

void OnOk(HWND dialog)
{
    const std::wstring current = PasswordFieldText(dialog, IDC_LOCK_CURRENT);
    const std::wstring typed = PasswordFieldText(dialog, IDC_LOCK_NEW);
    const uint32_t lock = g_editor.options.PasswordLockHash;
    const editor::LockVerdict verdict = editor::JudgeLockChange(
        lock, lock == PASSWORD_LOCK_OFF ? 0 : GetPasswordHashW(current.c_str()), typed,
        PasswordFieldText(dialog, IDC_LOCK_CONFIRM));
    if (verdict == editor::LockVerdict::Removed)
        g_editor.options.PasswordLockHash = PASSWORD_LOCK_OFF;
    else if (verdict == editor::LockVerdict::Set)
        g_editor.options.PasswordLockHash = GetPasswordHashW(typed.c_str());
    const editor::LockMessage m = editor::LockVerdictMessage(verdict);
    CFWHL_MessageBoxW(dialog, hv::LoadText(m.text).c_str(), hv::LoadText(m.caption).c_str(), m.icon);
    if (verdict == editor::LockVerdict::Removed || verdict == editor::LockVerdict::Set)
        EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK PasswordLockProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog);
            return TRUE;
        case WM_ACTIVATE:
            // The current password first; without a lock it is disabled and
            // the caret goes to the new password instead of nowhere.
            if (LOWORD(wParam) != WA_INACTIVE) {
                HWND current = GetDlgItem(dialog, IDC_LOCK_CURRENT);
                SetFocus(IsWindowEnabled(current) ? current : GetDlgItem(dialog, IDC_LOCK_NEW));
            }
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                OnOk(dialog);
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

INT_PTR RunPasswordLockDialog(HWND owner)
{
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_LOCK), owner, PasswordLockProc, 0);
}
