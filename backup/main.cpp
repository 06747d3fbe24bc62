// Entry point of the backup tool: hand over to a running copy, warn an account
// without administrator rights, offer an elevated restart, then run the main
// dialog's message loop.
#include <windows.h>
#include <shlobj.h>

#include "backup.h"
#include "backup_logic.h"
#include "hvShared.h"
#include "names.h"
#include "resource.h"

HINSTANCE g_instance;
hv::UniqueHandle g_mutex;

bool IsAdministratorsMember()
{
    return hv::CountsAsAdministrator(hv::IsAdministratorsMember(nullptr), hv::LookupFailure::CountsAsNonMember);
}

namespace {

// The first copy is found by its main window's title.
void RaiseFirstInstance()
{
    const std::wstring title = hv::LoadText(IDS_TITLE);
    if (HWND first = FindWindowW(nullptr, title.c_str())) {
        ShowWindow(first, SW_RESTORE);
        SetActiveWindow(first);
        SetForegroundWindow(first);
    }
}

int RunMessageLoop(HWND dialog)
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show)
{
    g_instance = instance;
    g_mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kBackupMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        RaiseFirstInstance();
        return 0;
    }

    switch (backup::StartupStepFor(IsAdministratorsMember(), IsUserAnAdmin() != FALSE)) {
    case backup::StartupStep::WarnBackupOnly:
        MessageBoxW(nullptr, hv::LoadText(IDS_NO_ADMIN_START).c_str(), hv::LoadText(IDS_TITLE).c_str(),
                    MB_ICONWARNING);
        break;
    case backup::StartupStep::OfferElevation:
        if (RunElevationDialog() == IDYES)
            return 0;
        break;
    case backup::StartupStep::Proceed:
        break;
    }

    HWND dialog = CreateMainDialog();
    if (!dialog)
        return 255;
    ShowWindow(dialog, show);
    UpdateWindow(dialog);
    const int code = RunMessageLoop(dialog);
    g_mutex.reset();
    return code;
}
