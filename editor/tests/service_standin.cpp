// A stand-in for the notification service in the tests of Apply: it runs
// under the service's name and counts the settings notifications it gets in
// HKLM\Software\HalvernTest\Notifications.
#include <windows.h>

#include "names.h"

namespace {

SERVICE_STATUS_HANDLE g_handle = nullptr;
HANDLE g_stop = nullptr;

void Report(DWORD state)
{
    SERVICE_STATUS s{};
    s.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    s.dwCurrentState = state;
    s.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(g_handle, &s);
}

void CountNotification()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\HalvernTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    DWORD count = 0, size = sizeof count;
    RegQueryValueExW(key, L"Notifications", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
    ++count;
    RegSetValueExW(key, L"Notifications", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(key);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*)
{
    if (control == hv::names::kNotifySettingsControl) {
        CountNotification();
    } else if (control == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING);  // first, then wake the service thread
        SetEvent(g_stop);
    }
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*)
{
    g_handle = RegisterServiceCtrlHandlerExW(hv::names::kServiceName, Handler, nullptr);
    if (!g_handle)
        return;
    Report(SERVICE_RUNNING);
    WaitForSingleObject(g_stop, INFINITE);
    Report(SERVICE_STOPPED);
}

}  // namespace

int wmain()
{
    g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t name[64];
    lstrcpynW(name, hv::names::kServiceName, 64);
    SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
