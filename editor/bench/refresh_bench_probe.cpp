// Hand-run benchmark of the settings utility's list refresh (see
// refresh_bench.sh): with N registered users, the time from starting
// cfwEdit.exe to its filled main window and the time of an F5 refresh after
// one key was added and one deleted, each against `reg query` enumerating the
// same key in the same run, and against the measured cost of one enumeration
// of the key (the old refresh enumerated the key once per list item).
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

#include <string>

#include "cfwCommon.h"
#include "e2e.h"
#include "names.h"

namespace {

using namespace std::chrono_literals;

double Seconds(ULONGLONG from) { return static_cast<double>(GetTickCount64() - from) / 1000.0; }

std::wstring UserKey(int i)
{
    wchar_t name[64];
    swprintf(name, 64, CFW_REG_USERS_W L"\\user%05d", i);
    return name;
}

void CreateUsers(int from, int to)
{
    for (int i = from; i < to; ++i) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, UserKey(i).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
}

// `reg query` of the Users key, its output thrown away; best of three.
double RegQuerySeconds()
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        wchar_t cmd[512];
        swprintf(cmd, 512, L"reg.exe query \"HKLM\\%ls\"", CFW_REG_USERS_W);
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = nul;
        PROCESS_INFORMATION pi{};
        const ULONGLONG t0 = GetTickCount64();
        if (CreateProcessW(nullptr, cmd, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
            WaitForSingleObject(pi.hProcess, INFINITE);
            best = std::min(best, Seconds(t0));
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        CloseHandle(nul);
    }
    return best;
}

// One enumeration of the key as the list refresh does it, in this process.
double EnumerationSeconds()
{
    const ULONGLONG t0 = GetTickCount64();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    for (DWORD i = 0;; ++i) {
        wchar_t name[32];
        DWORD chars = 32;
        if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return Seconds(t0);
}

int ListCount(HWND main)
{
    return static_cast<int>(SendMessageW(GetDlgItem(main, 1001), LVM_GETITEMCOUNT, 0, 0));
}

bool Measure(int users)
{
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W);
    CreateUsers(0, users);
    const double reg = RegQuerySeconds();
    const double enumeration = EnumerationSeconds();

    const ULONGLONG t0 = GetTickCount64();
    e2e::Process editor = e2e::Start(hv::names::kEditorFile);
    HWND main = nullptr;
    e2e::WaitUntil(
        [&] {
            if (!main)
                main = e2e::WaitForWindow(L"cfwEdit", nullptr, editor.pid(), 0ms);
            return main && IsWindowVisible(main);
        },
        600s);
    const double start = Seconds(t0);
    if (!main || ListCount(main) != users) {
        printf("%6d users: the utility did not start with its list filled\n", users);
        editor.Kill();
        return false;
    }

    CreateUsers(users, users + 1);
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, UserKey(0).c_str());
    const ULONGLONG t1 = GetTickCount64();
    SendMessageW(main, WM_COMMAND, 40004, 0);  // F5; returns when both lists are done
    const double refresh = Seconds(t1);
    const bool ok = ListCount(main) == users;
    editor.Kill();

    printf("%6d users: reg query %.3f s | start-up %.3f s (%.2fx) | F5 %.3f s (%.2fx) | one enumeration %.4f s,"
           " so one per item would take about %.0f s%s\n",
           users, reg, start, start / reg, refresh, refresh / reg, enumeration, enumeration * users,
           ok ? "" : " | F5 left a wrong count");
    return ok;
}

}  // namespace

int wmain()
{
    OptionData options{TIMEOUT_LOGOFF, 0, PASSWORD_LOCK_OFF};
    WriteOptionDataW(&options);
    bool ok = true;
    for (int users : {1000, 10000})
        ok = Measure(users) && ok;
    return ok ? 0 : 1;
}
