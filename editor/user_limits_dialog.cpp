// A user's limits (505): the mode, the group for the group mode, the hour
// tables and the timer allowances, edited on a working copy of the record
// and written as a whole on OK.
#include "editor.h"

#include "cfwHook.h"
#include "resource.h"
#include "schedule_logic.h"

namespace {

struct Context {
    std::wstring name;
    UserData user{};
    uint32_t carryOver = 0;  // the high half of LimitMode, which the mode buttons never touch
    int lastCommand = 0;     // names the hour dialog that asks for its title
};

Context* ContextOf(HWND dialog) { return reinterpret_cast<Context*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

int CheckedMode(HWND dialog)
{
    for (int id = IDC_MODE_NONE; id <= IDC_MODE_TIMER; ++id)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            return id;
    return IDC_MODE_NONE;
}

void OnInit(HWND dialog, Context& c)
{
    ReadUserDataW(c.name.c_str(), &c.user);
    c.carryOver = editor::HighHalf(c.user.LimitMode);
    CheckRadioButton(dialog, IDC_MODE_NONE, IDC_MODE_TIMER, editor::UserModeButton(editor::LowHalf(c.user.LimitMode)));
    c.user.Group[CFW_GROUP_CHARS - 1] = L'\0';
    SendDlgItemMessageW(dialog, IDC_USER_GROUP, EM_LIMITTEXT, editor::kGroupNameChars, 0);
    SetDlgItemTextW(dialog, IDC_USER_GROUP, c.user.Group);
    SetWindowTextW(dialog, hv::FormatText(IDS_USER_LIMITS_TITLE, c.name.c_str()).c_str());
}

// Writes the record; a write that fails is told and keeps the dialog open.
bool OnOk(HWND dialog, Context& c)
{
    c.user.LimitMode = editor::JoinHalves(c.carryOver, editor::UserModeOf(CheckedMode(dialog)));
    wchar_t group[CFW_GROUP_CHARS] = {};
    GetDlgItemTextW(dialog, IDC_USER_GROUP, group, CFW_GROUP_CHARS);
    std::copy(std::begin(group), std::end(group), c.user.Group);
    if (WriteUserDataW(c.name.c_str(), &c.user, 0) == 1)
        return true;
    CaptionedBox(dialog, hv::FormatText(IDS_SAVE_FAILED, c.name.c_str()), IDS_SAVE_FAILED_CAPTION, MB_ICONSTOP);
    return false;
}

void OnCommand(HWND dialog, Context& c, int id)
{
    c.lastCommand = id;
    if (uint8_t* table = editor::HourTable(c.user, editor::HourSlot(id))) {
        RunHourDialog(dialog, table);
        return;
    }
    switch (id) {
    case IDC_TIMER_SETTINGS:
        RunTimerDialog(dialog, &c.user);
        c.carryOver = editor::HighHalf(c.user.LimitMode);
        break;
    case IDC_CHOOSE_GROUP:
        RunGroupSelectDialog(dialog);
        break;
    case IDOK:
        if (OnOk(dialog, c))
            EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        EndDialog(dialog, 2);
        break;
    }
}

INT_PTR CALLBACK UserLimitsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            OnInit(dialog, *reinterpret_cast<Context*>(lParam));
            return TRUE;
        case WM_APP:
            if (Context* c = ContextOf(dialog))
                AnswerHourTitleRequest(reinterpret_cast<HWND>(lParam), c->lastCommand);
            return TRUE;
        case WM_COMMAND:
            if (Context* c = ContextOf(dialog))
                OnCommand(dialog, *c, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    });
}

}  // namespace

INT_PTR RunUserLimitsDialog(HWND owner, const std::wstring& name)
{
    Context context;
    context.name = name.substr(0, CFW_GROUP_CHARS - 1);
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_USER_LIMITS), owner, UserLimitsProc,
                                 reinterpret_cast<LPARAM>(&context));
}
