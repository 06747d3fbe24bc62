// The main dialog (501): back up into a file or restore from one, with the
// password prompt first when the lock is on.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include "backup.h"
#include "backup_logic.h"
#include "backup_store.h"
#include "cfwCommon.h"
#include "cfwHook.h"
#include "hvShared.h"
#include "resource.h"

namespace {

// Posted at creation: the password prompt runs once the dialog is up.
constexpr UINT kAskPassword = WM_APP + 1;
constexpr int kPathChars = MAX_PATH;  // terminator included

struct MainDialog {
    hv::UniqueIcon iconLarge, iconSmall, iconHuge;
    HICON warning = nullptr;  // shared system icon
    OptionData options{};
    // The check box "restore from an older version's data". It is kept but
    // changes nothing: the file's format version alone picks the narrow or the
    // wide copy, and forcing the narrow copy of a newer file could only lose
    // the characters that the ANSI code page lacks.
    bool oldVersionData = false;
};

MainDialog* Context(HWND dlg) { return reinterpret_cast<MainDialog*>(GetWindowLongPtrW(dlg, DWLP_USER)); }

HICON LoadProgramIcon(int size)
{
    return static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0));
}

void ShowBox(HWND dlg, unsigned text, unsigned caption, UINT style)
{
    CFWHL_MessageBoxW(dlg, hv::LoadText(text).c_str(), hv::LoadText(caption).c_str(), style);
}

