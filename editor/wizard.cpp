// The setup wizard (pages 600-603): a property sheet in wizard mode that sets
// the time-out action and the password lock of a fresh installation, and the
// way back in when the password has been forgotten.
#include "editor.h"

#include <commctrl.h>
#include <prsht.h>

#include "cfwHook.h"
#include "editor_logic.h"
#include "resource.h"

namespace {

constexpr wchar_t kInitializedValue[] = L"IsInitialized";
constexpr wchar_t kPasswordChar = L'\x25CF';

// The wizard's own record: the pages write into it, Finish hands it over.
// It lives for the process, so Back keeps what was chosen.
OptionData g_wizardRecord{TIMEOUT_LOGOFF, 0, PASSWORD_LOCK_OFF};
HFONT g_headingFont = nullptr;  // while the wizard runs

bool AlreadyInitialized()
{
    DWORD type = 0, value = 0, size = sizeof value;
    hv::RegKey key;
    bool ok = RegOpenKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, 0, KEY_READ, key.put()) == ERROR_SUCCESS &&
              RegQueryValueExW(key.get(), kInitializedValue, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                               &size) == ERROR_SUCCESS &&
              size == sizeof value;
    return editor::WizardAlreadyRun(ok, type, value);
}

void MarkInitialized()
{
    hv::RegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return;  // silent: the options are taken over all the same
    const DWORD one = 1;
    RegSetValueExW(key.get(), kInitializedValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
}

void SetButtons(HWND page, unsigned buttons)
{
    PostMessageW(GetParent(page), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
}

// The answer a page gives to a notification.
INT_PTR Result(HWND page, LONG_PTR result)
{
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

// Cancel, Esc or the close box: only after a Yes.
bool CancelConfirmed(HWND page)
{
    return CFWHL_MessageBoxW(page, hv::LoadText(IDS_WIZARD_CANCEL).c_str(), hv::LoadText(IDS_CONFIRM_CAPTION).c_str(),
                             MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// What every page does: the heading font at start and the cancel question.
// True when the message was handled and `handled` holds the result.
bool CommonPageMessage(HWND page, UINT message, LPARAM lParam, INT_PTR& handled)
{
    if (message == WM_INITDIALOG) {
        SendDlgItemMessageW(page, IDC_WIZARD_HEADING, WM_SETFONT, reinterpret_cast<WPARAM>(g_headingFont), TRUE);
        return false;  // the page goes on with its own initialisation
    }
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(PSN_QUERYCANCEL)) {
        handled = Result(page, CancelConfirmed(page) ? FALSE : TRUE);
        return true;
    }
    return false;
}

UINT NotifyCode(LPARAM lParam) { return reinterpret_cast<NMHDR*>(lParam)->code; }

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        INT_PTR handled = FALSE;
        if (CommonPageMessage(page, message, lParam, handled))
            return handled;
        if (message == WM_INITDIALOG) {
            SetButtons(page, editor::kWizNext);
            return TRUE;
        }
        if (message == WM_NOTIFY && NotifyCode(lParam) == static_cast<UINT>(PSN_WIZNEXT))
            SetButtons(page, editor::kWizBack | editor::kWizNext);
        return FALSE;
    });
}

void TakeTimeoutChoice(HWND page)
{
    const int position =
        static_cast<int>(SendDlgItemMessageW(page, IDC_WIZARD_TIMEOUT_LIST, CB_GETCURSEL, 0, 0));
    if (position >= 0)
        g_wizardRecord.TimeOutMode = static_cast<uint32_t>(position);
    if (const unsigned id = editor::TimeoutDescription(position, true))
        SetDlgItemTextW(page, IDC_WIZARD_TIMEOUT_DESCRIPTION, hv::LoadText(id).c_str());
}

INT_PTR CALLBACK TimeoutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        INT_PTR handled = FALSE;
        if (CommonPageMessage(page, message, lParam, handled))
            return handled;
        switch (message) {
        case WM_INITDIALOG:
            for (int i = 0; i < editor::kTimeoutActionCount; ++i)
                SendDlgItemMessageW(page, IDC_WIZARD_TIMEOUT_LIST, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(hv::LoadText(editor::TimeoutActionText(i)).c_str()));
            SendDlgItemMessageW(page, IDC_WIZARD_TIMEOUT_LIST, CB_SETCURSEL, 0, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_WIZARD_TIMEOUT_LIST)
                TakeTimeoutChoice(page);
            return FALSE;
        case WM_NOTIFY:
            switch (NotifyCode(lParam)) {
            case PSN_SETACTIVE:
                SetButtons(page, editor::kWizBack | editor::kWizNext);
                TakeTimeoutChoice(page);
                return Result(page, 0);
            case PSN_WIZBACK:
                SetButtons(page, editor::kWizNext);
                return FALSE;
            }
            break;
        }
        return FALSE;
    });
}

std::wstring FieldText(HWND page, int id)
{
    wchar_t text[hv::kPasswordMaxChars + 1] = {};
    GetDlgItemTextW(page, id, text, ARRAYSIZE(text));
    return text;
}

