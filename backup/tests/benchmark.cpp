// Hand-run benchmark (tests/benchmark.sh): backup and restore of 1,000 and
// 10,000 registered users by the real cfwBackup.exe, against `reg export` and
// `reg import` of the same keys in the same run and prefix. Prints the times
// and their ratios; asserts nothing.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "cfwCommon.h"
#include "e2e.h"
#include "names.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const wchar_t kTitle[] = L"Halvern Curfew バックアップ ツール";
constexpr auto kLong = std::chrono::milliseconds(600000);

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

void Seed(int users)
{
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
    OptionData o{0, 0, PASSWORD_LOCK_OFF};
    WriteOptionDataW(&o);
    for (int i = 0; i < users; ++i) {
        UserData u{};
        u.LimitMode = LIMIT_DAY_OF_WEEK;
        for (int h = 8; h < 18; ++h)
            u.DayLimitTable[i % 7][h] = 1;
        u.LimitModeTimeDay = 120;
        u.LimitModeTimeHalfAM = u.LimitModeTimeHalfPM = 30;
        wchar_t name[20];
        swprintf(name, 20, L"user%05d", i);
        WriteUserDataW(name, &u, 0);
    }
    GroupData g{};
    WriteGroupDataW(L"kids", &g);
}

// Runs `reg` with `args` and waits for it; milliseconds.
double Reg(const std::wstring& args)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring exe = std::wstring(system) + L"\\reg.exe";
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const auto t0 = Clock::now();
    if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    const double ms = Ms(t0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ms;
}

bool AnswerAndTime(DWORD pid, const wchar_t* question, int button, const wchar_t* done, double& ms)
{
    auto q = e2e::WaitForMessageBox(pid, question, 20s);
    if (!q)
        return false;
    const auto t0 = Clock::now();
    e2e::Answer(*q, button);
    auto d = e2e::WaitForMessageBox(pid, done, kLong);
    ms = Ms(t0);
    if (!d)
        return false;
    e2e::Answer(*d, IDOK);
    return true;
}

bool ToolBackup(const std::wstring& path, double& ms)
{
    e2e::Process tool = e2e::Start(hv::names::kBackupFile);
    HWND main = e2e::WaitForWindow(L"#32770", kTitle, tool.pid(), 20s);
    if (!main)
        return false;
    e2e::SetControlText(main, 1004, path);
    e2e::Click(main, IDOK);
    const bool ok = AnswerAndTime(tool.pid(), L"バックアップ開始確認", IDYES, L"バックアップ完了", ms);
    tool.Kill();
    return ok;
}

bool ToolRestore(const std::wstring& path, double& ms)
{
    e2e::Process tool = e2e::Start(hv::names::kBackupFile);
    HWND main = e2e::WaitForWindow(L"#32770", kTitle, tool.pid(), 20s);
    if (!main)
        return false;
    e2e::Click(main, 1002);
    e2e::WaitUntil([&] { return !IsWindowVisible(GetDlgItem(main, 1006)); }, 5s);
    e2e::SetControlText(main, 1004, path);
    e2e::Click(main, IDOK);
    HWND dlg = e2e::WaitForWindow(L"#32770", L"バックアップから復元", tool.pid(), 20s);
    if (!dlg)
        return false;
    e2e::Click(dlg, IDOK);
    const bool ok = AnswerAndTime(tool.pid(), L"復元開始確認", IDYES, L"復元完了", ms);
    tool.Kill();
    return ok;
}

}  // namespace

int wmain()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring file = std::wstring(temp) + L"bench.cfwb", regFile = std::wstring(temp) + L"bench.reg";
    const std::wstring key = L"\"HKLM\\" CFW_REG_ROOT_W L"\"";
    printf("%8s %12s %12s %7s %12s %12s %7s\n", "users", "backup ms", "export ms", "ratio", "restore ms",
           "import ms", "ratio");
    // The machine is shared: each figure is the best of five rounds, the tool
    // and reg taking turns.
    constexpr int kRounds = 5;
    for (int users : {1000, 10000}) {
        Seed(users);
        double backup = 1e30, exportMs = 1e30, restore = 1e30, importMs = 1e30;
        for (int round = 0; round < kRounds; ++round) {
            double ms = 0;
            if (!ToolBackup(file, ms)) {
                printf("%8d backup failed\n", users);
                return 1;
            }
            backup = std::min(backup, ms);
            exportMs = std::min(exportMs, Reg(L"export " + key + L" \"" + regFile + L"\" /y"));
        }
        DWORD subkeys = 0;
        for (int round = 0; round < kRounds; ++round) {
            e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
            double ms = 0;
            if (!ToolRestore(file, ms)) {
                printf("%8d restore failed\n", users);
                return 1;
            }
            restore = std::min(restore, ms);
            // The restore must have brought every account back.
            HKEY k;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W, 0, KEY_READ, &k) == ERROR_SUCCESS) {
                RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr);
                RegCloseKey(k);
            }
            e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
            importMs = std::min(importMs, Reg(L"import \"" + regFile + L"\""));
        }
        printf("%8d %12.0f %12.0f %7.2f %12.0f %12.0f %7.2f   (restored %lu accounts; per account: backup %.3f ms, "
               "restore %.3f ms)\n",
               users, backup, exportMs, backup / exportMs, restore, importMs, restore / importMs, subkeys,
               backup / users, restore / users);
        fflush(stdout);
    }
    return 0;
}
