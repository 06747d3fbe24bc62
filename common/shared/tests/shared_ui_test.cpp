// The shared parts shown by a program other than the limiter, from its own
// templates: the password prompt (template 501) and the About box (web-site
// button 1004), the Administrators test, the program's own paths, the
// elevated restart, the texts and the callback guard. Each dialog runs on a
// second thread of this program while the test thread drives it.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <regex>
#include <stdexcept>
#include <string>

#include "cfwCommon.h"
#include "e2e.h"
#include "hvShared.h"
#include "shared_resource.h"
#include "names.h"

using namespace std::chrono_literals;

namespace {

const DWORD kPid = GetCurrentProcessId();
constexpr int kPasswordTemplate = 501;
constexpr int kWebSiteButton = 1004;
const wchar_t kElevatedSwitch[] = L"/elevated-child";

INT_PTR Result(std::future<INT_PTR>& f) { return f.wait_for(5s) == std::future_status::ready ? f.get() : -100; }

void Enter(HWND dlg, const std::wstring& text)
{
    e2e::SetControlText(dlg, IDC_PASSWORD_EDIT, text);
    e2e::Click(dlg, IDOK);
}

std::future<INT_PTR> StartPrompt(uint32_t lockHash)
{
    return std::async(std::launch::async, [lockHash] {
        return hv::RunPasswordPrompt(GetModuleHandleW(nullptr), kPasswordTemplate, nullptr, lockHash);
    });
}

TEST(SharedPasswordPrompt, FromTheProgramsOwnTemplateThreeWrongEntriesEndIt)
{
    const uint32_t lock = GetPasswordHashW(L"secret");
    auto run = StartPrompt(lock);
    HWND dlg = e2e::WaitForWindow(L"#32770", L"パスワードの入力", kPid, 10s);
    ASSERT_TRUE(dlg);
    HWND edit = GetDlgItem(dlg, IDC_PASSWORD_EDIT);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 16);
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0x25CF);

    Enter(dlg, L"wrong");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, L"パスワード入力エラー"), L"パスワードが違います。");
    Enter(dlg, L"");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, L"パスワード入力エラー"), L"パスワードを入力してください。");
    Enter(dlg, L"Secret");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, L"パスワード入力エラー"), L"パスワードが違います。");
    Enter(dlg, L"secret!");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, L"パスワード入力エラー"), L"パスワードが違います。");
    EXPECT_EQ(e2e::AnswerMessageBox(kPid, L"パスワード入力失敗"), L"パスワードを 3 回間違えたため処理を中止します。");
    EXPECT_EQ(Result(run), 2);

    // A new run counts afresh and takes the right password.
    run = StartPrompt(lock);
    dlg = e2e::WaitForWindow(L"#32770", L"パスワードの入力", kPid, 10s);
    ASSERT_TRUE(dlg);
    e2e::Screenshot(L"shared_password");
    Enter(dlg, L"secret");
    EXPECT_EQ(Result(run), 1);
}

TEST(SharedPasswordPrompt, AMissingTemplateGrantsNothing)
{
    EXPECT_EQ(hv::RunPasswordPrompt(GetModuleHandleW(nullptr), 777, nullptr, 0), 2);
}

int g_openerCalls = 0;
void CountOpener(bool) { ++g_openerCalls; }

TEST(SharedAboutBox, ShowsThisProgramsVersionWithItsOwnWebSiteButton)
{
    g_openerCalls = 0;
    const hv::AboutBoxRow row{kWebSiteButton, L"Halvern Curfew 設定ユーティリティ", CountOpener};
    auto run = std::async(std::launch::async,
                          [&row] { return hv::RunAboutBox(GetModuleHandleW(nullptr), nullptr, row); });
    HWND dlg = e2e::WaitForWindow(L"#32770", L"バージョン情報", kPid, 10s);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(e2e::ControlText(dlg, IDC_ABOUT_PRODUCT), L"Halvern Curfew 設定ユーティリティ");
    const std::wstring version = e2e::ControlText(dlg, IDC_ABOUT_VERSION);
    EXPECT_TRUE(std::regex_match(version, std::wregex(L"Version \\d+\\.\\d+ \\(\\d+(\\.\\d+)+\\)")));
    EXPECT_EQ(e2e::ControlText(dlg, IDC_ABOUT_NOTE), L"このプログラムは 64 ビット (x64) 版です。");
    EXPECT_EQ(e2e::ControlText(dlg, kWebSiteButton), L"Web サイト(&W)");
    EXPECT_EQ(GetDlgItem(dlg, 1005), nullptr);
    EXPECT_EQ(g_openerCalls, 1);
    e2e::Screenshot(L"shared_about");
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);  // Escape closes it like OK
    EXPECT_EQ(Result(run), 1);
    EXPECT_EQ(g_openerCalls, 2);
}

TEST(SharedAdministrators, CurrentAccountByNameOrAskedAnew)
{
    // Wine lists every account in Administrators; the other answers are
    // covered by the decision's own tests.
    EXPECT_EQ(hv::IsAdministratorsMember(nullptr), 1);
    wchar_t name[257] = {};
    DWORD size = ARRAYSIZE(name);
    ASSERT_TRUE(GetUserNameW(name, &size));
    EXPECT_EQ(hv::IsAdministratorsMember(name), 1);
}

TEST(SharedPaths, OwnFolderAndSiblings)
{
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(hv::ProgramPath(), std::wstring(self, n));
    std::wstring folder(self, n);
    folder.resize(folder.find_last_of(L'\\') + 1);
    EXPECT_EQ(hv::ProgramFolder(), folder);
    EXPECT_EQ(hv::SiblingPath(hv::names::kEditorFile), folder + hv::names::kEditorFile);
    EXPECT_EQ(hv::SiblingPath(std::wstring(300, L'x').c_str()), L"");
}

TEST(SharedRestart, StartsThisProgramAgainWithTheGivenParameters)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring marker = std::wstring(temp) + L"hv_elevated_" + std::to_wstring(GetTickCount64()) + L".txt";
    const std::wstring params = std::wstring(kElevatedSwitch) + L" \"" + marker + L"\"";
    ASSERT_TRUE(hv::RestartElevated(nullptr, params.c_str()));
    EXPECT_TRUE(e2e::WaitUntil([&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10s));
    DeleteFileW(marker.c_str());
}

TEST(SharedTexts, LoadsTheProgramsTableAndAMissingTextShows)
{
    EXPECT_EQ(hv::LoadText(IDS_HELP_CAPTION), L"ヘルプ");
    EXPECT_EQ(hv::LoadText(60999), L"<missing text 60999>");
}

TEST(SharedGuard, AnExceptionEndsInTheFallback)
{
    EXPECT_EQ(hv::Guarded<int>(7, [] { return 1; }), 1);
    EXPECT_EQ(hv::Guarded<int>(7, []() -> int { throw std::runtime_error("x"); }), 7);
    EXPECT_EQ(hv::GuardedOr([]() -> LRESULT { throw 1; }, [] { return LRESULT(42); }), 42);
    bool ran = false;
    hv::Guarded([&] {
        ran = true;
        throw std::bad_alloc();
    });
    EXPECT_TRUE(ran);
}

// The restarted copy: leaves its mark and ends.
int RunElevatedChild(const wchar_t* marker)
{
    HANDLE f = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(f);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && wcscmp(argv[1], kElevatedSwitch) == 0)
        return RunElevatedChild(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
