// The timer allowances of a user (508): one allowance a day, or one for the
// morning and one for the afternoon, with the carry-over of the morning's
// rest. Works on the opener's working copy.
#include "editor.h"

#include "cfwHook.h"
#include "resource.h"
#include "schedule_logic.h"

namespace {

struct Context {
    UserData* user;
    uint32_t mode;  // the low half of LimitMode, given back unchanged
};

Context* ContextOf(HWND dialog) { return reinterpret_cast<Context*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

uint32_t Minutes(HWND dialog, int id) { return GetDlgItemInt(dialog, id, nullptr, FALSE); }

void OnInit(HWND dialog, Context& c)
{
    const UserData& u = *c.user;
    c.mode = editor::LowHalf(u.LimitMode);
    for (int id : {IDC_TIMER_DAY, IDC_TIMER_AM, IDC_TIMER_PM})
        SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, 3, 0);
    CheckDlgButton(dialog, IDC_TIMER_HALF_DAY, u.LimitModeFlag == 1 ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_TIMER_CARRY), u.LimitModeFlag == 1);
    CheckDlgButton(dialog, IDC_TIMER_CARRY, editor::HighHalf(u.LimitMode) == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dialog, IDC_TIMER_DAY, u.LimitModeTimeDay, FALSE);
    SetDlgItemInt(dialog, IDC_TIMER_AM, u.LimitModeTimeHalfAM, FALSE);
    SetDlgItemInt(dialog, IDC_TIMER_PM, u.LimitModeTimeHalfPM, FALSE);
    CheckDlgButton(dialog, IDC_TIMER_AM_BLOCKED, u.LimitModeTimeHalfAM == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_TIMER_PM_BLOCKED, u.LimitModeTimeHalfPM == 0 ? BST_CHECKED : BST_UNCHECKED);
}

bool OnOk(HWND dialog, Context& c)
{
    const uint32_t day = Minutes(dialog, IDC_TIMER_DAY), am = Minutes(dialog, IDC_TIMER_AM),
                   pm = Minutes(dialog, IDC_TIMER_PM);
    if (const unsigned message = editor::CheckTimerAllowances(day, am, pm)) {
        CaptionedBox(dialog, message, IDS_TIMER_CAPTION, MB_ICONEXCLAMATION);
        return false;
    }
    UserData& u = *c.user;
    u.LimitModeTimeDay = day;
    u.LimitModeTimeHalfAM = am;
    u.LimitModeTimeHalfPM = pm;
    u.LimitModeFlag = IsChecked(dialog, IDC_TIMER_HALF_DAY) ? 1 : 0;
    // The carry-over counts whether or not its box is enabled.
    u.LimitMode = editor::JoinHalves(IsChecked(dialog, IDC_TIMER_CARRY) ? 1 : 0, c.mode);
    return true;
}

// The half-day edit that goes with a "ログイン禁止" box, and back.
struct HalfDay {
    int edit, blocked;
};
constexpr HalfDay kHalves[] = {{IDC_TIMER_AM, IDC_TIMER_AM_BLOCKED}, {IDC_TIMER_PM, IDC_TIMER_PM_BLOCKED}};

bool OnCommand(HWND dialog, int id, int code)
{
    Context& c = *ContextOf(dialog);
    if (id == IDC_TIMER_HALF_DAY) {
        EnableWindow(GetDlgItem(dialog, IDC_TIMER_CARRY), IsChecked(dialog, IDC_TIMER_HALF_DAY));
        return true;
    }
    for (const HalfDay& half : kHalves) {
        if (id == half.blocked && code == BN_CLICKED) {
            SetDlgItemInt(dialog, half.edit, IsChecked(dialog, half.blocked) ? 0 : editor::kHalfDayDefault, FALSE);
            return true;
        }
        if (id == half.edit && code == EN_CHANGE) {
            CheckDlgButton(dialog, half.blocked, Minutes(dialog, half.edit) == 0 ? BST_CHECKED : BST_UNCHECKED);
            return true;
        }
    }
    if (id == IDOK) {
        if (OnOk(dialog, c))
            EndDialog(dialog, 1);
        return true;
    }
    if (id == IDCANCEL) {
        EndDialog(dialog, 2);
        return true;
    }
    return false;
}

INT_PTR CALLBACK TimerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            OnInit(dialog, *reinterpret_cast<Context*>(lParam));
            return TRUE;
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        }
        return FALSE;
    });
}

}  // namespace

INT_PTR RunTimerDialog(HWND owner, UserData* user)
{
    Context context{user, 0};
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_TIMER), owner, TimerProc,
                                 reinterpret_cast<LPARAM>(&context));
}
