// The monitor window of the real hvCurfew.exe under Wine: what it lists, the
// show-all action behind the password lock and the question, the refresh that
// drops deleted accounts, the ways it closes and opens again, and a limiter
// that starts normally where the jump-list classes are missing.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>

#include "limiter_fixture.h"

using namespace std::chrono_literals;
using limiter_test::Allow;
using limiter_test::MakeUser;
using limiter_test::ParseRemain;
using limiter_test::UserName;

namespace {

using hv::names::kMonitorClass;
constexpr int kList = 1000, kShowAll = 1001;
constexpr WPARAM kOpenMonitor = 40000, kExit = 40008, kClose = 45000;
const std::wstring kQuestion = L"Halvern Curfew に登録されているすべてのユーザーを表示しますか？";

void WriteRegistered(const wchar_t* name, const UserData& user) { ASSERT_EQ(1, WriteUserDataW(name, &user, 0)); }

class MonitorTest : public limiter_test::LimiterTest {
protected:
    HWND OpenByTray()
    {
        PostMessageW(tray_, WM_COMMAND, kOpenMonitor, 0);
        return WaitForMonitor();
    }
    // The window exists before its creation is done; wait until it is shown.
    HWND WaitForMonitor()
    {
        HWND w = e2e::WaitForWindow(kMonitorClass, nullptr, limiter_.pid());
        return w && e2e::WaitUntil([&] { return IsWindowVisible(w) != FALSE; }, 10s) ? w : nullptr;
    }
    size_t MonitorCount() const { return e2e::FindWindows(kMonitorClass, nullptr, limiter_.pid()).size(); }
    bool WaitMonitorGone() const
    {
        return e2e::WaitUntil([&] { return MonitorCount() == 0; }, 10s);
    }
    static std::vector<e2e::ListViewItem> Rows(HWND monitor) { return e2e::ListViewItems(GetDlgItem(monitor, kList), 4); }
    static bool WaitRows(HWND monitor, size_t n)
    {
        return e2e::WaitUntil([&] { return Rows(monitor).size() == n; }, 10s);
    }
    static void PressF5(HWND monitor) { PostMessageW(monitor, WM_KEYDOWN, VK_F5, 1); }

    // Button, then the question answered Yes.
    void ShowAllAnswered(HWND monitor)
    {
        e2e::Click(monitor, kShowAll);
        auto box = e2e::WaitForMessageBox(limiter_.pid(), L"Halvern Curfew");
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, kQuestion);
        ASSERT_TRUE(e2e::Answer(*box, IDYES));
    }
    // "/Monitor" through a second start of the program; it ends at once.
    void ForwardMonitor()
    {
        e2e::Process forwarder = e2e::Start(hv::names::kLimiterFile, L"/Monitor");
        ASSERT_TRUE(forwarder);
        EXPECT_EQ(forwarder.Wait(10000), std::optional<DWORD>(0));
    }
};

const e2e::ListViewItem* Find(const std::vector<e2e::ListViewItem>& rows, const std::wstring& name)
{
    for (const auto& r : rows)
        if (!r.texts.empty() && r.texts[0] == name)
            return &r;
    return nullptr;
}

}  // namespace

