// The restart of the program's own executable with administrator rights.
#include "hvShared.h"

#include <shellapi.h>

namespace hv {

bool RestartElevated(HWND owner, const wchar_t* parameters)
{
    const std::wstring& self = ProgramPath();
    if (self.empty())
        return false;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"RunAs";
    info.lpFile = self.c_str();
    info.lpParameters = parameters && *parameters ? parameters : nullptr;
    info.lpDirectory = ProgramFolder().empty() ? nullptr : ProgramFolder().c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

}  // namespace hv
