// The monitor window's decisions: column texts, list images, the name order,
// the layout and how a refresh brings the list into step with the registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "limiter_texts.h"
#include "monitor_logic.h"

using namespace monitor;

TEST(MonitorTexts, RemainderGivesTextAndImage)
{
    struct Case {
        int32_t seconds;
        const wchar_t* text;
        ListImage image;
    } cases[] = {
        {-1, L"無制限", IMAGE_NOLIMIT},
        {0, L"時間外", IMAGE_OUT},
        {1, L"0:00:01", IMAGE_LITTLE},
        {300, L"0:05:00", IMAGE_LITTLE},
        {301, L"0:05:01", IMAGE_PLENTY},
        {3630, L"1:00:30", IMAGE_PLENTY},
        {72000, L"20:00:00", IMAGE_PLENTY},
        {601199, L"166:59:59", IMAGE_PLENTY},
        // Not produced by the evaluation; must still not show a negative clock.
        {-5, L"無制限", IMAGE_NOLIMIT},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RemainText(c.seconds, limiter::RcText), c.text) << c.seconds;
        EXPECT_EQ(ImageFor(c.seconds), c.image) << c.seconds;
    }
}

TEST(MonitorTexts, ModeNamesUseLowHalfAndNameUnknownValues)
{
    EXPECT_EQ(ModeText(0, limiter::RcText), L"制限なし");
    EXPECT_EQ(ModeText(1, limiter::RcText), L"毎日モード");
    EXPECT_EQ(ModeText(2, limiter::RcText), L"平日/週末切り替えモード");
    EXPECT_EQ(ModeText(3, limiter::RcText), L"曜日モード");
    EXPECT_EQ(ModeText(4, limiter::RcText), L"グループ モード");
    EXPECT_EQ(ModeText(5, limiter::RcText), L"リミット モード");
    // The carry-over flag in the high half changes nothing.
    EXPECT_EQ(ModeText(0x00010005u, limiter::RcText), L"リミット モード");
    EXPECT_EQ(ModeText(6, limiter::RcText), L"不明なモード (6)");
    EXPECT_EQ(ModeText(0x0001FFFFu, limiter::RcText), L"不明なモード (65535)");
}

TEST(MonitorTexts, FullNameAndClock)
{
    EXPECT_EQ(FullNameText(true, L"山田 太郎", limiter::RcText), L"山田 太郎");
    EXPECT_EQ(FullNameText(true, L"", limiter::RcText), L"(未設定)");
    EXPECT_EQ(FullNameText(false, L"", limiter::RcText), L"(取得失敗)");

    const limiter::LocalTime t{2026, 1, 2, 7, 5, 9, 5};
    EXPECT_EQ(ClockText(t), L"2026/01/02 07:05:09");
    EXPECT_EQ(AsOfText(t, limiter::RcText), L"2026/01/02 07:05 現在の情報です。");
}

TEST(MonitorTexts, MenuHelpCoversEveryItemAndNothingElse)
{
    for (unsigned id : {40006u, 40007u, 45000u, 45001u, 45002u})
        EXPECT_EQ(limiter::RcText(MenuHelp(id)).find(L"<missing"), std::wstring::npos) << id;
    EXPECT_EQ(limiter::RcText(MenuHelp(45002)), L"最新の情報に更新します。");
    for (unsigned id : {0u, 40000u, 40008u, 45003u, 0xFFFFu})
        EXPECT_EQ(MenuHelp(id), 0u) << id;
}

