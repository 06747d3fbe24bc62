// The password prompt, the information and About dialogs and the shell
// helpers, opened for real. Each dialog runs modally on a second thread of
// this program while the test thread reads and drives it.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "e2e.h"
#include "limiter.h"
#include "resource.h"
#include "names.h"

using namespace std::chrono_literals;

namespace {

const DWORD kPid = GetCurrentProcessId();

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_instance = GetModuleHandleW(nullptr);
        DWORD size = ARRAYSIZE(g_userName);
        ASSERT_TRUE(GetUserNameW(g_userName, &size));
        g_options.PasswordLockHash = GetPasswordHashW(L"curfew");
        g_user = UserData{};
        g_monitorWindow = nullptr;
    }
};

HWND WaitDialog(const wchar_t* title) { return e2e::WaitForWindow(L"#32770", title, kPid, 10s); }

std::vector<std::wstring> ChildTexts(HWND dlg)
{
    std::vector<std::wstring> texts;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        texts.push_back(e2e::Text(c));
    return texts;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& t)
{
    for (const auto& s : texts)
        if (s == t)
            return true;
    return false;
}

// The dialog's result, or -100 when it did not end in time.
INT_PTR Result(std::future<INT_PTR>& f)
{
    return f.wait_for(5s) == std::future_status::ready ? f.get() : -100;
}

// Types `text` and presses OK.
void Enter(HWND dlg, const std::wstring& text)
{
    e2e::SetControlText(dlg, IDC_PASSWORD_EDIT, text);
    e2e::Click(dlg, IDOK);
}

// The control with the keyboard focus in the dialog's thread.
HWND FocusOf(HWND dlg)
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    return GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &gui) ? gui.hwndFocus : nullptr;
}

const wchar_t kEntryError[] = L"パスワード入力エラー";
const wchar_t kWrong[] = L"パスワードが違います。";
const wchar_t kEmpty[] = L"パスワードを入力してください。";

TEST_F(DialogTest, PasswordPromptShowsItsTextsAndAcceptsTheRightPassword)
{
    auto run = std::async(std::launch::async, [] { return RunPasswordDialog(nullptr); });
    HWND dlg = WaitDialog(L"パスワードの入力");
    ASSERT_TRUE(dlg);
    const auto texts = ChildTexts(dlg);
    EXPECT_TRUE(Contains(texts, L"パスワード ロックが有効になっています。\n続行するにはパスワードを入力してください。"));
    EXPECT_TRUE(Contains(texts, L"パスワード(&P):"));
    EXPECT_TRUE(Contains(texts, L"キャンセル"));

    HWND edit = GetDlgItem(dlg, IDC_PASSWORD_EDIT);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 16);
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0x25CF);
    EXPECT_TRUE(e2e::WaitUntil([&] { return FocusOf(dlg) == edit; }, 3s));

    e2e::SetControlText(dlg, IDC_PASSWORD_EDIT, L"curfew");
    e2e::Screenshot(L"dialog_password");
    e2e::Click(dlg, IDOK);
    EXPECT_EQ(Result(run), 1);
}

TEST_F(DialogTest, PasswordPromptGivesUpAfterThreeWrongEntriesNotCountingEmptyOnes)
{
    auto run = std::async(std::launch::async, [] { return RunPasswordDialog(nullptr); });
    HWND dlg = WaitDialog(L"パスワードの入力");
    ASSERT_TRUE(dlg);

    Enter(dlg, L"curfew!");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, kEntryError), kWrong);
    // Back from the box, typing goes into the field again.
    EXPECT_TRUE(e2e::WaitUntil([&] { return FocusOf(dlg) == GetDlgItem(dlg, IDC_PASSWORD_EDIT); }, 3s));
    Enter(dlg, L"");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, kEntryError), kEmpty);
    Enter(dlg, L"Curfew");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, kEntryError), kWrong);
    ASSERT_TRUE(IsWindow(dlg)) << "the empty entry must not count";
    Enter(dlg, L"x");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, kEntryError), kWrong);

    auto last = e2e::WaitForMessageBox(kPid, L"パスワード入力失敗", 5s);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->text, L"パスワードを 3 回間違えたため処理を中止します。");
    e2e::Screenshot(L"dialog_password_failed");
    e2e::Answer(*last, IDOK);
    EXPECT_EQ(Result(run), 2);
}

TEST_F(DialogTest, PasswordPromptAcceptsOnTheThirdAttemptAndCancels)
{
    auto run = std::async(std::launch::async, [] { return RunPasswordDialog(nullptr); });
    HWND dlg = WaitDialog(L"パスワードの入力");
    ASSERT_TRUE(dlg);
    Enter(dlg, L"one");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, kEntryError), kWrong);
    Enter(dlg, L"two");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, kEntryError), kWrong);
    Enter(dlg, L"curfew");
    EXPECT_EQ(Result(run), 1);

    // Every run starts counting afresh; Cancel ends with 2.
    run = std::async(std::launch::async, [] { return RunPasswordDialog(nullptr); });
    dlg = WaitDialog(L"パスワードの入力");
    ASSERT_TRUE(dlg);
    e2e::Click(dlg, IDCANCEL);
    EXPECT_EQ(Result(run), 2);
}

