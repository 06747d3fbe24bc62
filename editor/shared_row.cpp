// The utility's row of the shared parts: its password prompt template, its
// About box's web-site button and caption, and the account its
// Administrators test asks about.
#include "editor.h"

#include "resource.h"

INT_PTR RunPasswordPrompt(HWND owner)
{
    return hv::RunPasswordPrompt(g_editor.instance, IDD_PASSWORD, owner, g_editor.options.PasswordLockHash);
}

INT_PTR RunAboutDialog(HWND owner)
{
    const std::wstring caption = hv::LoadText(IDS_TITLE);
    return hv::RunAboutBox(g_editor.instance, owner, {IDC_ABOUT_WEBSITE, caption.c_str(), nullptr});
}

// The name read at start; an account whose name could not be read is asked
// for anew.
int QueryAdministratorsMember()
{
    return hv::IsAdministratorsMember(g_editor.userName.empty() ? nullptr : g_editor.userName.c_str());
}