void SetNote(HWND dlg, HICON icon, unsigned text)
{
    SendDlgItemMessageW(dlg, IDC_NOTE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    SetDlgItemTextW(dlg, IDC_NOTE_TEXT, text ? hv::LoadText(text).c_str() : L"");
}

void ShowBrowseButton(HWND dlg, int shown, int hidden)
{
    HWND off = GetDlgItem(dlg, hidden), on = GetDlgItem(dlg, shown);
    ShowWindow(off, SW_HIDE);
    EnableWindow(off, FALSE);
    EnableWindow(on, TRUE);
    ShowWindow(on, SW_SHOW);
}

void OnBackupMode(HWND dlg)
{
    ShowBrowseButton(dlg, IDC_BROWSE_SAVE, IDC_BROWSE_OPEN);
    SetDlgItemTextW(dlg, IDC_PATH_LABEL, hv::LoadText(IDS_PATH_LABEL_TARGET).c_str());
    SetDlgItemTextW(dlg, IDC_PATH, L"");
    SetNote(dlg, nullptr, 0);
    EnableWindow(GetDlgItem(dlg, IDOK), TRUE);
}

void OnRestoreMode(HWND dlg, const MainDialog& ctx)
{
    ShowBrowseButton(dlg, IDC_BROWSE_OPEN, IDC_BROWSE_SAVE);
    SetDlgItemTextW(dlg, IDC_PATH_LABEL, hv::LoadText(IDS_PATH_LABEL_SOURCE).c_str());
    SetDlgItemTextW(dlg, IDC_PATH, L"");
    const backup::RestoreModeView view = backup::RestoreModeFor(IsAdministratorsMember(), IsUserAnAdmin() != FALSE);
    SetNote(dlg, view.noteText ? ctx.warning : nullptr, view.noteText);
    EnableWindow(GetDlgItem(dlg, IDOK), view.startEnabled);
}

// The save or open dialog; the chosen path goes into the path field.
void OnBrowse(HWND dlg, bool save)
{
    const std::wstring name = hv::LoadText(IDS_FILTER_NAME);
    std::wstring filter = name + L'\0' + L"*.cfwb" + L'\0' + L'\0';
    const std::wstring title = hv::LoadText(save ? IDS_SAVE_TITLE : IDS_OPEN_TITLE);
    wchar_t path[kPathChars] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = ARRAYSIZE(path);
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | (save ? OFN_OVERWRITEPROMPT : 0);
    ofn.lpstrDefExt = save ? L"cfwb" : nullptr;
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (chosen)
        SetDlgItemTextW(dlg, IDC_PATH, path);
}

void RunBackup(HWND dlg, const std::wstring& path)
{
    if (CFWHL_MessageBoxW(dlg, hv::LoadText(IDS_BACKUP_QUESTION).c_str(),
                          hv::LoadText(IDS_BACKUP_QUESTION_CAPTION).c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const backup::CreateResult result = backup::CreateBackupFile(path.c_str());
    SetCursor(before);
    if (!result.ok) {
        ShowBox(dlg, IDS_BACKUP_FAILED, IDS_BACKUP_FAILED_CAPTION, MB_ICONSTOP);
        return;
    }
    CFWHL_MessageBoxW(dlg, backup::BackupDoneText(hv::LoadText, result.leftOut).c_str(),
                      hv::LoadText(IDS_BACKUP_DONE_CAPTION).c_str(),
                      result.leftOut.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

void OnStart(HWND dlg)
{
    wchar_t path[kPathChars + 1] = {};
    GetDlgItemTextW(dlg, IDC_PATH, path, ARRAYSIZE(path));
    if (!path[0]) {
        ShowBox(dlg, IDS_START_NO_FILE, IDS_START_ERROR, MB_ICONWARNING);
        return;
    }
    if (IsDlgButtonChecked(dlg, IDC_MODE_RESTORE) == BST_CHECKED)
        RunRestoreDialog(dlg, path);
    else
        RunBackup(dlg, path);
}

BOOL OnInit(HWND dlg)
{
    auto* ctx = new MainDialog;
    SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(ctx));
    ctx->iconLarge.reset(LoadProgramIcon(32));
    ctx->iconSmall.reset(LoadProgramIcon(16));
    ctx->iconHuge.reset(LoadProgramIcon(48));
    ctx->warning = static_cast<HICON>(LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, 16, 16, LR_SHARED));
    SendMessageW(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ctx->iconLarge.get()));
    SendMessageW(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ctx->iconSmall.get()));
    SendDlgItemMessageW(dlg, IDC_MAIN_ICON, STM_SETICON, reinterpret_cast<WPARAM>(ctx->iconHuge.get()), 0);

    CheckRadioButton(dlg, IDC_MODE_BACKUP, IDC_MODE_RESTORE, IDC_MODE_BACKUP);
    SendDlgItemMessageW(dlg, IDC_PATH, EM_LIMITTEXT, kPathChars - 1, 0);
    SetDlgItemTextW(dlg, IDC_PATH_LABEL, hv::LoadText(IDS_PATH_LABEL_START).c_str());

    ReadOptionDataW(&ctx->options);
    if (ctx->options.PasswordLockHash != PASSWORD_LOCK_OFF)
        PostMessageW(dlg, kAskPassword, 0, 0);
    return TRUE;
}

void OnAskPassword(HWND dlg, const MainDialog& ctx)
{
    if (hv::RunPasswordPrompt(g_instance, IDD_PASSWORD, dlg, ctx.options.PasswordLockHash) == 2)
        DestroyWindow(dlg);
}

INT_PTR HandleMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    MainDialog* ctx = Context(dlg);
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit(dlg);
    case kAskPassword:
        if (ctx)
            OnAskPassword(dlg, *ctx);
        return TRUE;
    case WM_COMMAND:
        if (!ctx)
            break;
        switch (LOWORD(wp)) {
        case IDC_MODE_BACKUP:
            OnBackupMode(dlg);
            return TRUE;
        case IDC_MODE_RESTORE:
            OnRestoreMode(dlg, *ctx);
            return TRUE;
        case IDC_BROWSE_SAVE:
            OnBrowse(dlg, true);
            return TRUE;
        case IDC_BROWSE_OPEN:
            OnBrowse(dlg, false);
            return TRUE;
        case IDC_OLD_VERSION:
            ctx->oldVersionData = IsDlgButtonChecked(dlg, IDC_OLD_VERSION) == BST_CHECKED;
            return TRUE;
        case IDC_ABOUT: {
            const std::wstring caption = hv::LoadText(IDS_TITLE);
            hv::RunAboutBox(g_instance, dlg, {IDC_ABOUT_WEBSITE, caption.c_str(), nullptr});
            return TRUE;
        }
        case IDOK:
            OnStart(dlg);
            return TRUE;
        case IDCANCEL:
            DestroyWindow(dlg);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    case WM_NCDESTROY:
        delete ctx;
        SetWindowLongPtrW(dlg, DWLP_USER, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK MainDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    return hv::Guarded<INT_PTR>(FALSE, [&] { return HandleMessage(dlg, msg, wp, lp); });
}

}  // namespace

HWND CreateMainDialog()
{
    return CreateDialogParamW(g_instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDlgProc, 0);
}