editor::PasswordPageState ComparePasswords(HWND page)
{
    return editor::JudgePasswordPage(FieldText(page, IDC_WIZARD_PASSWORD), FieldText(page, IDC_WIZARD_CONFIRM));
}

INT_PTR CALLBACK PasswordPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        INT_PTR handled = FALSE;
        if (CommonPageMessage(page, message, lParam, handled))
            return handled;
        switch (message) {
        case WM_INITDIALOG:
            for (int id : {IDC_WIZARD_PASSWORD, IDC_WIZARD_CONFIRM}) {
                SendDlgItemMessageW(page, id, EM_LIMITTEXT, hv::kPasswordMaxChars, 0);
                SendDlgItemMessageW(page, id, EM_SETPASSWORDCHAR, kPasswordChar, 0);
            }
            return TRUE;
        case WM_COMMAND:
            if ((LOWORD(wParam) == IDC_WIZARD_PASSWORD || LOWORD(wParam) == IDC_WIZARD_CONFIRM) &&
                HIWORD(wParam) == EN_CHANGE) {
                const editor::PasswordPageState state = ComparePasswords(page);
                SetDlgItemTextW(page, IDC_WIZARD_MATCH, hv::LoadText(state.indicator).c_str());
                SetButtons(page, state.buttons);
            }
            return FALSE;
        case WM_NOTIFY:
            switch (NotifyCode(lParam)) {
            case PSN_SETACTIVE:
                SetButtons(page, ComparePasswords(page).buttons);
                return Result(page, 0);
            case PSN_WIZNEXT: {
                const std::wstring password = FieldText(page, IDC_WIZARD_PASSWORD);
                g_wizardRecord.PasswordLockHash =
                    password.empty() ? PASSWORD_LOCK_OFF : GetPasswordHashW(password.c_str());
                SetButtons(page, editor::kWizBack | editor::kWizFinish);
                return FALSE;
            }
            case PSN_WIZBACK:
                SetButtons(page, editor::kWizBack | editor::kWizNext);
                return FALSE;
            }
            break;
        }
        return FALSE;
    });
}

// Finish hands the record over and writes it at once: "IsInitialized" must
// never stand beside options that were never written (the password prompt
// right after the wizard may still end the utility).
void Finish()
{
    g_editor.options = g_wizardRecord;
    WriteOptionDataW(&g_editor.options);
    MarkInitialized();
}

INT_PTR CALLBACK DonePageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    return hv::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        INT_PTR handled = FALSE;
        if (CommonPageMessage(page, message, lParam, handled))
            return handled;
        if (message == WM_INITDIALOG)
            return TRUE;
        if (message != WM_NOTIFY)
            return FALSE;
        switch (NotifyCode(lParam)) {
        case PSN_SETACTIVE:
            SetButtons(page, editor::kWizBack | editor::kWizFinish);
            return Result(page, 0);
        case PSN_WIZBACK:
            SetButtons(page, editor::kWizBack | editor::kWizNext | editor::kWizDisabledFinish);
            return FALSE;
        case PSN_WIZFINISH:
            Finish();
            return Result(page, FALSE);
        }
        return FALSE;
    });
}

hv::UniqueGdi CreateHeadingFont()
{
    return hv::UniqueGdi(CreateFontW(18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
}

}  // namespace

void RunSetupWizard(HWND owner)
{
    hv::UniqueGdi font = CreateHeadingFont();
    if (AlreadyInitialized() &&
        CFWHL_MessageBoxW(owner, hv::LoadText(IDS_WIZARD_RERUN).c_str(), hv::LoadText(IDS_WIZARD_CAPTION).c_str(),
                          MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    g_headingFont = static_cast<HFONT>(font.get());

    static const struct {
        int templateId;
        DLGPROC proc;
    } kPages[] = {{IDD_WIZARD_WELCOME, WelcomePageProc},
                  {IDD_WIZARD_TIMEOUT, TimeoutPageProc},
                  {IDD_WIZARD_PASSWORD, PasswordPageProc},
                  {IDD_WIZARD_DONE, DonePageProc}};
    HPROPSHEETPAGE pages[ARRAYSIZE(kPages)] = {};
    UINT created = 0;
    for (const auto& p : kPages) {
        PROPSHEETPAGEW page{};
        page.dwSize = sizeof page;
        page.dwFlags = PSP_DEFAULT;
        page.hInstance = g_editor.instance;
        page.pszTemplate = MAKEINTRESOURCEW(p.templateId);
        page.pfnDlgProc = p.proc;
        if (HPROPSHEETPAGE h = CreatePropertySheetPageW(&page))
            pages[created++] = h;
    }
    if (created == ARRAYSIZE(kPages)) {
        PROPSHEETHEADERW header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_WIZARD;
        header.hwndParent = owner;
        header.hInstance = g_editor.instance;
        header.nPages = created;
        header.phpage = pages;
        PropertySheetW(&header);  // takes the pages over, also on failure
    } else {
        for (UINT i = 0; i < created; ++i)
            DestroyPropertySheetPage(pages[i]);
    }
    g_headingFont = nullptr;
}
