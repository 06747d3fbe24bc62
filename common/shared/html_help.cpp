// HTML Help, loaded on first use. The module is named by full path only: the
// registered server from the machine-wide classes or the system folder's
// hhctrl.ocx, never one found through the current directory or search path.
#include "hvShared.h"

#include <htmlhelp.h>

#include "cfwHook.h"
#include "hvCommon.h"
#include "shared_resource.h"

namespace hv {
namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// A per-user registration must not choose the module this program loads.
// RRF_RT_REG_SZ also takes an expandable value, expanded; asking for
// RRF_RT_REG_EXPAND_SZ without RRF_NOEXPAND makes every read fail.
std::wstring RegisteredHtmlHelpServer()
{
    wchar_t value[kMaxPath] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE,
                     L"SOFTWARE\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", nullptr,
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::wstring();
    return value;
}

std::wstring SystemFolder()
{
    wchar_t folder[kMaxPath] = {};
    const UINT n = GetSystemDirectoryW(folder, ARRAYSIZE(folder));
    return (n > 0 && n < ARRAYSIZE(folder)) ? std::wstring(folder, n) : std::wstring();
}

struct HtmlHelpEntry {
    HMODULE module = nullptr;  // kept loaded for the life of the process
    HtmlHelpProc proc = nullptr;
};

HtmlHelpEntry LoadHtmlHelp()
{
    HtmlHelpEntry entry;
    const std::wstring sys = SystemFolder();
    std::wstring path = ChooseHtmlHelpModule(RegisteredHtmlHelpServer(), sys);
    if (!path.empty())
        entry.module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!entry.module) {
        path = PathInFolder(sys, L"hhctrl.ocx");
        if (!path.empty())
            entry.module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (entry.module)
        entry.proc = reinterpret_cast<HtmlHelpProc>(
            reinterpret_cast<void*>(GetProcAddress(entry.module, MAKEINTRESOURCEA(15))));
    return entry;
}

}  // namespace

INT_PTR CallHtmlHelp(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data)
{
    static const HtmlHelpEntry entry = LoadHtmlHelp();
    if (!entry.proc)
        return 0;
    return reinterpret_cast<INT_PTR>(entry.proc(owner, file, command, data));
}

int ShowHelpFile(HWND owner, const std::wstring& helpFile)
{
    if (helpFile.empty() || !HVCGetFileExistW(helpFile.c_str()))
        return 0;
    if (!CallHtmlHelp(owner, helpFile.c_str(), HH_DISPLAY_TOPIC, reinterpret_cast<DWORD_PTR>(L"Index.html")))
        CFWHL_MessageBoxW(owner, LoadText(IDS_HELP_CANNOT_SHOW).c_str(), LoadText(IDS_HELP_CAPTION).c_str(),
                          MB_ICONEXCLAMATION);
    return 1;
}

}  // namespace hv
