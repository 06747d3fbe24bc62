// Started by the session notifier in place of cfwNotify.exe: appends its
// command line and whether it inherited a handle to
// HKCU\Software\HalvernTest\Launches.
#include <windows.h>

#include <string>

int wmain()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\HalvernTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 1;
    wchar_t old[4096] = {};
    DWORD size = sizeof old - sizeof(wchar_t);
    RegQueryValueExW(key, L"Launches", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size);
    std::wstring all = old;
    all += GetCommandLineW();
    all += L"|";
    RegSetValueExW(key, L"Launches", 0, REG_SZ, reinterpret_cast<const BYTE*>(all.c_str()),
                   static_cast<DWORD>((all.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return 0;
}
