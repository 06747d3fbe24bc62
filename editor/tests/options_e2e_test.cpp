// The time-out action and password lock dialogs inside the real utility, and
// the password prompt at its start.
#include <windows.h>

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "editor_texts.h"
#include "resource.h"

namespace {

using namespace editor_test;

constexpr wchar_t kTimeoutTitle[] = L"時間切れ時の動作設定";
constexpr wchar_t kLockTitle[] = L"パスワード ロックの設定";

class Options : public EditorTest {
protected:
    void Select(HWND dialog, int position)
    {
        HWND list = GetDlgItem(dialog, IDC_TIMEOUT_LIST);
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_TIMEOUT_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    int Selection(HWND dialog) { return static_cast<int>(SendDlgItemMessageW(dialog, IDC_TIMEOUT_LIST, CB_GETCURSEL, 0, 0)); }
    void CloseDialog(HWND dialog, int button)
    {
        e2e::Click(dialog, button);
        e2e::Await("the dialog to close", [&] { return !IsWindow(dialog); }, 5s);
    }
    // OK in the password lock dialog with these fields; the box it shows.
    e2e::MessageBoxInfo PressOk(HWND dialog, const wchar_t* current, const wchar_t* typed, const wchar_t* confirmation,
                                const wchar_t* caption)
    {
        e2e::SetControlText(dialog, IDC_LOCK_CURRENT, current);
        e2e::SetControlText(dialog, IDC_LOCK_NEW, typed);
        e2e::SetControlText(dialog, IDC_LOCK_CONFIRM, confirmation);
        e2e::Click(dialog, IDOK);
        return AwaitBox(caption);
    }
};

TEST_F(Options, TimeoutDialogShowsAndStoresTheAction)
{
    WriteOptions(TIMEOUT_SHUTDOWN, PASSWORD_LOCK_OFF);
    ASSERT_TRUE(StartEditor());
    HWND dialog = OpenDialog(IDC_TIMEOUT_BUTTON, kTimeoutTitle);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(4, SendDlgItemMessageW(dialog, IDC_TIMEOUT_LIST, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(2, Selection(dialog));
    EXPECT_EQ(editor::RcText(IDS_TIMEOUT_DESCRIPTION_2), e2e::ControlText(dialog, IDC_TIMEOUT_DESCRIPTION));
    Shot(L"editor_timeout_dialog");
    Select(dialog, 1);
    EXPECT_EQ(editor::RcText(IDS_TIMEOUT_DESCRIPTION_1), e2e::ControlText(dialog, IDC_TIMEOUT_DESCRIPTION));
    CloseDialog(dialog, IDCANCEL);

    dialog = OpenDialog(IDM_TIMEOUT, kTimeoutTitle);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(2, Selection(dialog));  // Cancel kept the stored action
    Select(dialog, 3);
    CloseDialog(dialog, IDOK);
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_SHUTDOWN), StoredOptions().TimeOutMode);  // in memory until the close

    dialog = OpenDialog(IDC_TIMEOUT_BUTTON, kTimeoutTitle);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(3, Selection(dialog));
    CloseDialog(dialog, IDCANCEL);
    CloseWithOk();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_FORCE_SHUTDOWN), StoredOptions().TimeOutMode);
}

