// Dialog 502: enable, disable, start, stop and restart the service. What the
// service does is always read afresh from the service manager; two timers
// keep the buttons following it.
#include "service.h"

#include "cfwHook.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kRegistrationTimer = 1;
constexpr UINT_PTR kStateTimer = 2;
constexpr UINT kTimerMs = 500;

struct Context {
    hv::UniqueIcon large, small, big;
};

constexpr int kButtonIds[] = {IDC_ENABLE, IDC_DISABLE, IDC_START, IDC_STOP, IDC_RESTART};

svc::Buttons ReadButtons(HWND dialog)
{
    bool on[5];
    for (int i = 0; i < 5; ++i)
        on[i] = IsWindowEnabled(GetDlgItem(dialog, kButtonIds[i])) != FALSE;
    return {on[0], on[1], on[2], on[3], on[4]};
}

void ShowButtons(HWND dialog, const svc::Buttons& b)
{
    const bool on[] = {b.enable, b.disable, b.start, b.stop, b.restart};
    for (int i = 0; i < 5; ++i) {
        HWND button = GetDlgItem(dialog, kButtonIds[i]);
        if ((IsWindowEnabled(button) != FALSE) != on[i])
            EnableWindow(button, on[i]);
    }
}

void ApplyButtonRule(HWND dialog)
{
    const bool registered = scm::IsRegistered();
    const uint32_t state = registered ? scm::CurrentState() : svc::kStateUnknown;
    const bool startAllowed = registered && state == svc::kStopped && scm::StartAllowed();
    ShowButtons(dialog, svc::ButtonRule(registered, state, startAllowed));
}

HICON LoadProgramIcon(int size)
{
    return static_cast<HICON>(
        LoadImageW(g_program.instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// The dialog's boxes go through the hook library, owned by it.
BoxFn BoxesOf(HWND dialog)
{
    return [dialog](const wchar_t* text, const wchar_t* caption, UINT style) {
        return CFWHL_MessageBoxW(dialog, text, caption, style);
    };
}

void OnInit(HWND dialog)
{
    auto* context = new Context;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
    context->large.reset(LoadProgramIcon(32));
    context->small.reset(LoadProgramIcon(16));
    context->big.reset(LoadProgramIcon(48));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(context->large.get()));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(context->small.get()));
    SendDlgItemMessageW(dialog, IDC_SETTINGS_ICON, STM_SETICON, reinterpret_cast<WPARAM>(context->big.get()), 0);
    ApplyButtonRule(dialog);
    SetFocus(GetDlgItem(dialog, IDOK));
    SetTimer(dialog, kRegistrationTimer, kTimerMs, nullptr);
    SetTimer(dialog, kStateTimer, kTimerMs, nullptr);
}

void OnClose(HWND dialog)
{
    KillTimer(dialog, kRegistrationTimer);
    KillTimer(dialog, kStateTimer);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, 0);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, 0);
    delete reinterpret_cast<Context*>(GetWindowLongPtrW(dialog, DWLP_USER));
    SetWindowLongPtrW(dialog, DWLP_USER, 0);
    g_program.mutex.reset();
    EndDialog(dialog, 1);
}

void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_ENABLE:
        RunChange(ChangeKind::Enable, BoxesOf(dialog), IDS_ENABLE_DONE_DIALOG);
        break;
    case IDC_DISABLE:
        RunChange(ChangeKind::Disable, BoxesOf(dialog));
        break;
    case IDC_START:
        scm::Start();  // no message either way: the buttons show the outcome
        break;
    case IDC_STOP:
        scm::Stop();
        break;
    case IDC_RESTART:
        scm::Restart();
        break;
    case IDC_ABOUT:
        hv::RunAboutBox(g_program.instance, dialog,
                        {IDC_ABOUT_WEBSITE, hv::LoadText(IDS_PRODUCT).c_str(), nullptr});
        break;
    case IDOK:
    case IDCANCEL:
        OnClose(dialog);
        break;
    }
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog);
            return FALSE;  // the focus is set
        case WM_TIMER:
            if (wParam == kRegistrationTimer)
                ShowButtons(dialog, svc::RegistrationRule(scm::IsRegistered(), ReadButtons(dialog)));
            else if (wParam == kStateTimer)
                ApplyButtonRule(dialog);
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    });
}

}  // namespace

INT_PTR ShowSettingsDialog()
{
    return DialogBoxParamW(g_program.instance, MAKEINTRESOURCEW(IDD_SETTINGS), nullptr, SettingsProc, 0);
}
