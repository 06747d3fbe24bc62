// Page 600 of the setup wizard: the welcome, with Next alone.
#include "wizard_pages.h"

#include <commctrl.h>
#include <prsht.h>

#include "editor_logic.h"
#include "resource.h"

namespace wizard {

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        INT_PTR handled = FALSE;
        if (CommonPageMessage(page, message, lParam, handled))
            return handled;
        if (message == WM_INITDIALOG) {
            SetButtons(page, editor::kWizNext);
            return TRUE;
        }
        if (message == WM_NOTIFY && NotifyCode(lParam) == static_cast<UINT>(PSN_WIZNEXT))
            SetButtons(page, editor::kWizBack | editor::kWizNext);
        return FALSE;
    });
}

}  // namespace wizard
