// The settings utility as a program: one instance, the lists mirroring the
// registry, Apply with and without a limiter, and the close.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "editor_fixture.h"
#include "raii.h"
#include "editor_texts.h"
#include "resource.h"

namespace {

using namespace editor_test;

class MainWindow : public EditorTest {};

TEST_F(MainWindow, SecondStartIsRefusedAndLeavesTheFirst)
{
    ASSERT_TRUE(StartEditor());
    Shot(L"editor_main_window");
    auto second = e2e::Start(hv::names::kEditorFile);
    auto box = e2e::AwaitMessageBox(second.pid(), kTitle);
    ASSERT_TRUE(box);
    EXPECT_EQ(L"設定ユーティリティはすでに起動しています。", box->text);
    EXPECT_TRUE(e2e::Answer(*box, IDOK));
    EXPECT_EQ(kRefused, second.Wait(10000).value_or(1234));
    EXPECT_TRUE(editor_.Running());
    EXPECT_EQ(1u, e2e::FindWindows(L"cfwEdit", nullptr).size());
}

TEST_F(MainWindow, ListsMirrorTheRegistryAndFollowRefresh)
{
    for (const wchar_t* name : {L"taro", L"Hanako", L"jiro"})
        CreateKey(UsersKey(name).c_str());
    CreateKey(GroupsKey(L"kids").c_str());
    ASSERT_TRUE(StartEditor());
    HWND users = GetDlgItem(main_, IDC_USERS_LIST), groups = GetDlgItem(main_, IDC_GROUPS_LIST);
    EXPECT_EQ(SubkeyNames(CFW_REG_USERS_W), ListTexts(users));
    EXPECT_EQ(std::vector<std::wstring>{L"kids"}, ListTexts(groups));
    for (const auto& item : e2e::ListViewItems(users, 1))
        EXPECT_EQ(0, item.image);

    // Behind its back: one deleted, one made anew with its name in other
    // letters (the comparison is exact), one added.
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, UsersKey(L"taro").c_str());
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, UsersKey(L"Hanako").c_str());
    CreateKey(UsersKey(L"HANAKO").c_str());
    CreateKey(UsersKey(L"saburo").c_str());
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_GROUPS_W);
    Sleep(300);
    EXPECT_EQ(3u, ListTexts(users).size());  // nothing happens by itself

    PostMessageW(main_, WM_KEYDOWN, VK_F5, 0);  // through the accelerators
    // New names go to their enumeration index among the items still there,
    // the stale ones go after: the same names as the key, not its order.
    const auto sortedTexts = [&] {
        std::vector<std::wstring> texts = ListTexts(users);
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    const std::vector<std::wstring> expected{L"HANAKO", L"jiro", L"saburo"};
    e2e::Await("the users list to follow F5", [&] { return sortedTexts() == expected; }, 10s);
    e2e::Await("the refresh to end", [&] { return IsWindowEnabled(main_) != FALSE; }, 10s);
    // A key that cannot be opened leaves its list as it was.
    EXPECT_EQ(std::vector<std::wstring>{L"kids"}, ListTexts(groups));
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(MainWindow, ApplyWithoutLimiterWritesNothingAndTheCloseWritesTheRecord)
{
    WriteOptions(TIMEOUT_FORCE_LOGOFF, PASSWORD_LOCK_OFF);
    ASSERT_TRUE(StartEditor());
    WriteOptions(TIMEOUT_SHUTDOWN, PASSWORD_LOCK_OFF);  // behind its back

    // Enter reaches Apply as the default button.
    PostMessageW(GetDlgItem(main_, IDC_USERS_LIST), WM_KEYDOWN, VK_RETURN, 0);
    auto box = AwaitBox(kTitle);
    EXPECT_EQ(L"Halvern Curfew 本体が起動していないか、旧バージョンのものが動作しています。", box.text);
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_SHUTDOWN), StoredOptions().TimeOutMode);

    // The close question: Cancel keeps the window and writes nothing.
    PostMessageW(main_, WM_COMMAND, IDM_EXIT, 0);
    box = AwaitBox(L"終了確認");
    EXPECT_EQ(editor::RcText(IDS_CLOSE_ASK), box.text);
    Shot(L"editor_close_question");
    EXPECT_TRUE(e2e::Answer(box, IDCANCEL));
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_SHUTDOWN), StoredOptions().TimeOutMode);

    CloseWithOk();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_FORCE_LOGOFF), StoredOptions().TimeOutMode);
}

