// cfwHelper.exe under Wine: it brings back a killed limiter, stops on
// WM_HELPER_STOP (also while a started limiter is still coming up), runs once
// per session and starts only the limiter beside itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "e2e.h"
#include "names.h"

using namespace std::chrono_literals;

namespace {

constexpr UINT WM_HELPER_STOP = hv::names::kHelperStopMessage;
constexpr const wchar_t* kTray = hv::names::kTrayClass;
constexpr const wchar_t* kHelper = hv::names::kHelperClass;

std::wstring TestBinDir()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

// A folder of its own holding a copy of the helper and, optionally, the
// stand-in limiter under the limiter's file name.
struct Folder {
    std::wstring path;
    explicit Folder(bool withLimiter)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        path = std::wstring(temp) + L"helper_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(++serial);
        CreateDirectoryW(path.c_str(), nullptr);
        EXPECT_TRUE(CopyFileW((e2e::BinDir() + L"\\cfwHelper.exe").c_str(), (path + L"\\cfwHelper.exe").c_str(), FALSE));
        if (withLimiter) {
            EXPECT_TRUE(CopyFileW((TestBinDir() + L"\\limiter_standin.exe").c_str(),
                                  (path + L"\\hvCurfew.exe").c_str(), FALSE));
        }
    }
    ~Folder()
    {
        e2e::KillAll(hv::names::kHelperFile);
        e2e::KillAll(hv::names::kLimiterFile);
        for (const wchar_t* f : {L"\\cfwHelper.exe", L"\\hvCurfew.exe", L"\\starts.log"})
            DeleteFileW((path + f).c_str());
        RemoveDirectoryW(path.c_str());
    }
    // Process ids the stand-in logged, one per start.
    std::vector<DWORD> Starts() const
    {
        std::vector<DWORD> pids;
        FILE* f = _wfopen((path + L"\\starts.log").c_str(), L"r");
        if (!f)
            return pids;
        for (unsigned long pid; fscanf(f, "%lu", &pid) == 1;)
            pids.push_back(pid);
        fclose(f);
        return pids;
    }
};

e2e::Process Launch(const std::wstring& exe, const std::wstring& cwd)
{
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
        return e2e::Process();
    CloseHandle(pi.hThread);
    return e2e::Process(pi.hProcess, pi.dwProcessId);
}

DWORD PidOf(HWND w)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

bool Stop(HWND helperWindow)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(helperWindow, WM_HELPER_STOP, 0, 0, SMTO_ABORTIFHUNG, 3000, &result) != 0;
}

// Stops helpers and limiters that keep restarting each other.
void EndBoth()
{
    for (int round = 0; round < 5; ++round) {
        for (HWND w : e2e::FindWindows(kHelper, nullptr))
            Stop(w);
        e2e::KillAll(hv::names::kLimiterFile);
        e2e::KillAll(hv::names::kHelperFile);
        if (e2e::Pids(hv::names::kLimiterFile).empty() && e2e::Pids(hv::names::kHelperFile).empty())
            return;
    }
}

TEST(HelperTest, BringsBackAKilledLimiter)
{
    e2e::Process helper = e2e::Start(hv::names::kHelperFile);
    ASSERT_TRUE(helper);
    HWND tray = e2e::WaitForWindow(kTray, nullptr, 0, 20s);
    ASSERT_NE(nullptr, tray) << "the helper did not start the limiter";
    const DWORD first = PidOf(tray);
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, first)) {
        TerminateProcess(h, 1);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            for (HWND w : e2e::FindWindows(kTray, nullptr))
                if (PidOf(w) != first)
                    return true;
            return false;
        },
        20s))
        << "no new limiter after the first was killed";
    EXPECT_EQ(1u, e2e::FindWindows(kHelper, nullptr).size());
    EndBoth();
}

TEST(HelperTest, RunsOnceAndStopsOnRequest)
{
    Folder folder(true);
    SetEnvironmentVariableW(L"HV_STANDIN_MODE", L"window");
    e2e::Process helper = Launch(folder.path + L"\\cfwHelper.exe", folder.path);
    ASSERT_TRUE(helper);
    ASSERT_NE(nullptr, e2e::WaitForWindow(kTray, nullptr, 0, 15s));
    HWND window = e2e::WaitForWindow(kHelper, nullptr, helper.pid(), 5s);
    ASSERT_NE(nullptr, window);

    // A second helper in the session ends at once and leaves the first alone.
    e2e::Process second = Launch(folder.path + L"\\cfwHelper.exe", folder.path);
    ASSERT_TRUE(second);
    EXPECT_EQ(0u, second.Wait(10000).value_or(259));
    EXPECT_EQ(1u, e2e::FindWindows(kHelper, nullptr).size());
    // Nor does the helper start a limiter whose tray window is there.
    EXPECT_EQ(1u, folder.Starts().size());

    ASSERT_TRUE(Stop(window));
    EXPECT_EQ(0u, helper.Wait(5000).value_or(259));
    e2e::KillAll(hv::names::kLimiterFile);
    Sleep(500);  // several watch periods: a helper still watching would have restarted it
    EXPECT_EQ(1u, folder.Starts().size());
    EXPECT_TRUE(e2e::FindWindows(kTray, nullptr).empty());
}

TEST(HelperTest, StopIsHonouredWhileAStartedLimiterComesUp)
{
    Folder folder(true);
    SetEnvironmentVariableW(L"HV_STANDIN_MODE", L"silent");  // starts, never shows its window
    e2e::Process helper = Launch(folder.path + L"\\cfwHelper.exe", folder.path);
    ASSERT_TRUE(helper);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !folder.Starts().empty(); }, 15s));
    HWND window = e2e::WaitForWindow(kHelper, nullptr, helper.pid(), 5s);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(Stop(window)) << "the helper did not answer while waiting for the limiter";
    EXPECT_EQ(0u, helper.Wait(5000).value_or(259));
    EXPECT_EQ(1u, folder.Starts().size());
}

TEST(HelperTest, StartsOnlyTheLimiterBesideItself)
{
    // No limiter beside the helper, but one in the current folder: the helper
    // must not take that one; it ends instead.
    Folder folder(false);
    e2e::Process helper = Launch(folder.path + L"\\cfwHelper.exe", e2e::BinDir());
    ASSERT_TRUE(helper);
    EXPECT_EQ(0u, helper.Wait(10000).value_or(259));
    EXPECT_TRUE(e2e::Pids(hv::names::kLimiterFile).empty());
    EXPECT_TRUE(e2e::FindWindows(kTray, nullptr).empty());
}

}  // namespace
