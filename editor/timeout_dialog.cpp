// The time-out action dialog (511): picks the action the limiters take at a
// time-out, with the description of the selected one beside the list.
#include "editor.h"

#include "cfwHook.h"
#include "editor_logic.h"
#include "resource.h"

namespace {

void ShowDescription(HWND dialog)
{
    const int position = static_cast<int>(SendDlgItemMessageW(dialog, IDC_TIMEOUT_LIST, CB_GETCURSEL, 0, 0));
    if (const unsigned id = editor::TimeoutDescription(position, false))
        SetDlgItemTextW(dialog, IDC_TIMEOUT_DESCRIPTION, hv::LoadText(id).c_str());
}

void OnInit(HWND dialog)
{
    for (int i = 0; i < editor::kTimeoutActionCount; ++i)
        SendDlgItemMessageW(dialog, IDC_TIMEOUT_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(hv::LoadText(editor::TimeoutActionText(i)).c_str()));
    SendDlgItemMessageW(dialog, IDC_TIMEOUT_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(editor::TimeoutSelection(g_editor.options.TimeOutMode)), 0);
    ShowDescription(dialog);
}

INT_PTR CALLBACK TimeoutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDC_TIMEOUT_LIST:
                ShowDescription(dialog);
                return TRUE;
            case IDOK: {
                const int position =
                    static_cast<int>(SendDlgItemMessageW(dialog, IDC_TIMEOUT_LIST, CB_GETCURSEL, 0, 0));
                if (position >= 0)
                    g_editor.options.TimeOutMode = static_cast<uint32_t>(position);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            case IDCANCEL:
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        }
        return FALSE;
    });
}

}  // namespace

INT_PTR RunTimeoutDialog(HWND owner)
{
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_TIMEOUT), owner, TimeoutProc, 0);
}
