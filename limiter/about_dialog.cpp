// The About box: product, version and legal notice from the program's own
// version block, and a button that opens the maker's web site.
#include "limiter.h"

#include <shellapi.h>

#include <string>

#include "cfwHook.h"
#include "dialog_logic.h"
#include "hvCommon.h"
#include "resource.h"

namespace {

const wchar_t kWebSite[] = L"https://www.halvern-software.example/curfew/";
const wchar_t kProgramCaption[] = L"Halvern Curfew";

// One string of the "041104b0" block; empty when it cannot be read.
std::wstring VersionString(const wchar_t* name)
{
    LPWSTR text = nullptr;
    std::wstring value;
    if (HVCGetVersionResourceStringW(nullptr, L"041104b0", name, &text) && text)
        value = text;
    if (text)
        HVCPointerFree(text);
    return value;
}

// The monitor window's About command stays grayed while this box is open.
void EnableMonitorAbout(bool enable)
{
    HWND monitor = g_monitorWindow;
    if (!monitor || !IsWindow(monitor))
        return;
    if (HMENU menu = GetMenu(monitor)) {
        EnableMenuItem(menu, IDM_ABOUT, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
        DrawMenuBar(monitor);
    }
}

void OnInit(HWND dlg)
{
    SetDlgItemTextW(dlg, IDC_ABOUT_PRODUCT, VersionString(L"FileDescription").c_str());
    SetDlgItemTextW(
        dlg, IDC_ABOUT_VERSION,
        limiter::FormatVersionLine(VersionString(L"FileVersion").c_str(), VersionString(L"ProductVersion").c_str())
            .c_str());
    SetDlgItemTextW(dlg, IDC_ABOUT_LEGAL, VersionString(L"LegalCopyright").c_str());
    SetDlgItemTextW(dlg, IDC_ABOUT_NOTE, L"このプログラムは 64 ビット (x64) 版です。");
    EnableMonitorAbout(false);
}

void OnWebSite(HWND dlg)
{
    const auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(dlg, L"Open", kWebSite, nullptr, nullptr, SW_SHOWNORMAL));
    if (r <= 32)
        CFWHL_MessageBoxW(dlg, L"Web サイトをブラウザで開くことができませんでした。", kProgramCaption,
                          MB_ICONEXCLAMATION);
}

INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit(dlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
        case IDCANCEL:
            EnableMonitorAbout(true);
            EndDialog(dlg, 1);
            return TRUE;
        case IDC_ABOUT_WEBSITE:
            OnWebSite(dlg);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

INT_PTR RunAboutDialog(HWND owner)
{
    CFWHL_DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDlgProc, 0);
    return 1;
}
