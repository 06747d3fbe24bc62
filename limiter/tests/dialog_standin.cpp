// Stand-in for the settings utility: records where it was started from in
// the file named by HV_STANDIN_OUT, then ends.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t out[MAX_PATH] = {};
    wchar_t self[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"HV_STANDIN_OUT", out, MAX_PATH))
        return 1;
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    HANDLE f = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(f, self, n * sizeof(wchar_t), &written, nullptr);
    CloseHandle(f);
    return 0;
}