TEST_F(MainWindow, ApplyMakesTheRunningLimiterReload)
{
    WriteOptions(7, PASSWORD_LOCK_OFF);  // a time-out never ends the test's session
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));
    ASSERT_TRUE(StartEditor());

    WriteUser(limiter_test::DailyForThisAndNextHour());
    WriteOptions(0, PASSWORD_LOCK_OFF);  // Apply writes the utility's record back first

    // No keeps everything as it was.
    e2e::Click(main_, IDC_APPLY_BUTTON);
    auto box = AwaitBox(L"確認");
    EXPECT_EQ(L"変更した設定内容を Halvern Curfew 本体へ通知しますか？", box.text);
    EXPECT_TRUE(e2e::Answer(box, IDNO));
    Sleep(1500);
    EXPECT_EQ(L"-:--:--", Remain());
    EXPECT_EQ(0u, StoredOptions().TimeOutMode);

    e2e::Click(main_, IDC_APPLY_BUTTON);
    box = AwaitBox(L"確認");
    EXPECT_TRUE(e2e::Answer(box, IDYES));
    box = AwaitBox(kTitle);
    EXPECT_EQ(editor::RcText(IDS_APPLY_DONE_ONE), box.text);
    // Sent, not posted: the limiter has reloaded by the time the box shows.
    EXPECT_EQ(7u, StoredOptions().TimeOutMode);
    EXPECT_TRUE(WaitForRemain([](const std::wstring& t) { return t != L"-:--:--"; }, 3000)) << Remain();
    EXPECT_TRUE(e2e::Answer(box, IDOK));
}

TEST_F(MainWindow, MinimumSizeAndFixedMenuGroup)
{
    ASSERT_TRUE(StartEditor());
    const auto groupWidth = [&] {
        RECT r{};
        GetWindowRect(GetDlgItem(main_, IDC_MENU_GROUP), &r);
        return r.right - r.left;
    };
    SetWindowPos(main_, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    RECT r{};
    GetWindowRect(main_, &r);
    EXPECT_GE(r.right - r.left, 640);
    EXPECT_GE(r.bottom - r.top, 400);
    EXPECT_EQ(503, groupWidth());
    SetWindowPos(main_, nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(503, groupWidth());
    RECT client{}, apply{};
    GetClientRect(main_, &client);
    GetWindowRect(GetDlgItem(main_, IDC_APPLY_BUTTON), &apply);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&apply), 2);
    EXPECT_EQ(client.right - 202, apply.left);
    EXPECT_EQ(client.bottom - 26, apply.top);
}