// Monday 10:56:00; the current account runs in the timer mode with two hours.
TEST_F(MonitorTest, ListsCurrentAccountThenEveryRegisteredOne)
{
    ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 10:56:00"));
    UserData me = MakeUser(LIMIT_TIMER);
    me.LimitModeTimeDay = 120;
    WriteUser(me);

    UserData all = MakeUser(LIMIT_DAILY);
    Allow(all.TodayLimitTable, 0, 24);
    WriteRegistered(L"alice", all);
    UserData evening = MakeUser(LIMIT_DAILY);
    Allow(evening.TodayLimitTable, 20, 24);
    WriteRegistered(L"Bob", evening);
    UserData timer = MakeUser(LIMIT_TIMER);
    timer.LimitModeTimeDay = 30;
    WriteRegistered(L"carol", timer);
    UserData office = MakeUser(LIMIT_DAILY);
    Allow(office.TodayLimitTable, 8, 18);
    WriteRegistered(L"Dave", office);
    WriteRegistered(L"eve", MakeUser(9));
    UserData hour = MakeUser(LIMIT_DAILY);
    Allow(hour.TodayLimitTable, 10, 11);
    WriteRegistered(L"frank", hour);
    // Group mode: the group's own table decides; a missing group allows nothing.
    GroupData kids{};
    kids.LimitMode = GROUP_DAILY;
    Allow(kids.TodayLimitTable, 0, 24);
    ASSERT_EQ(1, WriteGroupDataW(L"kids", &kids));
    UserData member = MakeUser(LIMIT_GROUP);
    wcscpy(member.Group, L"kids");
    WriteRegistered(L"gina", member);
    wcscpy(member.Group, L"nobody");
    WriteRegistered(L"hank", member);
    // A key too long for an account name, enumerated first: skipped, and the
    // accounts after it still listed.
    HKEY longKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W L"\\aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 0,
                                             nullptr, 0, KEY_WRITE, nullptr, &longKey, nullptr));
    RegCloseKey(longKey);

    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return ParseRemain(t) > 7000; }));
    HWND monitor = OpenByTray();
    ASSERT_TRUE(monitor);
    EXPECT_EQ(e2e::Text(monitor), L"Halvern Curfew ユーザー モニタ");
    RECT client{};
    GetClientRect(monitor, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 400);

    // Only the current account, with the tray's own countdown. (Wine's list
    // view keeps no item groups, so the two groups are not checked here.)
    PressF5(monitor);
    const int trayBefore = RemainSeconds();
    auto rows = Rows(monitor);
    const int trayAfter = RemainSeconds();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].texts[0], UserName());
    EXPECT_NE(rows[0].texts[1], L"(取得失敗)") << "the current account exists";
    EXPECT_EQ(rows[0].texts[2], L"リミット モード");
    const int shown = ParseRemain(rows[0].texts[3]);
    EXPECT_LE(shown, trayBefore + 1);
    EXPECT_GE(shown, trayAfter - 1);
    EXPECT_EQ(rows[0].image, 1) << "plenty of time left, as the tray shows";
    HWND button = GetDlgItem(monitor, kShowAll);
    EXPECT_TRUE(IsWindowVisible(button));
    EXPECT_TRUE(IsWindowEnabled(button));
    e2e::Screenshot(L"monitor_current_user");

    // Status bar: the "as of" text in part 0; menu help in simple mode while
    // a menu is open.
    HWND status = GetDlgItem(monitor, 1002);
    EXPECT_EQ(e2e::Text(status), L"2026/01/05 10:56 現在の情報です。");
    SendMessageW(monitor, WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_TRUE(SendMessageW(status, SB_ISSIMPLE, 0, 0));
    SendMessageW(monitor, WM_MENUSELECT, MAKEWPARAM(45002, MF_HILITE), reinterpret_cast<LPARAM>(GetMenu(monitor)));
    // Wine's status bar gives the simple text's length, not the text itself.
    EXPECT_EQ(SendMessageW(status, WM_GETTEXTLENGTH, 0, 0), LRESULT(wcslen(L"最新の情報に更新します。")));
    SendMessageW(monitor, WM_MENUSELECT, MAKEWPARAM(0, MF_HILITE | MF_POPUP), reinterpret_cast<LPARAM>(GetMenu(monitor)));
    EXPECT_EQ(SendMessageW(status, WM_GETTEXTLENGTH, 0, 0), 0);
    SendMessageW(monitor, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(SendMessageW(status, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(e2e::Text(status), L"2026/01/05 10:56 現在の情報です。");

    ASSERT_NO_FATAL_FAILURE(ShowAllAnswered(monitor));
    ASSERT_TRUE(WaitRows(monitor, 9));
    EXPECT_FALSE(IsWindowVisible(button));
    rows = Rows(monitor);

    struct Expect {
        const wchar_t* name;
        const wchar_t* mode;
        const wchar_t* remain;  // null: checked below
        int image;
    } expected[] = {
        {L"alice", L"毎日モード", L"無制限", 0},
        {L"Bob", L"毎日モード", L"時間外", 3},
        {L"carol", L"リミット モード", L"表示できません", 0},
        {L"Dave", L"毎日モード", nullptr, 1},
        {L"eve", L"不明なモード (9)", L"無制限", 0},
        {L"frank", L"毎日モード", nullptr, 2},
        {L"gina", L"グループ モード", L"無制限", 0},
        {L"hank", L"グループ モード", L"時間外", 3},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(testing::Message() << "account " << std::string(e.name, e.name + wcslen(e.name)));
        const e2e::ListViewItem* row = Find(rows, e.name);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->texts[1], L"(取得失敗)") << "no such account on this computer";
        EXPECT_EQ(row->texts[2], e.mode);
        if (e.remain) {
            EXPECT_EQ(row->texts[3], e.remain);
        }
        EXPECT_EQ(row->image, e.image);
    }
    // Time left until 18:00 and until 11:00, counted from 10:56.
    const int dave = ParseRemain(Find(rows, L"Dave")->texts[3]);
    EXPECT_TRUE(dave > 7 * 3600 && dave <= 7 * 3600 + 240) << dave;
    const int frank = ParseRemain(Find(rows, L"frank")->texts[3]);
    EXPECT_TRUE(frank > 0 && frank <= 240) << frank;
    EXPECT_TRUE(Find(rows, UserName()));

    // Sorted by name with ASCII letters folded.
    std::vector<std::wstring> names;
    for (const auto& r : rows)
        names.push_back(r.texts[0]);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    }));

    e2e::Screenshot(L"monitor_all_users");

    // A deleted key loses its row at the next F5; the others stay.
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W L"\\Bob");
    PressF5(monitor);
    ASSERT_TRUE(WaitRows(monitor, 8));
    rows = Rows(monitor);
    EXPECT_FALSE(Find(rows, L"Bob"));
    EXPECT_TRUE(Find(rows, L"alice"));
    EXPECT_TRUE(Find(rows, UserName()));
}