TEST(MonitorOrder, FoldsAsciiLettersOnly)
{
    EXPECT_LT(CompareNames(L"alice", L"Bob"), 0);
    EXPECT_GT(CompareNames(L"Carol", L"bob"), 0);
    EXPECT_LT(CompareNames(L"ann", L"anna"), 0);
    // Equal but for case: a fixed order, never "equal", so sorting is stable.
    EXPECT_NE(CompareNames(L"Ann", L"ann"), 0);
    EXPECT_EQ(CompareNames(L"Ann", L"ann"), -CompareNames(L"ann", L"Ann"));
    EXPECT_EQ(CompareNames(L"ann", L"ann"), 0);
    // Full-width letters are not folded ('Ａ' U+FF21 vs 'ａ' U+FF41).
    EXPECT_LT(CompareNames(L"Ａ", L"ａ"), 0);
    EXPECT_LT(CompareNames(L"z", L"Ａ"), 0);

    std::vector<std::wstring> names{L"dave", L"Carol", L"bob", L"Alice", L"alice"};
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return CompareNames(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alice", L"alice", L"bob", L"Carol", L"dave"}));
}

TEST(MonitorLayout, ButtonRowOnlyUntilShowAll)
{
    const Layout one = ComputeLayout(640, 400, 22, false);
    EXPECT_EQ(one.list.x, 0);
    EXPECT_EQ(one.list.width, 640);
    EXPECT_EQ(one.list.height, 400 - 22 - 32);
    EXPECT_EQ(one.button.x, 640 - 260);
    EXPECT_EQ(one.button.y, 400 - 22 - 28);
    EXPECT_EQ(one.button.width, 256);
    EXPECT_EQ(one.button.height, 24);
    EXPECT_EQ(one.statusParts[0], 640 - 192);
    EXPECT_EQ(one.statusParts[1], -1);

    const Layout all = ComputeLayout(640, 400, 22, true);
    EXPECT_EQ(all.list.height, 400 - 22);

    // A window shrunk below the fixed parts gives no negative sizes.
    const Layout tiny = ComputeLayout(100, 30, 22, false);
    EXPECT_EQ(tiny.list.height, 0);
    EXPECT_EQ(tiny.statusParts[0], 0);
}

namespace {
// Applies a plan the way the window does: updates and appends, then the
// deletions, then the current account. Returns the list afterwards.
std::vector<std::wstring> Apply(std::vector<std::wstring> items, const std::vector<std::wstring>* registered,
                                const std::wstring& current)
{
    const SyncPlan plan = PlanSync(items, registered, current);
    if (registered) {
        EXPECT_EQ(plan.registeredItem.size(), registered->size());
        for (size_t i = 0; i < registered->size(); ++i) {
            const int at = plan.registeredItem[i];
            if (at == -1) {
                items.push_back((*registered)[i]);
            } else if (at >= 0) {
                EXPECT_EQ(items.at(at), (*registered)[i]);
            }
        }
    }
    int previous = static_cast<int>(items.size());
    for (int d : plan.deletions) {
        EXPECT_LT(d, previous) << "deletions must come highest first";
        previous = d;
        items.erase(items.begin() + d);
    }
    if (plan.currentItem < 0) {
        items.push_back(current);
    } else {
        EXPECT_EQ(items.at(plan.currentItem), current);
    }
    return items;
}
}  // namespace

TEST(MonitorSync, AddsUpdatesAndRemovesByExactName)
{
    struct Case {
        const char* what;
        std::vector<std::wstring> items;
        std::vector<std::wstring> registered;
        bool opened;
        std::wstring current;
        std::vector<std::wstring> expected;
    } cases[] = {
        {"first open", {}, {}, false, L"me", {L"me"}},
        {"show all", {L"me"}, {L"ann", L"bob"}, true, L"me", {L"me", L"ann", L"bob"}},
        {"current is registered too", {L"me"}, {L"ann", L"me"}, true, L"me", {L"me", L"ann"}},
        {"deleted key goes", {L"ann", L"bob", L"me", L"cid"}, {L"ann", L"cid"}, true, L"me", {L"ann", L"me", L"cid"}},
        {"names compare exactly", {L"Ann", L"me"}, {L"ann"}, true, L"me", {L"me", L"ann"}},
        {"key not opened: nothing removed", {L"ann", L"me"}, {}, false, L"me", {L"ann", L"me"}},
        {"every key gone", {L"ann", L"bob", L"me"}, {}, true, L"me", {L"me"}},
        {"repeated name once", {L"me"}, {L"ann", L"ann"}, true, L"me", {L"me", L"ann"}},
        {"no current account name", {L"ann"}, {L"ann"}, true, L"", {L"ann", L""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Apply(c.items, c.opened ? &c.registered : nullptr, c.current), c.expected);
    }
}

TEST(MonitorSync, CostGrowsWithTheNumberOfAccounts)
{
    // 20,000 registered names against a list holding every other one: a
    // pairwise search would take seconds here, even more with the sanitizers.
    std::vector<std::wstring> registered, items;
    for (int i = 0; i < 20000; ++i) {
        registered.push_back(L"user" + std::to_wstring(i));
        if (i % 2 == 0)
            items.push_back(L"gone" + std::to_wstring(i));
        else
            items.push_back(registered.back());
    }
    const auto start = std::chrono::steady_clock::now();
    const SyncPlan plan = PlanSync(items, &registered, L"user7");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(plan.deletions.size(), 10000u);
    EXPECT_EQ(std::count(plan.registeredItem.begin(), plan.registeredItem.end(), -1), 10000);
    EXPECT_EQ(plan.currentItem, 3);  // "user7" sat at 7; "gone0" to "gone6" below it go
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 2000);
}