TEST_F(Options, PasswordLockRules)
{
    ASSERT_TRUE(StartEditor());
    HWND dialog = OpenDialog(IDC_LOCK_BUTTON, kLockTitle);
    ASSERT_TRUE(dialog);
    // No lock: the current password is not asked for.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_LOCK_CURRENT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_LOCK_CURRENT_LABEL)));
    for (int id : {IDC_LOCK_CURRENT, IDC_LOCK_NEW, IDC_LOCK_CONFIRM}) {
        EXPECT_EQ(16, SendDlgItemMessageW(dialog, id, EM_GETLIMITTEXT, 0, 0)) << id;
        EXPECT_EQ(0x25CF, SendDlgItemMessageW(dialog, id, EM_GETPASSWORDCHAR, 0, 0)) << id;
    }
    Shot(L"editor_password_lock_dialog");

    auto box = PressOk(dialog, L"", L"Secret", L"secret", L"パスワード変更エラー");
    EXPECT_EQ(editor::RcText(IDS_LOCK_MISMATCH), box.text);
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    EXPECT_TRUE(IsWindow(dialog));
    const std::wstring sixteen = L"0123456789abcdef";
    box = PressOk(dialog, L"", sixteen.c_str(), sixteen.c_str(), L"パスワード変更完了");
    EXPECT_EQ(editor::RcText(IDS_LOCK_SET), box.text);
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    e2e::Await("the dialog to close", [&] { return !IsWindow(dialog); }, 5s);

    // With a lock the current password is needed: an empty one is wrong too.
    dialog = OpenDialog(IDM_LOCK, kLockTitle);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_LOCK_CURRENT)));
    for (const wchar_t* wrong : {L"", L"0123456789ABCDEF"}) {
        box = PressOk(dialog, wrong, L"", L"", L"パスワード変更エラー");
        EXPECT_EQ(L"現在のパスワードが違います。", box.text);
        EXPECT_TRUE(e2e::Answer(box, IDOK));
    }
    EXPECT_TRUE(IsWindow(dialog));
    CloseDialog(dialog, IDCANCEL);
    CloseWithOk();
    EXPECT_EQ(GetPasswordHashW(sixteen.c_str()), StoredOptions().PasswordLockHash);

    // The next start asks for it; the right one lets the utility in.
    StartEditor(L"", false);
    HWND prompt = AwaitDialog(L"パスワードの入力");
    ASSERT_TRUE(prompt);
    e2e::SetControlText(prompt, IDC_PASSWORD_EDIT, sixteen);
    e2e::Click(prompt, IDOK);
    AwaitMain();
    ASSERT_TRUE(main_);

    // Removal: the current password and two empty fields.
    dialog = OpenDialog(IDC_LOCK_BUTTON, kLockTitle);
    ASSERT_TRUE(dialog);
    box = PressOk(dialog, sixteen.c_str(), L"", L"", L"パスワード変更完了");
    EXPECT_EQ(editor::RcText(IDS_LOCK_REMOVED), box.text);
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    e2e::Await("the dialog to close", [&] { return !IsWindow(dialog); }, 5s);
    dialog = OpenDialog(IDC_LOCK_BUTTON, kLockTitle);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_LOCK_CURRENT)));
    // No lock and nothing typed: stays off, reported as removed.
    box = PressOk(dialog, L"", L"", L"", L"パスワード変更完了");
    EXPECT_EQ(editor::RcText(IDS_LOCK_REMOVED), box.text);
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    e2e::Await("the dialog to close", [&] { return !IsWindow(dialog); }, 5s);
    CloseWithOk();
    EXPECT_EQ(PASSWORD_LOCK_OFF, StoredOptions().PasswordLockHash);
}

TEST_F(Options, ThreeWrongPasswordsAtStartEndTheUtility)
{
    WriteOptions(TIMEOUT_LOGOFF, GetPasswordHashW(L"secret"));
    StartEditor(L"", false);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        HWND prompt = AwaitDialog(L"パスワードの入力");
        ASSERT_TRUE(prompt);
        if (attempt == 1)
            Shot(L"editor_password_prompt");
        e2e::SetControlText(prompt, IDC_PASSWORD_EDIT, L"Secret");
        e2e::Click(prompt, IDOK);
        auto box = AwaitBox(L"パスワード入力エラー");
        EXPECT_EQ(L"パスワードが違います。", box.text);
        EXPECT_TRUE(e2e::Answer(box, IDOK));
    }
    auto box = AwaitBox(L"パスワード入力失敗");
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    EXPECT_EQ(kRefused, editor_.Wait(10000).value_or(1234));
    EXPECT_TRUE(e2e::FindWindows(L"cfwEdit", nullptr).empty());
    EXPECT_EQ(GetPasswordHashW(L"secret"), StoredOptions().PasswordLockHash);  // a refusal writes nothing
}

}  // namespace