TEST_F(MonitorTest, PasswordLockGuardsShowAll)
{
    WriteOptions(7, GetPasswordHashW(L"himitsu"));
    WriteRegistered(L"alice", MakeUser(LIMIT_NONE));
    ASSERT_TRUE(StartLimiter());
    ASSERT_NO_FATAL_FAILURE(ForwardMonitor());
    HWND monitor = WaitForMonitor();
    ASSERT_TRUE(monitor);

    // Cancelled prompt: no question, still one row.
    e2e::Click(monitor, kShowAll);
    HWND prompt = e2e::WaitForWindow(L"#32770", L"パスワードの入力", limiter_.pid());
    ASSERT_TRUE(prompt);
    e2e::Click(prompt, IDCANCEL);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(prompt); }, 5s));
    EXPECT_FALSE(e2e::WaitForMessageBox(limiter_.pid(), L"Halvern Curfew", 500ms));
    EXPECT_EQ(Rows(monitor).size(), 1u);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(monitor, kShowAll)));

    // The right password leads to the question and then to every account.
    e2e::Click(monitor, kShowAll);
    prompt = e2e::WaitForWindow(L"#32770", L"パスワードの入力", limiter_.pid());
    ASSERT_TRUE(prompt);
    e2e::SetControlText(prompt, 1000, L"himitsu");
    e2e::Click(prompt, IDOK);
    auto box = e2e::WaitForMessageBox(limiter_.pid(), L"Halvern Curfew");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, kQuestion);
    ASSERT_TRUE(e2e::Answer(*box, IDYES));
    ASSERT_TRUE(WaitRows(monitor, 2));
    EXPECT_TRUE(Find(Rows(monitor), L"alice"));
}

