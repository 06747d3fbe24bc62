// The About box: product, version and legal notice from the program's own
// version block, and a button that opens the maker's web site.
#include "hvShared.h"

#include <shellapi.h>

#include "cfwHook.h"
#include "hvCommon.h"
#include "shared_resource.h"

namespace hv {
namespace {

const wchar_t kWebSite[] = L"https://www.halvern-software.example/curfew/";

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

void OnInit(HWND dlg, const AboutBoxRow& row)
{
    SetDlgItemTextW(dlg, IDC_ABOUT_PRODUCT, VersionString(L"FileDescription").c_str());
    SetDlgItemTextW(
        dlg, IDC_ABOUT_VERSION,
        FormatVersionLine(VersionString(L"FileVersion").c_str(), VersionString(L"ProductVersion").c_str()).c_str());
    SetDlgItemTextW(dlg, IDC_ABOUT_LEGAL, VersionString(L"LegalCopyright").c_str());
    SetDlgItemTextW(dlg, IDC_ABOUT_NOTE, LoadText(IDS_ABOUT_NOTE).c_str());
    if (row.enableOpener)
        row.enableOpener(false);
}

void OnWebSite(HWND dlg, const AboutBoxRow& row)
{
    const auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(dlg, L"Open", kWebSite, nullptr, nullptr, SW_SHOWNORMAL));
    if (r <= 32)
        CFWHL_MessageBoxW(dlg, LoadText(IDS_ABOUT_WEBSITE_FAILED).c_str(), row.failureCaption, MB_ICONEXCLAMATION);
}

INT_PTR HandleMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    const auto* row = reinterpret_cast<const AboutBoxRow*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        OnInit(dlg, *reinterpret_cast<const AboutBoxRow*>(lp));
        return TRUE;
    case WM_COMMAND:
        if (!row)
            break;
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            if (row->enableOpener)
                row->enableOpener(true);
            EndDialog(dlg, 1);
            return TRUE;
        }
        if (LOWORD(wp) == row->websiteButton) {
            OnWebSite(dlg, *row);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    return Guarded<INT_PTR>(FALSE, [&] { return HandleMessage(dlg, msg, wp, lp); });
}

}  // namespace

INT_PTR RunAboutBox(HINSTANCE module, HWND owner, const AboutBoxRow& row)
{
    CFWHL_DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDlgProc,
                          reinterpret_cast<LPARAM>(&row));
    return 1;
}

}  // namespace hv
