// The end-to-end helpers themselves: fake clock reaching a child program,
// exit codes, process clean-up.
#include <windows.h>

#include <gtest/gtest.h>

#include "e2e.h"

namespace {

using namespace std::chrono_literals;

TEST(Harness, FakeClockReachesChildProgramsAndRunsOn)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-02 17:59:50"));
    auto p = e2e::Start(L"..\\test-bin\\clock_probe.exe");
    ASSERT_TRUE(p);
    auto code = p.Wait(20000);
    ASSERT_TRUE(code.has_value());
    const int seconds = static_cast<int>(*code);
    EXPECT_GE(seconds, 17 * 3600 + 59 * 60 + 50);
    EXPECT_LE(seconds, 17 * 3600 + 59 * 60 + 59);

    // A program started later lives on the same timeline.
    Sleep(2000);
    auto later = e2e::Start(L"..\\test-bin\\clock_probe.exe");
    auto code2 = later.Wait(20000);
    ASSERT_TRUE(code2.has_value());
    EXPECT_GE(static_cast<int>(*code2), seconds);
}

TEST(Harness, KillAllEndsEveryCopy)
{
    auto a = e2e::Start(L"..\\test-bin\\idle_probe.exe");
    auto b = e2e::Start(L"..\\test-bin\\idle_probe.exe");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(2u, e2e::Pids(L"idle_probe.exe").size());
    e2e::KillAll(L"idle_probe.exe");
    EXPECT_TRUE(e2e::Pids(L"idle_probe.exe").empty());
    EXPECT_FALSE(a.Running());
}

}  // namespace
