// Adding a group (509): a typed name becomes a key under Groups.
#include "editor.h"

#include "cfwHook.h"
#include "resource.h"
#include "schedule_logic.h"

namespace {

std::wstring TypedName(HWND dialog)
{
    wchar_t name[editor::kGroupNameChars + 1] = {};
    GetDlgItemTextW(dialog, IDC_ADD_GROUP_NAME, name, ARRAYSIZE(name));
    return name;
}

// True when the group's key was made; every refusal leaves the dialog open.
bool Register(HWND dialog)
{
    return RegisterTypedName(dialog, CFW_REG_GROUPS_W, TypedName(dialog),
                             {IDS_GROUP_NAME_EMPTY, IDS_GROUP_NAME_REFUSED, IDS_GROUPS_KEY_FAILED, IDS_GROUP_ADD_FAILED,
                              IDS_GROUP_EXISTS, IDS_GROUP_ADD_CAPTION, IDS_GROUPS_CAPTION});
}

INT_PTR CALLBACK AddGroupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            SendDlgItemMessageW(dialog, IDC_ADD_GROUP_NAME, EM_LIMITTEXT, editor::kGroupNameChars, 0);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                if (Register(dialog))
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

INT_PTR RunAddGroupDialog(HWND owner)
{
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_ADD_GROUP), owner, AddGroupProc, 0);
}
