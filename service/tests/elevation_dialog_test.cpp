// Dialog 503 built into a test program with the service program's
// resources: Wine's account always has an elevated token, so the real
// program never shows it. No releases the single-instance lock.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "e2e.h"
#include "service.h"

ServiceProgram g_program;

void RetakeLock()
{
    while (!g_program.mutex)
        g_program.mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kServiceMutex));
}

namespace {

using namespace std::chrono_literals;

TEST(ElevationDialog, TextsLookAndNoReleasesTheLock)
{
    g_program.instance = GetModuleHandleW(nullptr);
    g_program.firstArgument = L"/Setup";
    RetakeLock();
    bool elevated = true;
    std::thread shown([&] { elevated = ShowElevationDialog(); });
    HWND dialog = e2e::AwaitWindow(L"#32770", L"管理者への昇格が必要です", GetCurrentProcessId(), 20s);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(L"はい(&Y)", e2e::ControlText(dialog, IDYES));
    EXPECT_EQ(L"いいえ(&N)", e2e::ControlText(dialog, IDNO));
    EXPECT_FALSE(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU);
    Sleep(500);
    e2e::Screenshot(L"service_elevation");
    PostMessageW(dialog, WM_COMMAND, IDNO, 0);
    shown.join();
    EXPECT_FALSE(elevated);
    EXPECT_FALSE(g_program.mutex);
    // Released: a new lock is the first one again.
    hv::UniqueHandle again(CreateMutexW(nullptr, FALSE, hv::names::kServiceMutex));
    EXPECT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
}

}  // namespace
