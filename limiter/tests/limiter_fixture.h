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

namespace limiter_test {

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

}  // namespace limiter_test
