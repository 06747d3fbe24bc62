// Page 601 of the setup wizard: the time-out action, with its description.
#include "wizard_pages.h"

#include <commctrl.h>
#include <prsht.h>

#include "editor_logic.h"
#include "resource.h"

namespace wizard {
namespace {

void TakeTimeoutChoice(HWND page)
{
    const int position =
        static_cast<int>(SendDlgItemMessageW(page, IDC_WIZARD_TIMEOUT_LIST, CB_GETCURSEL, 0, 0));
    if (position >= 0)
        g_record.TimeOutMode = static_cast<uint32_t>(position);
    if (const unsigned id = editor::TimeoutDescription(position, true))
        SetDlgItemTextW(page, IDC_WIZARD_TIMEOUT_DESCRIPTION, hv::LoadText(id).c_str());
}

}  // namespace

INT_PTR CALLBACK TimeoutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        INT_PTR handled = FALSE;
        if (CommonPageMessage(page, message, lParam, handled))
            return handled;
        switch (message) {
        case WM_INITDIALOG:
            for (int i = 0; i < editor::kTimeoutActionCount; ++i)
                SendDlgItemMessageW(page, IDC_WIZARD_TIMEOUT_LIST, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(hv::LoadText(editor::TimeoutActionText(i)).c_str()));
            SendDlgItemMessageW(page, IDC_WIZARD_TIMEOUT_LIST, CB_SETCURSEL, 0, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_WIZARD_TIMEOUT_LIST)
                TakeTimeoutChoice(page);
            return FALSE;
        case WM_NOTIFY:
            switch (NotifyCode(lParam)) {
            case PSN_SETACTIVE:
                SetButtons(page, editor::kWizBack | editor::kWizNext);
                TakeTimeoutChoice(page);
                return Result(page, 0);
            case PSN_WIZBACK:
                SetButtons(page, editor::kWizNext);
                return FALSE;
            }
            break;
        }
        return FALSE;
    });
}

}  // namespace wizard
