// The "please wait" window shown while the lists are filled: a modeless
// dialog that the caller titles, shows and destroys around its work.
#include "editor.h"

#include "cfwHook.h"
#include "resource.h"

namespace {

INT_PTR CALLBACK ProgressProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

HWND ShowProgressWindow(HWND owner, unsigned titleId, unsigned textId)
{
    HWND window = CFWHL_CreateDialogParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_PROGRESS), owner, ProgressProc, 0);
    if (!window)
        return nullptr;
    SetWindowTextW(window, hv::LoadText(titleId).c_str());
    SetDlgItemTextW(window, IDC_PROGRESS_TEXT, hv::LoadText(textId).c_str());
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}
