// The limiter's row of the shared parts: its password prompt template, its
// About box's web-site button and caption, the monitor command the box grays,
// the account its Administrators test asks about, and the programs and help
// file beside it.
#include "limiter.h"

#include <shellapi.h>

#include "hvCommon.h"
#include "resource.h"

namespace {

// The monitor window's About command stays grayed while the box is open.
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

}  // namespace

INT_PTR RunPasswordDialog(HWND owner, std::wstring* typed)
{
    return hv::RunPasswordPrompt(g_instance, IDD_PASSWORD, owner, g_options.PasswordLockHash, typed);
}

INT_PTR RunAboutDialog(HWND owner)
{
    const std::wstring caption = hv::LoadText(IDS_TITLE);
    return hv::RunAboutBox(g_instance, owner, {IDC_ABOUT_WEBSITE, caption.c_str(), EnableMonitorAbout});
}

// The name read at start; an account whose name could not be read is asked
// for anew.
int IsAdministratorsMember() { return hv::IsAdministratorsMember(g_userName[0] ? g_userName : nullptr); }

bool CountsAsAdministrator()
{
    return hv::CountsAsAdministrator(IsAdministratorsMember(), hv::LookupFailure::CountsAsMember);
}

int StartSettingsUtility(HWND owner)
{
    const std::wstring path = hv::SiblingPath(hv::names::kEditorFile);
    if (path.empty() || !HVCGetFileExistW(path.c_str()))
        return 0;
    const auto r =
        reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return r > 32 ? 1 : 0;
}

int ShowHelpFile(HWND owner)
{
    return hv::ShowHelpFile(owner, g_helpPath[0] ? std::wstring(g_helpPath) : hv::SiblingPath(hv::names::kHelpFile));
}