TEST_F(MainWindow, AboutBoxAndMissingHelp)
{
    ASSERT_TRUE(StartEditor());
    HWND about = OpenDialog(IDM_ABOUT, L"バージョン情報");
    ASSERT_TRUE(about);
    EXPECT_TRUE(GetDlgItem(about, IDC_ABOUT_WEBSITE));
    Shot(L"editor_about");
    e2e::Click(about, IDOK);
    e2e::Await("the About box to close", [&] { return !IsWindow(about); }, 5s);

    PostMessageW(main_, WM_COMMAND, IDM_HELP, 0);
    auto box = AwaitBox(kTitle);
    EXPECT_EQ(L"ヘルプ ファイル hvCurfew.chm がみつかりませんでした。", box.text);
    EXPECT_TRUE(e2e::Answer(box, IDOK));

    // Programs beside the utility, and only there: a copy of the utility in
    // a folder of its own starts neither the service set-up nor the backup
    // tool, although both stand in the folder it was copied from.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"hv_editor_alone_" + std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring copy = folder + L"\\" + hv::names::kEditorFile;
    ASSERT_TRUE(CopyFileW((e2e::BinDir() + L"\\" + hv::names::kEditorFile).c_str(), copy.c_str(), FALSE));
    e2e::KillAll(hv::names::kEditorFile);
    editor_ = e2e::Start(copy);
    ASSERT_TRUE(AwaitMain());
    const struct {
        int command;
        const wchar_t* text;
    } launches[] = {{IDM_SERVICE, L"Notification Service セットアップを起動できませんでした。"},
                    {IDC_BACKUP_BUTTON, L"バックアップ ツールを起動できませんでした。"}};
    for (const auto& l : launches) {
        PostMessageW(main_, WM_COMMAND, static_cast<WPARAM>(l.command), 0);
        box = AwaitBox(kTitle);
        EXPECT_EQ(l.text, box.text);
        EXPECT_TRUE(e2e::Answer(box, IDOK));
    }

    e2e::KillAll(hv::names::kEditorFile);
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

namespace {

using namespace editor_test;

DWORD Notifications()
{
    DWORD count = 0, size = sizeof count;
    RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\HalvernTest", L"Notifications", RRF_RT_REG_DWORD, nullptr, &count,
                 &size);
    return count;
}

// The notification service (a stand-in under its name) installed and running.
class WithService : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        e2e::DeleteTree(HKEY_LOCAL_MACHINE, L"Software\\HalvernTest");
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path = self;
        path = L"\"" + path.substr(0, path.rfind(L'\\') + 1) + L"editor_service_standin.exe\"";
        manager_.reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ASSERT_TRUE(manager_);
        service_.reset(CreateServiceW(manager_.get(), hv::names::kServiceName, hv::names::kServiceName,
                                      SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                      SERVICE_ERROR_NORMAL, path.c_str(), nullptr, nullptr, nullptr, nullptr,
                                      nullptr));
        ASSERT_TRUE(service_) << GetLastError();
        ASSERT_TRUE(StartServiceW(service_.get(), 0, nullptr)) << GetLastError();
        e2e::Await("the service stand-in to run", [&] { return State() == SERVICE_RUNNING; }, 20s);
    }
    void TearDown() override
    {
        if (service_) {
            SERVICE_STATUS s{};
            ControlService(service_.get(), SERVICE_CONTROL_STOP, &s);
            e2e::WaitUntil([&] { return State() == SERVICE_STOPPED; }, 10s);
            DeleteService(service_.get());
        }
        service_.reset();
        manager_.reset();
        EditorTest::TearDown();
    }
    DWORD State()
    {
        SERVICE_STATUS s{};
        return QueryServiceStatus(service_.get(), &s) ? s.dwCurrentState : 0;
    }

    hv::UniqueService manager_, service_;
};

TEST_F(WithService, ApplyNotifiesThroughTheService)
{
    ASSERT_TRUE(StartEditor());
    WriteOptions(TIMEOUT_SHUTDOWN, PASSWORD_LOCK_OFF);  // behind its back

    e2e::Click(main_, IDC_APPLY_BUTTON);
    auto box = AwaitBox(L"確認");
    EXPECT_EQ(L"変更した設定内容を常駐しているすべての Halvern Curfew へ通知しますか？", box.text);
    EXPECT_TRUE(e2e::Answer(box, IDNO));
    Sleep(300);
    EXPECT_EQ(0u, Notifications());
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_SHUTDOWN), StoredOptions().TimeOutMode);

    e2e::Click(main_, IDC_APPLY_BUTTON);
    box = AwaitBox(L"確認");
    EXPECT_TRUE(e2e::Answer(box, IDYES));
    box = AwaitBox(kTitle);
    EXPECT_EQ(editor::RcText(IDS_APPLY_DONE_ALL), box.text);
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    EXPECT_TRUE(e2e::WaitUntil([] { return Notifications() == 1; }, 5s)) << Notifications();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_LOGOFF), StoredOptions().TimeOutMode);
}

}  // namespace
