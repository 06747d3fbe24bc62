// The setup wizard (pages 600-603): a property sheet in wizard mode that sets
// the time-out action and the password lock of a fresh installation, and the
// way back in when the password has been forgotten. Each page has a file of
// its own; what they share is here.
#include "editor.h"

#include <commctrl.h>
#include <prsht.h>

#include "cfwHook.h"
#include "editor_logic.h"
#include "resource.h"
#include "wizard_pages.h"

namespace {

constexpr wchar_t kInitializedValue[] = L"IsInitialized";
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

// Cancel, Esc or the close box: only after a Yes.
bool CancelConfirmed(HWND page)
{
    return CFWHL_MessageBoxW(page, hv::LoadText(IDS_WIZARD_CANCEL).c_str(), hv::LoadText(IDS_CONFIRM_CAPTION).c_str(),
                             MB_YESNO | MB_ICONQUESTION) == IDYES;
}

hv::UniqueGdi CreateHeadingFont()
{
    return hv::UniqueGdi(CreateFontW(18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
}

}  // namespace

namespace wizard {

OptionData g_record{TIMEOUT_LOGOFF, 0, PASSWORD_LOCK_OFF};

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

INT_PTR Result(HWND page, LONG_PTR result)
{
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

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

}  // namespace wizard

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
    } kPages[] = {{IDD_WIZARD_WELCOME, wizard::WelcomePageProc},
                  {IDD_WIZARD_TIMEOUT, wizard::TimeoutPageProc},
                  {IDD_WIZARD_PASSWORD, wizard::PasswordPageProc},
                  {IDD_WIZARD_DONE, wizard::DonePageProc}};
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
