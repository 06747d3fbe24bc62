// The utility's decisions as plain functions: start switch, admission, the
// list refresh plan, layout, time-out texts, password lock and wizard rules.
#include "editor_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cfwCommon.h"
#include "editor_texts.h"
#include "shared_logic.h"
#include "resource.h"

namespace {

using editor::ListChange;
using Names = std::vector<std::wstring>;

TEST(StartSwitch, FirstArgumentInAnyCase)
{
    const struct {
        const wchar_t* arg;
        editor::StartSwitch expected;
    } cases[] = {
        {nullptr, editor::StartSwitch::None},        {L"", editor::StartSwitch::None},
        {L"/Wizard", editor::StartSwitch::Wizard},   {L"/wIZARD", editor::StartSwitch::Wizard},
        {L"/Upgrade", editor::StartSwitch::Upgrade}, {L"/UPGRADE", editor::StartSwitch::Upgrade},
        {L"/Wizard2", editor::StartSwitch::None},    {L"Wizard", editor::StartSwitch::None},
        {L"/Wiz", editor::StartSwitch::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, editor::ParseStartSwitch(c.arg)) << (c.arg ? c.arg : L"(null)");
}

TEST(Admission, OnlyAnElevatedAdministratorIsLetIn)
{
    EXPECT_EQ(editor::Admission::Admit, editor::DecideAdmission(true, true));
    EXPECT_EQ(editor::Admission::FilteredToken, editor::DecideAdmission(true, false));
    EXPECT_EQ(editor::Admission::NotAdministrator, editor::DecideAdmission(false, true));
    EXPECT_EQ(editor::Admission::NotAdministrator, editor::DecideAdmission(false, false));
    // A failed group lookup is no membership for the utility.
    for (int verdict : {1, 0, -1})
        EXPECT_EQ(verdict == 1 ? editor::Admission::Admit : editor::Admission::NotAdministrator,
                  editor::DecideAdmission(hv::CountsAsAdministrator(verdict, hv::LookupFailure::CountsAsNonMember),
                                          true))
            << verdict;
}

Names Refreshed(Names list, const Names& names)
{
    editor::ApplyListChanges(list, editor::PlanListRefresh(list, names));
    return list;
}

TEST(ListRefresh, FollowsTheKey)
{
    const struct {
        Names list, names, expected;
    } cases[] = {
        {{}, {}, {}},
        {{}, {L"b", L"a", L"c"}, {L"b", L"a", L"c"}},                    // enumeration order, not sorted
        {{L"a", L"b"}, {L"a", L"b"}, {L"a", L"b"}},                       // nothing to do
        {{L"a", L"c"}, {L"a", L"b", L"c"}, {L"a", L"b", L"c"}},           // new name at its index
        {{L"a", L"b", L"c"}, {L"a", L"c"}, {L"a", L"c"}},                 // stale name removed
        {{L"alice"}, {L"Alice"}, {L"Alice"}},                             // exact, case-sensitive
        {{L"x", L"y"}, {L"a", L"b", L"c", L"d"}, {L"a", L"b", L"c", L"d"}},  // all replaced
        {{L"a"}, {L"z", L"y", L"a"}, {L"z", L"y", L"a"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, Refreshed(c.list, c.names));
        EXPECT_TRUE(editor::PlanListRefresh(c.expected, c.names).empty());  // a second refresh changes nothing
    }
}

// The insertion position is the enumeration index in the list as it stands,
// stale items included, exactly as one insert per name would place it.
TEST(ListRefresh, InsertsAtTheEnumerationIndexBeforeRemoving)
{
    const auto plan = editor::PlanListRefresh({L"old", L"b"}, {L"a", L"b", L"c"});
    ASSERT_EQ(3u, plan.size());
    EXPECT_EQ(ListChange::Insert, plan[0].kind);
    EXPECT_EQ(0u, plan[0].position);
    EXPECT_EQ(L"a", plan[0].text);
    EXPECT_EQ(ListChange::Insert, plan[1].kind);
    EXPECT_EQ(2u, plan[1].position);
    EXPECT_EQ(L"c", plan[1].text);
    EXPECT_EQ(ListChange::Delete, plan[2].kind);
    EXPECT_EQ(1u, plan[2].position);  // {"a", "old", "c", "b"} -> "old"
}

TEST(ListRefresh, TenThousandNamesInOnePass)
{
    Names names;
    for (int i = 0; i < 10000; ++i)
        names.push_back(L"user" + std::to_wstring(i));
    Names list = names;
    std::mt19937 rng(7);
    std::shuffle(list.begin(), list.end(), rng);
    list.resize(5000);
    list.push_back(L"gone");
    Names result = Refreshed(list, names);
    Names sortedResult = result, sortedNames = names;
    std::sort(sortedResult.begin(), sortedResult.end());
    std::sort(sortedNames.begin(), sortedNames.end());
    EXPECT_EQ(sortedNames, sortedResult);
}

TEST(Layout, FollowsTheClientArea)
{
    const auto at = [](int w, int h, int id) {
        for (const auto& p : editor::MainWindowLayout(w, h))
            if (p.id == id)
                return p;
        return editor::ControlPlace{-1, 0, 0, 0, 0};
    };
    const auto list = at(640, 400, IDC_GROUPS_LIST);
    EXPECT_EQ(325, list.x);
    EXPECT_EQ(310, list.width);
    EXPECT_EQ(276, list.height);
    const auto odd = at(641, 400, IDC_USERS_LIST);
    EXPECT_EQ(310, odd.width);  // W/2 is integer division
    for (int w : {640, 1200}) {
        const auto group = at(w, 500, IDC_MENU_GROUP);
        EXPECT_EQ(503, group.width);
        EXPECT_EQ(400, group.y);
        EXPECT_EQ(w - 202, at(w, 500, IDC_APPLY_BUTTON).x);
        EXPECT_EQ(w - 101, at(w, 500, IDC_EXIT_BUTTON).x);
        EXPECT_EQ(440, at(w, 500, IDC_BACKUP_BUTTON).y);
    }
    EXPECT_EQ(15u, editor::MainWindowLayout(640, 400).size());
    // The zone lines sit below the menu group, left of Apply, inside the window.
    for (int w : {624, 1200}) {
        const auto group = at(w, 400, IDC_MENU_GROUP);
        const auto apply = at(w, 400, IDC_APPLY_BUTTON);
        const auto kept = at(w, 400, IDC_ZONE_TEXT), note = at(w, 400, IDC_ZONE_NOTE);
        EXPECT_GE(kept.y, group.y + group.height);
        EXPECT_GE(note.y, kept.y + kept.height);
        EXPECT_LE(note.y + note.height, 400);
        EXPECT_LT(kept.x + kept.width, apply.x);
        EXPECT_EQ(kept.width, note.width);
    }
}

TEST(ZoneLines, RecordedAgainstTheComputersZone)
{
    const std::wstring tokyo = L"Tokyo Standard Time", tokyoName = L"(UTC+09:00) 大阪、札幌、東京";
    const std::wstring eastern = L"Eastern Standard Time", easternName = L"(UTC-05:00) 東部標準時";
    const std::wstring kept = editor::RcText(IDS_ZONE_KEPT), differs = editor::RcText(IDS_ZONE_DIFFERS);
    const std::wstring keptTokyo = hv::ReplacePlaceholder(kept, tokyoName.c_str());
    const struct {
        const char* name;
        std::wstring recorded, recordedName, computer, computerName;
        std::wstring kept, note;
    } cases[] = {
        {"same zone", tokyo, tokyoName, tokyo, tokyoName, keptTokyo, L""},
        {"computer moved", tokyo, tokyoName, eastern, easternName, keptTokyo,
         hv::ReplacePlaceholder(differs, easternName.c_str())},
        {"none recorded", L"", L"", tokyo, tokyoName, editor::RcText(IDS_ZONE_NONE),
         hv::ReplacePlaceholder(editor::RcText(IDS_ZONE_WILL_RECORD), tokyoName.c_str())},
        {"none recorded, computer's unknown", L"", L"", L"", L"", editor::RcText(IDS_ZONE_NONE), L""},
        {"no display text: the key name", tokyo, L"", eastern, L"", hv::ReplacePlaceholder(kept, tokyo.c_str()),
         hv::ReplacePlaceholder(differs, eastern.c_str())},
    };
    for (const auto& c : cases) {
        const editor::ZoneLines lines =
            editor::DescribeZones(c.recorded, c.recordedName, c.computer, c.computerName, editor::RcText);
        EXPECT_EQ(c.kept, lines.kept) << c.name;
        EXPECT_EQ(c.note, lines.note) << c.name;
    }
    EXPECT_NE(std::wstring::npos, keptTokyo.find(tokyoName));
}

TEST(TimeoutTexts, EachPositionHasItsEntryAndDescription)
{
    for (int i = 0; i < editor::kTimeoutActionCount; ++i) {
        EXPECT_EQ(0u, editor::RcText(editor::TimeoutActionText(i)).rfind(L"Windows ", 0)) << i;
        const std::wstring dialog = editor::RcText(editor::TimeoutDescription(i, false));
        const std::wstring wizard = editor::RcText(editor::TimeoutDescription(i, true));
        if (i < 2) {
            EXPECT_EQ(dialog, wizard) << i;
        } else {
            // The wizard's has one line break where the dialog's has a blank line.
            std::wstring expected = dialog;
            expected.replace(expected.find(L"\n\n"), 2, L"\n");
            EXPECT_EQ(expected, wizard) << i;
        }
    }
    EXPECT_EQ(L"Windows を強制シャットダウンする", editor::RcText(editor::TimeoutActionText(3)));
    for (int bad : {-1, 4})
        EXPECT_EQ(0u, editor::TimeoutDescription(bad, false)) << bad;
    EXPECT_EQ(2, editor::TimeoutSelection(2));
    EXPECT_EQ(-1, editor::TimeoutSelection(7));
}

TEST(PasswordLock, Rules)
{
    const uint32_t lock = 0x12345678;
    const struct {
        uint32_t lockHash, currentHash;
        const wchar_t *newPassword, *confirmation;
        editor::LockVerdict expected;
    } cases[] = {
        {PASSWORD_LOCK_OFF, 0, L"", L"", editor::LockVerdict::Removed},  // no lock: stays off
        {PASSWORD_LOCK_OFF, 0, L"abc", L"abc", editor::LockVerdict::Set},
        {PASSWORD_LOCK_OFF, 0, L"abc", L"abC", editor::LockVerdict::Mismatch},
        {lock, 1, L"abc", L"abc", editor::LockVerdict::WrongCurrent},
        {lock, 1, L"abc", L"xyz", editor::LockVerdict::WrongCurrent},  // the current password first
        {lock, lock, L"abc", L"xyz", editor::LockVerdict::Mismatch},
        {lock, lock, L"", L"", editor::LockVerdict::Removed},
        {lock, lock, L"new", L"new", editor::LockVerdict::Set},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, editor::JudgeLockChange(c.lockHash, c.currentHash, c.newPassword, c.confirmation))
            << c.newPassword << "/" << c.confirmation;
    EXPECT_EQ(L"パスワード変更エラー", editor::RcText(editor::LockVerdictMessage(editor::LockVerdict::Mismatch).caption));
    EXPECT_EQ(L"現在のパスワードが違います。",
              editor::RcText(editor::LockVerdictMessage(editor::LockVerdict::WrongCurrent).text));
    EXPECT_EQ(0x40u, editor::LockVerdictMessage(editor::LockVerdict::Removed).icon);
}

TEST(Wizard, PasswordPageAndCompletionMark)
{
    auto state = editor::JudgePasswordPage(L"", L"");
    EXPECT_EQ(editor::kWizBack | editor::kWizNext, state.buttons);
    EXPECT_EQ(L"パスワード一致", editor::RcText(state.indicator));
    state = editor::JudgePasswordPage(L"Secret", L"secret");
    EXPECT_EQ(editor::kWizBack, state.buttons);
    EXPECT_EQ(L"パスワード不一致", editor::RcText(state.indicator));
    EXPECT_EQ(editor::kWizBack, editor::JudgePasswordPage(L"a", L"").buttons);

    EXPECT_TRUE(editor::WizardAlreadyRun(true, 4, 1));
    EXPECT_FALSE(editor::WizardAlreadyRun(true, 4, 0));
    EXPECT_FALSE(editor::WizardAlreadyRun(true, 1, 1));  // a string "1" is no mark
    EXPECT_FALSE(editor::WizardAlreadyRun(false, 4, 1));
}

}  // namespace
