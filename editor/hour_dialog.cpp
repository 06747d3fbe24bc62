// One hour table (507): 24 check boxes, one per clock hour. Its title comes
// from the opener, which knows which table it handed over.
#include "editor.h"

#include "cfwHook.h"
#include "resource.h"
#include "schedule_logic.h"

namespace {

void OnInit(HWND dialog, const uint8_t* table)
{
    const auto checks = editor::HourChecks(table);
    for (int h = 0; h < CFW_HOURS; ++h)
        CheckDlgButton(dialog, IDC_HOUR_FIRST + h, checks[static_cast<size_t>(h)] ? BST_CHECKED : BST_UNCHECKED);
    SendMessageW(GetWindow(dialog, GW_OWNER), WM_APP, 0, reinterpret_cast<LPARAM>(dialog));
}

void OnOk(HWND dialog, uint8_t* table)
{
    std::array<bool, CFW_HOURS> checks{};
    for (int h = 0; h < CFW_HOURS; ++h)
        checks[static_cast<size_t>(h)] = IsDlgButtonChecked(dialog, IDC_HOUR_FIRST + h) == BST_CHECKED;
    editor::StoreHourChecks(checks, table);
}

INT_PTR CALLBACK HourProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            OnInit(dialog, reinterpret_cast<const uint8_t*>(lParam));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                OnOk(dialog, reinterpret_cast<uint8_t*>(GetWindowLongPtrW(dialog, DWLP_USER)));
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

INT_PTR RunHourDialog(HWND owner, uint8_t* table)
{
    return CFWHL_DialogBoxParamW(g_editor.instance, MAKEINTRESOURCEW(IDD_HOURS), owner, HourProc,
                                 reinterpret_cast<LPARAM>(table));
}

void AnswerHourTitleRequest(HWND hourDialog, int openingButton)
{
    if (const unsigned title = editor::HourTitle(openingButton))
        SetWindowTextW(hourDialog, hv::LoadText(title).c_str());
}
