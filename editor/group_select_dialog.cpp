// Choosing the group of a user (506) from the registered groups.
#include "editor.h"

#include "cfwHook.h"
#include "resource.h"

namespace {

bool OnOk(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_GROUP_SELECT_LIST);
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) {
        CaptionedBox(dialog, IDS_GROUP_SELECT_NONE, IDS_GROUP_SELECT_CAPTION, MB_ICONSTOP);
        return false;
    }
    SetDlgItemTextW(GetWindow(dialog, GW_OWNER), IDC_USER_GROUP, ListBoxText(list, static_cast<int>(index)).c_str());
    return true;
}

INT_PTR CALLBACK GroupSelectProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            RefreshListBox(GetDlgItem(dialog, IDC_GROUP_SELECT_LIST), CFW_REG_GROUPS_W);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                if (OnOk(dialog))
                    EndDialog(dialog, 1);
                return TRUE;
            case IDCANCEL:
                EndDialog(dialog, 2);
                return TRUE;
            }
            break;
        }
        return FALSE;
    });
}

}  // namespace

INT_PTR RunGroupSelectDialog(HWND owner)
{
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_GROUP_SELECT), owner, GroupSelectProc, 0);
}
