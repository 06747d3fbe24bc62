// Shared set-up of the limiter's end-to-end tests: settings written through
// the store, the real hvCurfew.exe started and found by its process, and
// everything the limiter starts ended afterwards.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "cfwCommon.h"
#include "e2e.h"
#include "names.h"
#include "resource.h"

namespace limiter_test {

constexpr wchar_t kDialogClass[] = L"#32770";

std::wstring UserName();

// A record for the current account in the given mode, all tables closed.
UserData MakeUser(uint32_t mode);
// Hours [from, to) of one table set to allowed.
void Allow(uint8_t table[24], int from, int to);
// The daily mode, allowed for the rest of this hour and the next one.
UserData DailyForThisAndNextHour();

// The clock of this test process (the limiter shares it).
int64_t Now();

class LimiterTest : public ::testing::Test {
protected:
    // Empty settings and running state; TimeOutMode 7, so that a time-out
    // shows its countdown but never ends the test's Wine session.
    void SetUp() override;
    void TearDown() override;

    void WriteUser(const UserData& user);
    void WriteRunningState(int64_t lastLogin, uint32_t remain);
    void WriteOptions(uint32_t timeOutMode, uint32_t passwordHash);

    // Starts the limiter and waits for its tray window.
    HWND StartLimiter();
    std::wstring Remain() const { return e2e::ControlText(tray_, 1002); }
    // Waits until the remaining-time label satisfies `done`.
    bool WaitForRemain(const std::function<bool(const std::wstring&)>& done, DWORD ms = 10000) const;
    // Remaining seconds shown by the label, or -1 for "-:--:--" and -2 for junk.
    int RemainSeconds() const;
    // Restores the (minimised) tray window and moves it clear of the
    // notification area so that it can be photographed.
    void ShowTrayWindow() const;

    e2e::Process limiter_;
    HWND tray_ = nullptr;
};

int ParseRemain(const std::wstring& text);

// --- for tests that drive the limiter and its helper without the class ----

// The title of the countdown with `seconds` left.
std::wstring CountdownTitle(int seconds);
// A fresh registry for the account: its settings under Users and empty
// running state in its own hive.
void RegisterCurrentUser(const UserData& user);
void SetOptions(uint32_t timeOutMode, uint32_t amusement = 0);
// The daily hours `from` to `to` (inclusive) allowed, every other hour not.
UserData DailyHours(int from, int to);
// A plain allowance of `minutes` a day, not yet used today.
UserData TimerAllowance(uint32_t minutes);
// The running state stored in the account's own hive.
UserData StoredState();
// The tray window of the running limiter, or null.
HWND TrayWindow();
DWORD ProcessOf(HWND w);
// The tray window's remainder in seconds, or -1 when it shows no number.
int LabelSeconds(HWND tray);
HWND FindCountdown(DWORD limiterPid, int seconds);
void KillProcess(DWORD pid);

}  // namespace limiter_test
