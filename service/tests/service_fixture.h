// Shared set-up of the service's end-to-end tests: the real cfwNotifySvc.exe
// started from the bin folder, the service removed again afterwards (every
// test runs in a prefix of its own, so the registration there is the test's).
#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include <gtest/gtest.h>

#include "cfwCommon.h"
#include "e2e.h"
#include "names.h"
#include "raii.h"

namespace service_test {

using namespace std::chrono_literals;

constexpr wchar_t kSettingsTitle[] = L"Halvern Curfew Notification Service の設定";

// The full path of a program in the bin folder, without "..".
std::wstring BinPath(const wchar_t* file);
// The service opened with all access (empty when not registered).
hv::UniqueService OpenNotifyService();
// Its state, 0 when not registered.
DWORD ServiceState();
DWORD ServiceProcessId();
void WriteLock(uint32_t hash);

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts cfwNotifySvc.exe with `args`; the process is kept for TearDown.
    e2e::Process& Run(const std::wstring& args);
    // The program's message box with this caption: checks its text, presses `button`.
    void Expect(e2e::Process& p, const wchar_t* caption, const std::wstring& text, int button = IDOK);

    std::deque<e2e::Process> runs_;
};

}  // namespace service_test
