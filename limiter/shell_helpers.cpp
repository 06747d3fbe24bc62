// The Administrators test, the start of the settings utility, the help file
// and the HTML Help loader. Programs and modules are always named by full
// path: the program's own folder or the system folder, never the current
// directory or the search path.
#include "limiter.h"

#include <htmlhelp.h>
#include <lm.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "cfwHook.h"
#include "dialog_logic.h"
#include "hvCommon.h"

namespace {

std::wstring ModuleFileName()
{
    std::vector<wchar_t> buf(32768);
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0 || n >= buf.size())
        return std::wstring();
    return std::wstring(buf.data(), n);
}

std::wstring CurrentAccountName()
{
    if (g_userName[0])
        return g_userName;
    wchar_t name[257] = {};
    DWORD size = ARRAYSIZE(name);
    return GetUserNameW(name, &size) ? name : L"";
}

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// The registered HTML Help server, from the machine-wide classes only (a
// per-user registration must not choose the module this program loads).
// RRF_RT_REG_SZ also takes an expandable value, expanded; asking for
// RRF_RT_REG_EXPAND_SZ without RRF_NOEXPAND makes every read fail.
std::wstring RegisteredHtmlHelpServer()
{
    wchar_t value[limiter::kMaxPath] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE,
                     L"SOFTWARE\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", nullptr,
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::wstring();
    return value;
}

std::wstring SystemFolder()
{
    wchar_t folder[limiter::kMaxPath] = {};
    UINT n = GetSystemDirectoryW(folder, ARRAYSIZE(folder));
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
    std::wstring path = limiter::ChooseHtmlHelpModule(RegisteredHtmlHelpServer(), sys);
    if (!path.empty())
        entry.module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!entry.module) {
        path = limiter::PathInFolder(sys, L"hhctrl.ocx");
        if (!path.empty())
            entry.module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (entry.module)
        entry.proc = reinterpret_cast<HtmlHelpProc>(
            reinterpret_cast<void*>(GetProcAddress(entry.module, MAKEINTRESOURCEA(15))));
    return entry;
}

}  // namespace

const wchar_t* ProgramFolder()
{
    static const std::wstring folder = limiter::FolderOfPath(ModuleFileName());
    return folder.c_str();
}

int IsAdministratorsMember()
{
    const std::wstring account = CurrentAccountName();
    LOCALGROUP_USERS_INFO_0* groups = nullptr;
    DWORD read = 0, total = 0;
    NET_API_STATUS status = NetUserGetLocalGroups(nullptr, account.c_str(), 0, LG_INCLUDE_INDIRECT,
                                                  reinterpret_cast<BYTE**>(&groups), MAX_PREFERRED_LENGTH, &read,
                                                  &total);
    std::vector<const wchar_t*> names;
    if (status == NERR_Success && groups) {
        for (DWORD i = 0; i < read; ++i)
            names.push_back(groups[i].lgrui0_name);
    }
    const int verdict = limiter::AdministratorsVerdict(status == NERR_Success, names.data(), names.size());
    if (groups)
        NetApiBufferFree(groups);
    return verdict;
}

int StartSettingsUtility(HWND owner)
{
    const std::wstring path = limiter::PathInFolder(ProgramFolder(), L"cfwEdit.exe");
    if (path.empty() || !HVCGetFileExistW(path.c_str()))
        return 0;
    const auto r =
        reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return r > 32 ? 1 : 0;
}

int ShowHelpFile(HWND owner)
{
    const std::wstring path =
        g_helpPath[0] ? std::wstring(g_helpPath) : limiter::PathInFolder(ProgramFolder(), L"hvCurfew.chm");
    if (path.empty() || !HVCGetFileExistW(path.c_str()))
        return 0;
    if (!CallHtmlHelp(owner, path.c_str(), HH_DISPLAY_TOPIC, reinterpret_cast<DWORD_PTR>(L"Index.html")))
        CFWHL_MessageBoxW(owner, L"ヘルプを表示できません。", L"ヘルプ", MB_ICONEXCLAMATION);
    return 1;
}

INT_PTR CallHtmlHelp(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data)
{
    // Loaded on first use; a failure is remembered and every later call is a no-op.
    static const HtmlHelpEntry entry = LoadHtmlHelp();
    if (!entry.proc)
        return 0;
    return reinterpret_cast<INT_PTR>(entry.proc(owner, file, command, data));
}
