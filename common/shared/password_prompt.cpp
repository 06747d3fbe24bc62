// The password prompt that guards privileged actions while a password lock is
// set: three wrong entries end it as a cancellation. Every program shows it
// from its own template number.
#include "hvShared.h"

#include "cfwCommon.h"
#include "cfwHook.h"
#include "shared_resource.h"

namespace hv {
namespace {

struct PasswordContext {
    uint32_t lockHash = 0;
    int failures = 0;
    std::wstring* typed = nullptr;  // receives an accepted entry when given
};

void OnInit(HWND dlg)
{
    HWND edit = GetDlgItem(dlg, IDC_PASSWORD_EDIT);
    SendMessageW(edit, EM_LIMITTEXT, kPasswordMaxChars, 0);
    SendMessageW(edit, EM_SETPASSWORDCHAR, 0x25CF, 0);
    SetFocus(edit);
}

void Complain(HWND dlg, unsigned text, unsigned caption, UINT style)
{
    CFWHL_MessageBoxW(dlg, LoadText(text).c_str(), LoadText(caption).c_str(), style);
}

// OK: judge the entry; true when the prompt ends (result in *result).
bool OnOk(HWND dlg, PasswordContext& ctx, INT_PTR* result)
{
    wchar_t typed[kPasswordMaxChars + 1] = {};
    GetDlgItemTextW(dlg, IDC_PASSWORD_EDIT, typed, kPasswordMaxChars + 1);
    const bool empty = typed[0] == L'\0';
    const uint32_t hash = empty ? 0 : GetPasswordHashW(typed);
    const PasswordVerdict verdict = JudgePassword(ctx.failures, empty, hash, ctx.lockHash);
    if (verdict == PasswordVerdict::Accepted && ctx.typed)
        ctx.typed->assign(typed);
    SecureZeroMemory(typed, sizeof typed);

    switch (verdict) {
    case PasswordVerdict::Accepted:
        *result = 1;
        return true;
    case PasswordVerdict::Empty:
        Complain(dlg, IDS_PASSWORD_EMPTY, IDS_PASSWORD_ENTRY_ERROR, MB_ICONEXCLAMATION);
        break;
    case PasswordVerdict::Wrong:
        Complain(dlg, IDS_PASSWORD_WRONG, IDS_PASSWORD_ENTRY_ERROR, MB_ICONEXCLAMATION);
        break;
    case PasswordVerdict::GiveUp:
        Complain(dlg, IDS_PASSWORD_WRONG, IDS_PASSWORD_ENTRY_ERROR, MB_ICONEXCLAMATION);
        Complain(dlg, IDS_PASSWORD_GIVE_UP, IDS_PASSWORD_FAILED, MB_ICONHAND);
        *result = 2;
        return true;
    }
    // Ready for the next attempt: typing replaces the previous entry.
    HWND edit = GetDlgItem(dlg, IDC_PASSWORD_EDIT);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return false;
}

INT_PTR HandleMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
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

INT_PTR CALLBACK PasswordDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    return Guarded<INT_PTR>(FALSE, [&] { return HandleMessage(dlg, msg, wp, lp); });
}

}  // namespace

INT_PTR RunPasswordPrompt(HINSTANCE module, int templateId, HWND owner, uint32_t lockHash, std::wstring* typed)
{
    PasswordContext ctx;
    ctx.lockHash = lockHash;
    ctx.typed = typed;
    const INT_PTR r = CFWHL_DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), owner, PasswordDlgProc,
                                            reinterpret_cast<LPARAM>(&ctx));
    // A prompt that could not be shown grants nothing.
    return r == 1 ? 1 : 2;
}

}  // namespace hv
