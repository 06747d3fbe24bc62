// The password prompt that guards privileged commands while a password lock
// is set: three wrong entries end it as a cancellation.
#include "limiter.h"

#include "cfwHook.h"
#include "dialog_logic.h"
#include "resource.h"

namespace {

const wchar_t kEntryErrorCaption[] = L"パスワード入力エラー";

struct PasswordContext {
    int failures = 0;
};

void OnInit(HWND dlg)
{
    HWND edit = GetDlgItem(dlg, IDC_PASSWORD_EDIT);
    SendMessageW(edit, EM_LIMITTEXT, limiter::kPasswordMaxChars, 0);
    SendMessageW(edit, EM_SETPASSWORDCHAR, 0x25CF, 0);
    SetFocus(edit);
}

// OK: judge the entry; true when the prompt ends (result in *result).
bool OnOk(HWND dlg, PasswordContext& ctx, INT_PTR* result)
{
    wchar_t typed[limiter::kPasswordMaxChars + 1] = {};
    GetDlgItemTextW(dlg, IDC_PASSWORD_EDIT, typed, limiter::kPasswordMaxChars + 1);
    const bool empty = typed[0] == L'\0';
    const uint32_t hash = empty ? 0 : GetPasswordHashW(typed);
    SecureZeroMemory(typed, sizeof typed);

    switch (limiter::JudgePassword(ctx.failures, empty, hash, g_options.PasswordLockHash)) {
    case limiter::PasswordVerdict::Accepted:
        *result = 1;
        return true;
    case limiter::PasswordVerdict::Empty:
        CFWHL_MessageBoxW(dlg, L"パスワードを入力してください。", kEntryErrorCaption, MB_ICONEXCLAMATION);
        break;
    case limiter::PasswordVerdict::Wrong:
        CFWHL_MessageBoxW(dlg, L"パスワードが違います。", kEntryErrorCaption, MB_ICONEXCLAMATION);
        break;
    case limiter::PasswordVerdict::GiveUp:
        CFWHL_MessageBoxW(dlg, L"パスワードが違います。", kEntryErrorCaption, MB_ICONEXCLAMATION);
        CFWHL_MessageBoxW(dlg, L"パスワードを 3 回間違えたため処理を中止します。", L"パスワード入力失敗",
                          MB_ICONHAND);
        *result = 2;
        return true;
    }
    // Ready for the next attempt: typing replaces the previous entry.
    HWND edit = GetDlgItem(dlg, IDC_PASSWORD_EDIT);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return false;
}

INT_PTR CALLBACK PasswordDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* ctx = reinterpret_cast<PasswordContext*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        OnInit(dlg);
        return FALSE;  // the focus was set
    case WM_ACTIVATE:
        // Handled here on activation, so that the dialog manager does not
        // put the focus back on whatever control last had it.
        if (LOWORD(wp) != WA_INACTIVE) {
            SetFocus(GetDlgItem(dlg, IDC_PASSWORD_EDIT));
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK: {
            INT_PTR result = 0;
            if (ctx && OnOk(dlg, *ctx, &result))
                EndDialog(dlg, result);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dlg, 2);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

INT_PTR RunPasswordDialog(HWND owner)
{
    PasswordContext ctx;
    INT_PTR r = CFWHL_DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_PASSWORD), owner, PasswordDlgProc,
                                      reinterpret_cast<LPARAM>(&ctx));
    // A prompt that could not be shown grants nothing.
    return r == 1 ? 1 : 2;
}