TEST_F(DialogTest, PasswordPromptHashesOnlyTheFirstSixteenCharacters)
{
    g_options.PasswordLockHash = GetPasswordHashW(L"0123456789abcdef");
    auto run = std::async(std::launch::async, [] { return RunPasswordDialog(nullptr); });
    HWND dlg = WaitDialog(L"パスワードの入力");
    ASSERT_TRUE(dlg);
    // Set from outside, the text gets past the typing limit.
    Enter(dlg, L"0123456789abcdefXYZ");
    EXPECT_EQ(Result(run), 1);
}

TEST_F(DialogTest, UserInfoShowsAccountModeAndARunningClock)
{
    ASSERT_TRUE(e2e::SetFakeClock("2010-01-01 00:00:00"));
    g_user.LimitMode = LIMIT_DAILY;
    memset(g_user.TodayLimitTable, 1, sizeof g_user.TodayLimitTable);

    auto run = std::async(std::launch::async, [] { return RunUserInfoDialog(nullptr); });
    HWND dlg = WaitDialog(L"Halvern Curfew");
    ASSERT_TRUE(dlg);
    const auto texts = ChildTexts(dlg);
    EXPECT_TRUE(Contains(texts, L"現在の日付と時間"));
    EXPECT_TRUE(Contains(texts, L"ユーザー アカウント および 制限モード"));
    EXPECT_TRUE(Contains(texts, L"閉じる(&C)"));
    EXPECT_EQ(e2e::ControlText(dlg, IDC_USERINFO_USER).rfind(g_userName, 0), 0u);
    // Every hour allowed: no limit, although the stored mode is the daily one.
    EXPECT_EQ(e2e::ControlText(dlg, IDC_USERINFO_MODE), L"制限なし\n(常にログイン可能)");

    const std::wstring first = e2e::ControlText(dlg, IDC_USERINFO_CLOCK);
    EXPECT_TRUE(std::regex_match(first, std::wregex(L"2010/01/01 \\(金\\) 00:00:0\\d"))) << first.size();
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ControlText(dlg, IDC_USERINFO_CLOCK) != first; }, 3s));
    EXPECT_TRUE(std::regex_match(e2e::ControlText(dlg, IDC_USERINFO_CLOCK),
                                 std::wregex(L"2010/01/01 \\(金\\) 00:00:0\\d")));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(dlg); }, 2s));
    e2e::Screenshot(L"dialog_userinfo");

    // A reload that limits the account shows on the next refresh (a group
    // that is not registered allows no hour).
    wcscpy(reinterpret_cast<wchar_t*>(g_user.Group), L"unregistered");
    g_user.LimitMode = LIMIT_GROUP;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            return e2e::ControlText(dlg, IDC_USERINFO_MODE) ==
                   L"制限あり : グループ モード\n(所属グループに対して設定された時間帯のみログイン可能)";
        },
        3s));
    e2e::Screenshot(L"dialog_userinfo_group");

    EXPECT_TRUE(SendMessageW(dlg, WM_GETICON, ICON_BIG, 0));
    e2e::Click(dlg, IDOK);
    EXPECT_EQ(Result(run), 1);
}

// A stand-in for the monitor window: a window with the About command in its
// menu bar, on its own thread with a message loop like the real one.
class FakeMonitor {
public:
    FakeMonitor()
    {
        thread_ = std::thread([this] {
            HMENU bar = CreateMenu();
            AppendMenuW(bar, MF_STRING, IDM_ABOUT, L"About");
            HWND w = CreateWindowExW(0, L"STATIC", L"monitor", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, bar,
                                     nullptr, nullptr);
            window_.set_value(w);
            MSG m;
            while (GetMessageW(&m, nullptr, 0, 0) > 0) {
                if (m.message == WM_APP) {
                    DestroyWindow(w);
                    break;
                }
                DispatchMessageW(&m);
            }
        });
        hwnd = window_.get_future().get();
    }
    ~FakeMonitor()
    {
        PostThreadMessageW(GetWindowThreadProcessId(hwnd, nullptr), WM_APP, 0, 0);
        thread_.join();
    }
    bool AboutGrayed() const { return GetMenuState(GetMenu(hwnd), IDM_ABOUT, MF_BYCOMMAND) & MF_GRAYED; }
    HWND hwnd = nullptr;

private:
    std::promise<HWND> window_;
    std::thread thread_;
};

