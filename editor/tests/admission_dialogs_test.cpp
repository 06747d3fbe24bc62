// The two refusals at start, which Wine cannot reach in the real utility (its
// account is always an elevated administrator there): dialogs 513 and 514
// shown from their templates on a second thread, read back and
// photographed; and the progress window 515.
#include <windows.h>
#include <commctrl.h>

#include <future>

#include <gtest/gtest.h>

#include "e2e.h"
#include "editor.h"
#include "resource.h"

namespace {

using namespace std::chrono_literals;

class AdmissionDialogs : public ::testing::Test {
protected:
    void SetUp() override { g_editor.instance = GetModuleHandleW(nullptr); }

    HWND AwaitDialog(const wchar_t* title)
    {
        HWND found = nullptr;
        e2e::Await(
            "dialog " + std::string(title ? "with its title" : ""),
            [&] {
                for (HWND w : e2e::FindWindows(L"#32770", title, GetCurrentProcessId()))
                    if (IsWindowVisible(w))
                        return (found = w) != nullptr;
                return false;
            },
            10s);
        return found;
    }
    // The static texts of a dialog, in tab order.
    std::vector<std::wstring> Texts(HWND dialog)
    {
        std::vector<std::wstring> texts;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (e2e::ClassName(c) == L"Static" && GetDlgCtrlID(c) != IDC_ADMISSION_ICON)
                texts.push_back(e2e::Text(c));
        return texts;
    }
    bool ShowsAnIcon(HWND dialog)
    {
        return SendDlgItemMessageW(dialog, IDC_ADMISSION_ICON, STM_GETICON, 0, 0) != 0;
    }
};

TEST_F(AdmissionDialogs, NotAdministrator)
{
    auto shown = std::async(std::launch::async, [] { ShowNotAdministratorDialog(nullptr); });
    HWND dialog = AwaitDialog(L"管理者権限がありません");
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(ShowsAnIcon(dialog));
    const std::vector<std::wstring> expected = {
        L"現在のユーザー アカウントに対して管理者権限がありません。設定ユーティリティを使用するには管理者権限が必要です。",
        L"管理者権限のあるユーザー アカウントにログインしてもう一度やり直すか、管理者に連絡のうえ、現在のアカウントに対して管理者権限を割り当ててもらってください。"};
    EXPECT_EQ(expected, Texts(dialog));
    EXPECT_EQ(L"閉じる(&C)", e2e::ControlText(dialog, IDOK));
    Sleep(400);
    e2e::Screenshot(L"editor_dialog_513");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_EQ(std::future_status::ready, shown.wait_for(5s));
}

TEST_F(AdmissionDialogs, ElevationNeededCancelled)
{
    g_editor.mutex.reset(CreateMutexW(nullptr, FALSE, hv::names::kEditorMutex));
    auto shown = std::async(std::launch::async, [] { return ShowElevationDialog(nullptr); });
    HWND dialog = AwaitDialog(L"管理者への昇格が必要です");
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(ShowsAnIcon(dialog));
    const std::vector<std::wstring> texts = Texts(dialog);
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ(L"終了する場合は [キャンセル] ボタンを押してください。", texts[3]);
    EXPECT_EQ(L"管理者として実行(&A)", e2e::ControlText(dialog, IDOK));
    EXPECT_EQ(L"キャンセル", e2e::ControlText(dialog, IDCANCEL));
    Sleep(400);
    e2e::Screenshot(L"editor_dialog_514");  // the shield on button 1 is seen here
    e2e::Click(dialog, IDCANCEL);
    ASSERT_EQ(std::future_status::ready, shown.wait_for(5s));
    EXPECT_FALSE(shown.get());
    EXPECT_TRUE(g_editor.mutex);  // kept: no other instance was started
    g_editor.mutex.reset();
}

TEST_F(AdmissionDialogs, ProgressWindow)
{
    HWND progress = ShowProgressWindow(nullptr, IDS_STARTING_TITLE, IDS_STARTING_TEXT);
    ASSERT_TRUE(progress);
    EXPECT_EQ(L"起動しています", e2e::Text(progress));
    EXPECT_EQ(hv::LoadText(IDS_STARTING_TEXT), e2e::ControlText(progress, IDC_PROGRESS_TEXT));
    EXPECT_TRUE(IsWindowVisible(progress));
    for (int i = 0; i < 20; ++i) {  // let it paint
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(20);
    }
    e2e::Screenshot(L"editor_progress_515");
    DestroyWindow(progress);
}

}  // namespace
