// A group's limits (510): its mode and its hour tables, edited on a working
// copy of the record and written as a whole on OK.
#include "editor.h"

#include "cfwHook.h"
#include "resource.h"
#include "schedule_logic.h"

namespace {

struct Context {
    std::wstring name;
    GroupData group{};
    int lastCommand = 0;  // names the hour dialog that asks for its title
};

Context* ContextOf(HWND dialog) { return reinterpret_cast<Context*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

int CheckedMode(HWND dialog)
{
    for (int id = IDC_MODE_DAILY; id <= IDC_MODE_DAY_OF_WEEK; ++id)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            return id;
    return IDC_MODE_DAILY;
}

void OnInit(HWND dialog, Context& c)
{
    ReadGroupDataW(c.name.c_str(), &c.group);
    CheckRadioButton(dialog, IDC_MODE_DAILY, IDC_MODE_DAY_OF_WEEK, editor::GroupModeButton(c.group.LimitMode));
    SetWindowTextW(dialog, hv::FormatText(IDS_GROUP_LIMITS_TITLE, c.name.c_str()).c_str());
}

// Writes the record; a write that fails is told and keeps the dialog open.
bool OnOk(HWND dialog, Context& c)
{
    c.group.LimitMode = editor::GroupModeOf(CheckedMode(dialog));
    if (WriteGroupDataW(c.name.c_str(), &c.group) == 1)
        return true;
    CaptionedBox(dialog, hv::FormatText(IDS_SAVE_FAILED, c.name.c_str()), IDS_SAVE_FAILED_CAPTION, MB_ICONSTOP);
    return false;
}

void OnCommand(HWND dialog, Context& c, int id)
{
    c.lastCommand = id;
    if (uint8_t* table = editor::HourTable(c.group, editor::HourSlot(id))) {
        RunHourDialog(dialog, table);
        return;
    }
    if (id == IDOK && OnOk(dialog, c))
        EndDialog(dialog, 1);
    else if (id == IDCANCEL)
        EndDialog(dialog, 2);
}

INT_PTR CALLBACK GroupLimitsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
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

INT_PTR RunGroupLimitsDialog(HWND owner, const std::wstring& name)
{
    Context context;
    context.name = name.substr(0, CFW_GROUP_CHARS - 1);
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_GROUP_LIMITS), owner, GroupLimitsProc,
                                 reinterpret_cast<LPARAM>(&context));
}
