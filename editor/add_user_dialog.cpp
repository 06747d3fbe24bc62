// Adding users (504): a name typed by hand, or the checked accounts of the
// computer's account list registered at once.
#include "editor.h"

#include <commctrl.h>
#include <lm.h>

#include <algorithm>

#include "cfwHook.h"
#include "resource.h"
#include "schedule_logic.h"

namespace {

constexpr int kNameColumnChars = 32;

HWND Accounts(HWND dialog) { return GetDlgItem(dialog, IDC_ADD_ACCOUNTS); }

void AddColumn(HWND list, int index, unsigned textId, int width)
{
    std::wstring text = hv::LoadText(textId);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    column.cx = width;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const wchar_t* text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetChecked(HWND list, int row, bool checked)
{
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool Checked(HWND list, int row)
{
    const LRESULT state = SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

std::wstring CellText(HWND list, int row)
{
    wchar_t text[kNameColumnChars + 1] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = kNameColumnChars;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

// The computer's normal accounts, less the system's own; the ones already
// registered (the opener's list) are shown as such and left unchecked.
void FillAccounts(HWND list, const std::vector<std::wstring>& registered)
{
    BYTE* buffer = nullptr;
    DWORD read = 0, total = 0;
    if (NetUserEnum(nullptr, 20, FILTER_NORMAL_ACCOUNT, &buffer, MAX_PREFERRED_LENGTH, &read, &total, nullptr) !=
        NERR_Success) {
        if (buffer)
            NetApiBufferFree(buffer);
        return;
    }
    const std::wstring yes = hv::LoadText(IDS_YES), no = hv::LoadText(IDS_NO);
    const auto* users = reinterpret_cast<const USER_INFO_20*>(buffer);
    int row = 0;
    for (DWORD i = 0; i < read; ++i) {
        const std::wstring name = users[i].usri20_name ? users[i].usri20_name : L"";
        if (!editor::OfferedForBulk(name))
            continue;
        const bool known = std::find(registered.begin(), registered.end(), name) != registered.end();
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        const int at = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (at < 0)
            continue;
        SetCell(list, at, 1, (known ? yes : no).c_str());
        SetCell(list, at, 2, users[i].usri20_full_name ? users[i].usri20_full_name : L"");
        SetChecked(list, at, !known);
        ++row;
    }
    NetApiBufferFree(buffer);
}

void SelectManual(HWND dialog, bool manual)
{
    EnableWindow(GetDlgItem(dialog, IDC_ADD_NAME_LABEL), manual);
    EnableWindow(GetDlgItem(dialog, IDC_ADD_NAME), manual);
    EnableWindow(Accounts(dialog), !manual);
    SetFocus(GetDlgItem(dialog, manual ? IDC_ADD_NAME : IDC_ADD_ACCOUNTS));
}

void OnInit(HWND dialog, HWND opener)
{
    SendDlgItemMessageW(dialog, IDC_ADD_NAME, EM_LIMITTEXT, editor::kUserNameChars, 0);
    CheckRadioButton(dialog, IDC_ADD_MANUAL, IDC_ADD_BULK, IDC_ADD_MANUAL);
    HWND list = Accounts(dialog);
    EnableWindow(list, FALSE);
    AddColumn(list, 0, IDS_COLUMN_USER, 192);
    AddColumn(list, 1, IDS_COLUMN_REGISTERED, 64);
    AddColumn(list, 2, IDS_COLUMN_FULL_NAME, 112);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    FillAccounts(list, ListBoxNames(GetDlgItem(opener, IDC_REG_LIST)));
    SetFocus(GetDlgItem(dialog, IDC_ADD_NAME));
}

// True when the typed name's key was made; every refusal keeps the dialog.
bool RegisterTyped(HWND dialog)
{
    wchar_t typed[editor::kUserNameChars + 1] = {};
    GetDlgItemTextW(dialog, IDC_ADD_NAME, typed, ARRAYSIZE(typed));
    return RegisterTypedName(dialog, CFW_REG_USERS_W, typed,
                             {IDS_USER_NAME_EMPTY, IDS_USER_NAME_REFUSED, IDS_USERS_KEY_FAILED, IDS_USER_ADD_FAILED,
                              IDS_USER_EXISTS, IDS_USER_ADD_CAPTION, IDS_USERS_CAPTION});
}

// True when the dialog may end: the accounts that could not be registered
// are named, and when none could, the dialog stays for another try.
bool RegisterChecked(HWND dialog)
{
    if (CaptionedBox(dialog, IDS_BULK_ASK, IDS_BULK_ASK_CAPTION, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    hv::RegKey users;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, users.put(), nullptr) != ERROR_SUCCESS) {
        CaptionedBox(dialog, IDS_USERS_KEY_FAILED, IDS_USER_ADD_CAPTION, MB_ICONEXCLAMATION);
        return false;
    }
    HWND list = Accounts(dialog);
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    size_t registered = 0;
    std::wstring failed;
    size_t failures = 0;
    for (int row = 0; row < rows; ++row) {
        if (!Checked(list, row))
            continue;
        const std::wstring name = CellText(list, row);
        if (CreateRegisteredKey(users.get(), name) == KeyCreation::Failed) {
            failed += (failures++ ? L"\n" : L"") + name;
        } else {
            ++registered;
        }
    }
    const editor::BulkOutcome outcome = editor::JudgeBulk(registered, failures);
    if (outcome.tellFailures)
        CaptionedBox(dialog, hv::LoadText(IDS_BULK_FAILED) + failed, IDS_USER_ADD_CAPTION, MB_ICONEXCLAMATION);
    return outcome.endDialog;
}

INT_PTR CALLBACK AddUserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog, reinterpret_cast<HWND>(lParam));
            return FALSE;  // the focus is set
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDC_ADD_MANUAL:
            case IDC_ADD_BULK:
                if (HIWORD(wParam) == BN_CLICKED && IsDlgButtonChecked(dialog, LOWORD(wParam)) == BST_CHECKED)
                    SelectManual(dialog, LOWORD(wParam) == IDC_ADD_MANUAL);
                return TRUE;
            case IDOK: {
                const bool manual = IsDlgButtonChecked(dialog, IDC_ADD_MANUAL) == BST_CHECKED;
                if (manual ? RegisterTyped(dialog) : RegisterChecked(dialog))
                    EndDialog(dialog, 1);
                return TRUE;
            }
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

INT_PTR RunAddUserDialog(HWND owner)
{
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_ADD_USER), owner, AddUserProc,
                                 reinterpret_cast<LPARAM>(owner));
}
