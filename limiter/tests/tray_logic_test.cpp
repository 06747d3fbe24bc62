// Decisions of the tray window that need no window: display states, the
// remainder's text, the tips, which warning a tick fires, when the running
// state is written, the time-out's exit flags and forwarded commands.
#include <gtest/gtest.h>

#include <vector>

#include "limiter_texts.h"
#include "tray_logic.h"

namespace {

using namespace tray;

TEST(TrayLogic, StateOfEachRemainder)
{
    const struct {
        int32_t remain;
        DisplayState state;
    } cases[] = {
        {-1, STATE_NOLIMIT}, {-7, STATE_NOLIMIT}, {0, STATE_OUT},       {1, STATE_LITTLE},
        {299, STATE_LITTLE}, {300, STATE_LITTLE}, {301, STATE_PLENTY}, {72000, STATE_PLENTY},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.state, StateFor(c.remain)) << c.remain;
}

TEST(TrayLogic, RemainderText)
{
    const struct {
        int32_t remain;
        const wchar_t* text;
    } cases[] = {
        {-1, L"-:--:--"}, {0, L"0:00:00"}, {59, L"0:00:59"}, {7200, L"2:00:00"},
        {7199, L"1:59:59"}, {72000, L"20:00:00"}, {65535, L"18:12:15"}, {360000, L"100:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, FormatRemain(c.remain)) << c.remain;
}

TEST(TrayLogic, TipsCarryTheAccountName)
{
    EXPECT_EQ(L"現在のユーザー名 : kenji", TipFor(STATE_PLENTY, L"kenji", limiter::RcText));
    EXPECT_EQ(L"現在のユーザー名 : kenji (制限なし)", TipFor(STATE_NOLIMIT, L"kenji", limiter::RcText));
    EXPECT_EQ(L"現在のユーザー名 : kenji (時間外)", TipFor(STATE_OUT, L"kenji", limiter::RcText));
    EXPECT_EQ(L"初期化しています...", TipFor(STATE_INIT, L"kenji", limiter::RcText));
    // A name holding a format directive is text, not a format.
    EXPECT_EQ(L"現在のユーザー名 : %s%n (残りわずか)", TipFor(STATE_LITTLE, L"%s%n", limiter::RcText));
    EXPECT_EQ(L"現在のユーザー名 :  (残りわずか)", TipFor(STATE_LITTLE, nullptr, limiter::RcText));
    // The longest name the limiter holds (31 characters) goes into the tip
    // whole, with the state's addition after it: nothing is cut off.
    const std::wstring longest = L"0123456789012345678901234567890";
    EXPECT_EQ(L"現在のユーザー名 : " + longest + L" (残りわずか)", TipFor(STATE_LITTLE, longest.c_str(), limiter::RcText));
}

// Feeds remainders tick by tick and collects what fires.
std::vector<WarningId> Fired(std::initializer_list<int32_t> ticks)
{
    WarningTracker tracker;
    std::vector<WarningId> fired;
    for (int32_t remain : ticks)
        fired.push_back(tracker.Next(remain));
    return fired;
}

TEST(TrayLogic, WarningsFireOnceAtOrPastTheirThreshold)
{
    using V = std::vector<WarningId>;
    // Exact seconds, once each.
    EXPECT_EQ((V{WARN_NONE, WARN_10MIN, WARN_NONE}), Fired({601, 600, 599}));
    EXPECT_EQ((V{WARN_NONE, WARN_1MIN, WARN_NONE, WARN_NONE}), Fired({61, 60, 59, 1}));
    // A late tick that jumps over the threshold still warns.
    EXPECT_EQ((V{WARN_NONE, WARN_10MIN, WARN_NONE}), Fired({601, 598, 597}));
    EXPECT_EQ((V{WARN_NONE, WARN_3MIN}), Fired({181, 170}));
    // One gap over several thresholds: only the most urgent.
    EXPECT_EQ((V{WARN_NONE, WARN_5MIN}), Fired({700, 250}));
    EXPECT_EQ((V{WARN_NONE, WARN_1MIN}), Fired({700, 30}));
    // The first tick has nothing to compare with: only an exact threshold.
    EXPECT_EQ((V{WARN_10MIN}), Fired({600}));
    EXPECT_EQ((V{WARN_NONE, WARN_NONE}), Fired({550, 549}));
    // From no limit (a reload into a schedule) the nearer threshold warns.
    EXPECT_EQ((V{WARN_NONE, WARN_5MIN}), Fired({-1, 250}));
    // A new allowance starts the warnings afresh.
    EXPECT_EQ((V{WARN_NONE, WARN_1MIN, WARN_NONE, WARN_NONE, WARN_10MIN}), Fired({61, 60, 7200, 601, 600}));
    // Out of time and no limit never warn; the time-out has its own path.
    EXPECT_EQ((V{WARN_NONE, WARN_NONE, WARN_NONE}), Fired({61, 0, -1}));
}

TEST(TrayLogic, WarningTextsAndStyles)
{
    EXPECT_EQ(L"タイムアウト 10 分前", limiter::RcText(WarningOf(WARN_10MIN).title));
    EXPECT_EQ(BALLOON_INFO, WarningOf(WARN_10MIN).kind);
    EXPECT_EQ(64u, WarningOf(WARN_10MIN).boxStyle);
    for (WarningId id : {WARN_5MIN, WARN_3MIN, WARN_1MIN}) {
        EXPECT_EQ(BALLOON_WARNING, WarningOf(id).kind);
        EXPECT_EQ(48u, WarningOf(id).boxStyle);
    }
    EXPECT_EQ(BALLOON_ERROR, WarningOf(WARN_TIMEOUT).kind);
    EXPECT_EQ(0, WarningOf(WARN_TIMEOUT).threshold);
}

TEST(TrayLogic, RunningStateIsWrittenOnChangeEveryFewSeconds)
{
    const StateStore never;
    EXPECT_TRUE(ShouldStoreState(never, 600, 1000));
    const StateStore last{true, 600, 1000};
    EXPECT_FALSE(ShouldStoreState(last, 600, 1009));  // unchanged
    EXPECT_FALSE(ShouldStoreState(last, 599, 1000));  // same second
    EXPECT_FALSE(ShouldStoreState(last, 596, 1004));
    EXPECT_TRUE(ShouldStoreState(last, 595, 1000 + kStoreEverySeconds));
    EXPECT_TRUE(ShouldStoreState(last, 599, 900));  // the clock was set back
}

TEST(TrayLogic, ExitFlagsOfEachTimeOutMode)
{
    const struct {
        uint32_t mode;
        bool shown;
        uint32_t os;
        int flags;
    } cases[] = {
        {0, true, 0xA00, 0},  {1, true, 0xA00, 0},  {1, true, 0x500, 0},   {1, true, 0x410, 4},
        {2, true, 0xA00, 9},  {3, true, 0xA00, 13}, {7, true, 0xA00, -1},  {2, false, 0xA00, 0},
        {3, false, 0xA00, 0}, {7, false, 0xA00, 0}, {1, false, 0x410, 4}, {1, false, 0x500, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.flags, ExitFlagsFor(c.mode, c.shown, c.os)) << c.mode << " " << c.shown << " " << c.os;
}

TEST(TrayLogic, ForwardedCommands)
{
    const struct {
        const wchar_t* argument;
        int command;
    } cases[] = {
        {L"/Monitor", 40000}, {L"/UseInfo", 40001}, {L"/Apply", 40005}, {L"/Help", 40006},
        {L"/About", 40007},   {L"/monitor", 0},     {L"/MONITOR", 0},   {L"/Monitor2", 0},
        {L"Monitor", 0},      {L"", 0},             {L"/Exit", 0},      {nullptr, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.command, ForwardedCommand(c.argument)) << (c.argument ? c.argument : L"(null)");
}

}  // namespace