TEST_F(DialogTest, AboutBoxShowsTheVersionBlockAndGraysTheMonitorCommand)
{
    FakeMonitor monitor;
    ASSERT_TRUE(monitor.hwnd);
    g_monitorWindow = monitor.hwnd;

    auto run = std::async(std::launch::async, [] { return RunAboutDialog(nullptr); });
    HWND dlg = WaitDialog(L"バージョン情報");
    ASSERT_TRUE(dlg);
    EXPECT_EQ(e2e::ControlText(dlg, IDC_ABOUT_PRODUCT), L"Halvern Curfew");
    const std::wstring version = e2e::ControlText(dlg, IDC_ABOUT_VERSION);
    EXPECT_TRUE(std::regex_match(version, std::wregex(L"Version \\d+\\.\\d+ \\(\\d+(\\.\\d+)+\\)")))
        << std::string(version.begin(), version.end());
    EXPECT_EQ(e2e::ControlText(dlg, IDC_ABOUT_LEGAL).rfind(L"Copyright", 0), 0u);
    EXPECT_EQ(e2e::ControlText(dlg, IDC_ABOUT_NOTE), L"このプログラムは 64 ビット (x64) 版です。");
    EXPECT_EQ(e2e::ControlText(dlg, IDC_ABOUT_WEBSITE), L"Web サイト(&W)");
    EXPECT_TRUE(monitor.AboutGrayed());
    e2e::Screenshot(L"dialog_about");

    e2e::Click(dlg, IDOK);
    EXPECT_EQ(Result(run), 1);
    EXPECT_FALSE(monitor.AboutGrayed());
    g_monitorWindow = nullptr;
}

TEST_F(DialogTest, AdministratorsAndProgramFolder)
{
    // Wine lists the account in Administrators; the other answers are
    // covered by the decision's own tests.
    EXPECT_EQ(IsAdministratorsMember(), 1);

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder.resize(folder.find_last_of(L'\\') + 1);
    EXPECT_EQ(std::wstring(ProgramFolder()), folder);
}

std::wstring MakeTempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring dir = std::wstring(base) + L"hv_dialog_" + std::to_wstring(GetTickCount64());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\";
}

std::wstring ReadWide(const std::wstring& file)
{
    HANDLE f = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return L"";
    wchar_t buf[MAX_PATH] = {};
    DWORD read = 0;
    ReadFile(f, buf, sizeof buf - sizeof(wchar_t), &read, nullptr);
    CloseHandle(f);
    return std::wstring(buf, read / sizeof(wchar_t));
}

TEST_F(DialogTest, SettingsUtilityStartsFromTheProgramFolderNeverTheCurrentDirectory)
{
    const std::wstring standin = std::wstring(ProgramFolder()) + L"dialog_standin.exe";
    const std::wstring inProgramFolder = std::wstring(ProgramFolder()) + hv::names::kEditorFile;
    DeleteFileW(inProgramFolder.c_str());

    const std::wstring temp = MakeTempFolder();
    const std::wstring out = temp + L"started.txt";
    ASSERT_TRUE(CopyFileW(standin.c_str(), (temp + hv::names::kEditorFile).c_str(), FALSE));
    SetEnvironmentVariableW(L"HV_STANDIN_OUT", out.c_str());
    wchar_t oldDir[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, oldDir);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.c_str()));

    // Only the current directory holds one: nothing starts.
    EXPECT_EQ(StartSettingsUtility(nullptr), 0);

    ASSERT_TRUE(CopyFileW(standin.c_str(), inProgramFolder.c_str(), FALSE));
    EXPECT_EQ(StartSettingsUtility(nullptr), 1);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !ReadWide(out).empty(); }, 10s));
    EXPECT_EQ(CompareStringOrdinal(ReadWide(out).c_str(), -1, inProgramFolder.c_str(), -1, TRUE), CSTR_EQUAL);

    SetCurrentDirectoryW(oldDir);
    e2e::WaitUntil([&] { return DeleteFileW(inProgramFolder.c_str()) != 0; }, 5s);
    DeleteFileW((temp + hv::names::kEditorFile).c_str());
    DeleteFileW(out.c_str());
    RemoveDirectoryW(temp.c_str());
}

TEST_F(DialogTest, HelpFileMissingOrUnreadable)
{
    const std::wstring temp = MakeTempFolder();
    const std::wstring chm = temp + L"hvCurfew.chm";
    wcscpy(g_helpPath, chm.c_str());
    EXPECT_EQ(ShowHelpFile(nullptr), 0);  // the caller reports the missing file

    // A file that is no help file: HTML Help opens no window.
    HANDLE f = CreateFileW(chm.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, "not a help file", 15, &written, nullptr);
    CloseHandle(f);
    auto run = std::async(std::launch::async, [] { return static_cast<INT_PTR>(ShowHelpFile(nullptr)); });
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, L"ヘルプ"), L"ヘルプを表示できません。");
    EXPECT_EQ(Result(run), 1);

    // HTML Help itself was loaded, from the system folder.
    HMODULE hh = GetModuleHandleW(L"hhctrl.ocx");
    ASSERT_TRUE(hh);
    wchar_t loaded[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameW(hh, loaded, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(loaded, -1, (std::wstring(system) + L"\\hhctrl.ocx").c_str(), -1, TRUE),
              CSTR_EQUAL);

    g_helpPath[0] = L'\0';
    DeleteFileW(chm.c_str());
    RemoveDirectoryW(temp.c_str());
}

}  // namespace
