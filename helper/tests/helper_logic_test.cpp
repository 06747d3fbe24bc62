// The helper's watch: start the limiter when its tray window is missing, wait
// for the new window, but never longer than the limit.
#include "helper_logic.h"

#include <gtest/gtest.h>

using namespace helper;

TEST(HelperWatchTest, StartsOnlyWhenTheTrayWindowIsMissing)
{
    Watch w;
    EXPECT_EQ(Action::None, NextAction(w, true, 1000));
    EXPECT_EQ(Action::StartLimiter, NextAction(w, false, 1064));
    Started(w, 1064);
    // While waiting, a missing window starts nothing more.
    EXPECT_EQ(Action::None, NextAction(w, false, 1069));
    EXPECT_EQ(Action::None, NextAction(w, false, 1064 + kStartWaitLimitMs - 1));
    EXPECT_EQ(Action::ResumeWatching, NextAction(w, true, 1064 + kStartWaitLimitMs - 1));
    EXPECT_EQ(Action::None, NextAction(w, true, 2000 + kStartWaitLimitMs));
}

TEST(HelperWatchTest, GivesUpWaitingAfterTheLimitAndWatchesAgain)
{
    Watch w;
    ASSERT_EQ(Action::StartLimiter, NextAction(w, false, 500));
    Started(w, 500);
    EXPECT_EQ(Action::ResumeWatching, NextAction(w, false, 500 + kStartWaitLimitMs));
    EXPECT_EQ(Phase::Watching, w.phase);
    EXPECT_EQ(Action::StartLimiter, NextAction(w, false, 564 + kStartWaitLimitMs));
    // A tick count that went backwards ends the wait too, rather than waiting ~forever.
    Started(w, 10000);
    EXPECT_EQ(Action::ResumeWatching, NextAction(w, false, 9000));
}

TEST(HelperWatchTest, LimiterPathIsBesideTheHelper)
{
    struct {
        const wchar_t* module;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Program Files\\Halvern\\cfwHelper.exe", L"C:\\Program Files\\Halvern\\hvCurfew.exe"},
        {L"\\\\server\\share\\bin\\cfwHelper.exe", L"\\\\server\\share\\bin\\hvCurfew.exe"},
        {L"C:\\cfwHelper.exe", L"C:\\hvCurfew.exe"},
        {L"cfwHelper.exe", L""},  // no folder: nothing for the shell to search for
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.expected), SiblingPath(c.module, L"hvCurfew.exe"));
}
