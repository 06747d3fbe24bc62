// The helper's watch: start the limiter when its tray window is missing, give
// a started one time to come up, but never longer than the limit; and what it
// keeps for a restarted limiter.
#include "helper_logic.h"

#include <gtest/gtest.h>

using namespace helper;

TEST(HelperWatchTest, StartsOnlyWhenTheTrayWindowIsMissing)
{
    Watch w;
    EXPECT_EQ(Action::WatchTray, NextAction(w, true, false, 1000));
    EXPECT_EQ(Action::StartLimiter, NextAction(w, false, false, 1064));
    Started(w, 1064);
    // While the started limiter runs without its window yet, nothing more starts.
    EXPECT_EQ(Action::None, NextAction(w, false, true, 1069));
    EXPECT_EQ(Action::None, NextAction(w, false, true, 1064 + kStartWaitLimitMs - 1));
    EXPECT_EQ(Action::WatchTray, NextAction(w, true, true, 1064 + kStartWaitLimitMs - 1));
    EXPECT_FALSE(w.starting);
    // A started limiter that ended (a second copy, a crash) is started again at once.
    Started(w, 5000);
    EXPECT_EQ(Action::StartLimiter, NextAction(w, false, false, 5001));
}

TEST(HelperWatchTest, GivesUpWaitingAfterTheLimitAndStartsAgain)
{
    Watch w;
    ASSERT_EQ(Action::StartLimiter, NextAction(w, false, false, 500));
    Started(w, 500);
    EXPECT_EQ(Action::StartLimiter, NextAction(w, false, true, 500 + kStartWaitLimitMs));
    EXPECT_FALSE(w.starting);
    // A tick count that went backwards ends the wait too, rather than waiting ~forever.
    Started(w, 10000);
    EXPECT_EQ(Action::StartLimiter, NextAction(w, false, true, 9000));
}

TEST(HelperMemoTest, DeadlineOnlyComesSoonerAndGrantOnlyLater)
{
    Memo m;
    EXPECT_EQ(0u, OfferDeadline(m, 0)) << "asking keeps nothing";
    EXPECT_EQ(40000u, OfferDeadline(m, 40000));
    EXPECT_EQ(40000u, OfferDeadline(m, 70000)) << "a restarted limiter's fresh 30 s does not put it off";
    EXPECT_EQ(40000u, OfferDeadline(m, 0));
    EXPECT_EQ(35000u, OfferDeadline(m, 35000));

    EXPECT_EQ(0, OfferGrant(m, 0));
    EXPECT_EQ(41000, OfferGrant(m, 41000));
    EXPECT_EQ(41000, OfferGrant(m, 40999)) << "a grant period is never taken back";
    EXPECT_EQ(41000, OfferGrant(m, -5));
    EXPECT_EQ(41001, OfferGrant(m, 41001));
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