TEST_F(MonitorTest, ClosesEveryWayAndOpensAgain)
{
    ASSERT_TRUE(StartLimiter());

    HWND monitor = OpenByTray();
    ASSERT_TRUE(monitor);
    // Alt+F4.
    PostMessageW(monitor, WM_SYSKEYDOWN, VK_F4, 0x20000001);
    ASSERT_TRUE(WaitMonitorGone());

    // The tray's command opens it again; the menu's close item closes it.
    monitor = OpenByTray();
    ASSERT_TRUE(monitor);
    PostMessageW(monitor, WM_COMMAND, kClose, 0);
    ASSERT_TRUE(WaitMonitorGone());

    // "/Monitor" opens it, and a second one only restores and raises it.
    ASSERT_NO_FATAL_FAILURE(ForwardMonitor());
    monitor = WaitForMonitor();
    ASSERT_TRUE(monitor);
    PostMessageW(monitor, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsIconic(monitor) != FALSE; }, 5s));
    ASSERT_NO_FATAL_FAILURE(ForwardMonitor());
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsIconic(monitor); }, 5s));
    PostMessageW(tray_, WM_COMMAND, kOpenMonitor, 0);
    Sleep(300);
    EXPECT_EQ(MonitorCount(), 1u);
    EXPECT_TRUE(IsWindow(monitor));

    // F1 goes to the tray's help command (no help file beside the test's
    // programs); the version item opens the About box over the monitor.
    PostMessageW(monitor, WM_KEYDOWN, VK_F1, 1);
    auto box = e2e::WaitForMessageBox(limiter_.pid(), L"Halvern Curfew");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"ヘルプ ファイル hvCurfew.chm がみつかりませんでした。");
    EXPECT_EQ(GetWindow(box->hwnd, GW_OWNER), tray_);
    ASSERT_TRUE(e2e::Answer(*box, IDOK));
    PostMessageW(monitor, WM_COMMAND, 40007, 0);
    HWND about = e2e::WaitForWindow(L"#32770", L"バージョン情報", limiter_.pid());
    ASSERT_TRUE(about);
    EXPECT_EQ(GetWindow(about, GW_OWNER), monitor);
    e2e::Click(about, IDOK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about); }, 5s));

    // The limiter's Exit closes the monitor first, then asks; also while
    // the monitor waits for an answer to its own question.
    e2e::Click(monitor, kShowAll);
    ASSERT_TRUE(e2e::WaitForMessageBox(limiter_.pid(), L"Halvern Curfew"));
    PostMessageW(tray_, WM_COMMAND, kExit, 0);
    box = e2e::WaitForMessageBox(limiter_.pid(), L"終了確認");
    ASSERT_TRUE(box);
    EXPECT_EQ(MonitorCount(), 0u);
    EXPECT_FALSE(e2e::FindMessageBox(limiter_.pid(), L"Halvern Curfew"));
    ASSERT_TRUE(e2e::Answer(*box, IDYES));
    EXPECT_EQ(limiter_.Wait(10000), std::optional<DWORD>(0));
}

// Wine creates the destination list but cannot begin one, and has no object
// collection; with the destination-list class removed as well, creation fails
// at the first step. Either way the limiter runs and ends as usual.
TEST_F(MonitorTest, LimiterStartsWhereJumpListClassesAreMissing)
{
    for (bool removeClass : {false, true}) {
        SCOPED_TRACE(removeClass ? "destination list class removed" : "as Wine has it");
        if (removeClass)
            e2e::DeleteTree(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\{77F10CF0-3DB5-4966-B520-B7C54FD35ED6}");
        ASSERT_TRUE(StartLimiter());
        ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));
        EXPECT_FALSE(e2e::FindMessageBox(limiter_.pid()));
        PostMessageW(tray_, WM_COMMAND, kExit, 0);
        auto box = e2e::WaitForMessageBox(limiter_.pid(), L"終了確認");
        ASSERT_TRUE(box);
        ASSERT_TRUE(e2e::Answer(*box, IDYES));
        EXPECT_EQ(limiter_.Wait(10000), std::optional<DWORD>(0));
        TearDown();
    }
}
