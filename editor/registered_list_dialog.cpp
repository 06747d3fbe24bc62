// The registered users (502) and the registered groups (503): one dialog on
// two keys. Its list box mirrors the key; add, change and delete open the
// dialogs that do the work, and closing brings the main window's lists along.
#include "editor.h"

#include "cfwHook.h"
#include "resource.h"

namespace {

constexpr wchar_t kReservedGroup[] = L"SimpleModeUsers";

// What differs between the two.
struct Kind {
    int templateId;
    const wchar_t* keyPath;
    INT_PTR (*add)(HWND owner);
    INT_PTR (*change)(HWND owner, const std::wstring& name);
    unsigned added, noChangeSelection, noDeleteSelection, deleteAsk;
    bool hasReservedName;
};

const Kind kUsers{IDD_USERS,
                  CFW_REG_USERS_W,
                  RunAddUserDialog,
                  RunUserLimitsDialog,
                  IDS_USER_ADDED,
                  IDS_USER_NO_CHANGE_SELECTION,
                  IDS_USER_NO_DELETE_SELECTION,
                  IDS_USER_DELETE_ASK,
                  false};
const Kind kGroups{IDD_GROUPS,
                   CFW_REG_GROUPS_W,
                   RunAddGroupDialog,
                   RunGroupLimitsDialog,
                   IDS_GROUP_ADDED,
                   IDS_GROUP_NO_CHANGE_SELECTION,
                   IDS_GROUP_NO_DELETE_SELECTION,
                   IDS_GROUP_DELETE_ASK,
                   true};

const Kind& KindOf(HWND dialog) { return *reinterpret_cast<const Kind*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_REG_LIST); }

// The selected name; false when nothing is selected.
bool Selected(HWND dialog, std::wstring& name)
{
    const LRESULT index = SendMessageW(List(dialog), LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return false;
    name = ListBoxText(List(dialog), static_cast<int>(index));
    return true;
}

void OnAdd(HWND dialog, const Kind& kind)
{
    if (kind.add(dialog) != 1)
        return;
    RefreshListBox(List(dialog), kind.keyPath);
    CaptionedBox(dialog, kind.added, IDS_ADDED_CAPTION, MB_ICONINFORMATION);
}

void OnChange(HWND dialog, const Kind& kind)
{
    std::wstring name;
    if (!Selected(dialog, name)) {
        CaptionedBox(dialog, kind.noChangeSelection, IDS_CHANGE_ERROR_CAPTION, MB_ICONSTOP);
        return;
    }
    kind.change(dialog, name);
}

void OnDelete(HWND dialog, const Kind& kind)
{
    std::wstring name;
    if (!Selected(dialog, name)) {
        CaptionedBox(dialog, kind.noDeleteSelection, IDS_DELETE_ERROR_CAPTION, MB_ICONSTOP);
        return;
    }
    // Exact: the same name in other letters is an ordinary group.
    if (kind.hasReservedName && name == kReservedGroup) {
        CaptionedBox(dialog, hv::FormatText(IDS_RESERVED_GROUP, name.c_str()), IDS_GROUPS_CAPTION, MB_ICONSTOP);
        return;
    }
    if (CaptionedBox(dialog, hv::FormatText(kind.deleteAsk, name.c_str()), IDS_DELETE_ASK_CAPTION,
                     MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return;
    if (!DeleteRegisteredKey(kind.keyPath, name)) {
        CaptionedBox(dialog, hv::FormatText(IDS_DELETE_FAILED, name.c_str()), IDS_DELETE_FAILED_CAPTION, MB_ICONSTOP);
        return;
    }
    RefreshListBox(List(dialog), kind.keyPath);
    CaptionedBox(dialog, hv::FormatText(IDS_DELETE_DONE, name.c_str()), IDS_DELETE_DONE_CAPTION, MB_ICONINFORMATION);
}

INT_PTR CALLBACK RegisteredListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            RefreshListBox(List(dialog), KindOf(dialog).keyPath);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDC_REG_ADD:
                OnAdd(dialog, KindOf(dialog));
                return TRUE;
            case IDC_REG_CHANGE:
                OnChange(dialog, KindOf(dialog));
                return TRUE;
            case IDC_REG_DELETE:
                OnDelete(dialog, KindOf(dialog));
                return TRUE;
            case IDOK:
            case IDCANCEL:
                EndDialog(dialog, 1);
                return TRUE;
            }
            break;
        }
        return FALSE;
    });
}

void Run(HWND owner, const Kind& kind)
{
    CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(kind.templateId), owner, RegisteredListProc,
                          reinterpret_cast<LPARAM>(&kind));
    RefreshMainWindowLists();
}

}  // namespace

void RunUsersDialog(HWND owner) { Run(owner, kUsers); }
void RunGroupsDialog(HWND owner) { Run(owner, kGroups); }
