// Page 602 of the setup wizard: the password lock, Next only while the two
// fields agree.
#include "wizard_pages.h"

#include <commctrl.h>
#include <prsht.h>

#include "editor_logic.h"
#include "resource.h"

namespace wizard {
namespace {

editor::PasswordPageState ComparePasswords(HWND page)
{
    return editor::JudgePasswordPage(PasswordFieldText(page, IDC_WIZARD_PASSWORD),
                                     PasswordFieldText(page, IDC_WIZARD_CONFIRM));
}

}  // namespace

INT_PTR CALLBACK PasswordPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        INT_PTR handled = FALSE;
        if (CommonPageMessage(page, message, lParam, handled))
            return handled;
        switch (message) {
        case WM_INITDIALOG:
            for (int id : {IDC_WIZARD_PASSWORD, IDC_WIZARD_CONFIRM}) {
                SendDlgItemMessageW(page, id, EM_LIMITTEXT, hv::kPasswordMaxChars, 0);
                SendDlgItemMessageW(page, id, EM_SETPASSWORDCHAR, kPasswordChar, 0);
            }
            return TRUE;
        case WM_COMMAND:
            if ((LOWORD(wParam) == IDC_WIZARD_PASSWORD || LOWORD(wParam) == IDC_WIZARD_CONFIRM) &&
                HIWORD(wParam) == EN_CHANGE) {
                const editor::PasswordPageState state = ComparePasswords(page);
                SetDlgItemTextW(page, IDC_WIZARD_MATCH, hv::LoadText(state.indicator).c_str());
                SetButtons(page, state.buttons);
            }
            return FALSE;
        case WM_NOTIFY:
            switch (NotifyCode(lParam)) {
            case PSN_SETACTIVE:
                SetButtons(page, ComparePasswords(page).buttons);
                return Result(page, 0);
            case PSN_WIZNEXT: {
                const std::wstring password = PasswordFieldText(page, IDC_WIZARD_PASSWORD);
                g_record.PasswordLockHash =
                    password.empty() ? PASSWORD_LOCK_OFF : GetPasswordHashW(password.c_str());
                SetButtons(page, editor::kWizBack | editor::kWizFinish);
                return FALSE;
            }
            case PSN_WIZBACK:
                SetButtons(page, editor::kWizBack | editor::kWizNext);
                return FALSE;
            }
            break;
        }
        return FALSE;
    });
}

}  // namespace wizard
