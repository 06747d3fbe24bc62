// Page 603 of the setup wizard: the end, where Finish hands the options over.
#include "wizard_pages.h"

#include <commctrl.h>
#include <prsht.h>

#include "cfwCommon.h"
#include "editor_logic.h"
#include "resource.h"

namespace wizard {
namespace {

// Finish hands the record over and writes it at once: "IsInitialized" must
// never stand beside options that were never written (the password prompt
// right after the wizard may still end the utility).
void Finish()
{
    g_editor.options = g_record;
    WriteOptionRecord(g_editor.options);
    MarkInitialized();
}

}  // namespace

INT_PTR CALLBACK DonePageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        INT_PTR handled = FALSE;
        if (CommonPageMessage(page, message, lParam, handled))
            return handled;
        if (message == WM_INITDIALOG)
            return TRUE;
        if (message != WM_NOTIFY)
            return FALSE;
        switch (NotifyCode(lParam)) {
        case PSN_SETACTIVE:
            SetButtons(page, editor::kWizBack | editor::kWizFinish);
            return Result(page, 0);
        case PSN_WIZBACK:
            SetButtons(page, editor::kWizBack | editor::kWizNext | editor::kWizDisabledFinish);
            return FALSE;
        case PSN_WIZFINISH:
            Finish();
            return Result(page, FALSE);
        }
        return FALSE;
    });
}

}  // namespace wizard
