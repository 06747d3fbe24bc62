// Stands in for hvCurfew.exe in the helper's tests, copied under that name
// into a folder of its own. Appends its process id to starts.log beside
// itself; with HV_STANDIN_MODE=window it shows a tray window of the
// limiter's class, otherwise it only runs (a limiter that never comes up).
#include <windows.h>

#include <string>

#include "names.h"

namespace {

void LogStart()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log(path, n);
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"starts.log";
    HANDLE f = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    const std::string line = std::to_string(GetCurrentProcessId()) + "\n";
    DWORD written = 0;
    WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    LogStart();
    wchar_t mode[32] = {};
    GetEnvironmentVariableW(L"HV_STANDIN_MODE", mode, 32);
    if (std::wstring(mode) != L"window") {
        Sleep(60000);
        return 0;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = hv::names::kTrayClass;
    RegisterClassW(&wc);
    CreateWindowW(hv::names::kTrayClass, L"stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, instance,
                  nullptr);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0)
        DispatchMessageW(&m);
    return 0;
}
