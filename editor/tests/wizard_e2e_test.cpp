// The setup wizard inside the real utility, driven with PSM_PRESSBUTTON: from
// start to Finish, cancelled from a middle page, and the re-run question.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "editor_texts.h"
#include "resource.h"

namespace {

using namespace editor_test;

constexpr wchar_t kWizardCaption[] = L"Halvern Curfew 初期設定ウィザード";
constexpr int kBackButton = 0x3023, kNextButton = 0x3024, kFinishButton = 0x3025;

DWORD InitializedMark()
{
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, L"IsInitialized", RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return 0xDEAD;
    return value;
}

void SetInitializedMark(DWORD value)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, L"IsInitialized", REG_DWORD, &value,
                                             sizeof value));
}

class Wizard : public EditorTest {
protected:
    HWND AwaitSheet() { return sheet_ = AwaitDialog(kWizardCaption); }
    HWND Page() const { return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    int PageId() const
    {
        return static_cast<int>(SendMessageW(sheet_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(Page()), 0)) + 600;
    }
    // Presses a button and, for Next and Back, waits for the page to change.
    void Press(int button, int expectedPage)
    {
        PostMessageW(sheet_, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
        e2e::Await("wizard page " + std::to_string(expectedPage), [&] { return PageId() == expectedPage; }, 10s);
        Sleep(200);  // the page's posted button settings
    }
    bool Enabled(int id) const
    {
        HWND b = GetDlgItem(sheet_, id);
        return b && IsWindowVisible(b) && IsWindowEnabled(b);
    }
    bool AwaitEnabled(int id, bool enabled) const
    {
        return e2e::WaitUntil([&] { return Enabled(id) == enabled; }, 5s);
    }
    void Select(int position)
    {
        HWND list = GetDlgItem(Page(), IDC_WIZARD_TIMEOUT_LIST);
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageW(Page(), WM_COMMAND, MAKEWPARAM(IDC_WIZARD_TIMEOUT_LIST, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

    HWND sheet_ = nullptr;
};

TEST_F(Wizard, FromStartToFinish)
{
    OptionData before{TIMEOUT_SHUTDOWN, 5, GetPasswordHashW(L"old")};
    ASSERT_EQ(1, WriteOptionDataW(&before));
    StartEditor(L"/wIzArD", false);  // any letter case; no question on a first run
    ASSERT_TRUE(AwaitSheet());
    EXPECT_EQ(600, PageId());
    EXPECT_TRUE(AwaitEnabled(kNextButton, true));
    EXPECT_FALSE(Enabled(kBackButton));
    Shot(L"editor_wizard_600");

    Press(PSBTN_NEXT, 601);
    EXPECT_TRUE(Enabled(kBackButton));
    EXPECT_EQ(0, SendDlgItemMessageW(Page(), IDC_WIZARD_TIMEOUT_LIST, CB_GETCURSEL, 0, 0));  // not the stored 2
    EXPECT_EQ(editor::RcText(IDS_TIMEOUT_DESCRIPTION_0), e2e::ControlText(Page(), IDC_WIZARD_TIMEOUT_DESCRIPTION));
    Select(3);
    EXPECT_EQ(editor::RcText(IDS_WIZARD_DESCRIPTION_3), e2e::ControlText(Page(), IDC_WIZARD_TIMEOUT_DESCRIPTION));
    Shot(L"editor_wizard_601");

    Press(PSBTN_NEXT, 602);
    EXPECT_TRUE(AwaitEnabled(kNextButton, true));  // two empty fields agree
    EXPECT_EQ(L"", e2e::ControlText(Page(), IDC_WIZARD_MATCH));
    e2e::SetControlText(Page(), IDC_WIZARD_PASSWORD, L"Secret");
    e2e::SetControlText(Page(), IDC_WIZARD_CONFIRM, L"secret");
    EXPECT_EQ(L"パスワード不一致", e2e::ControlText(Page(), IDC_WIZARD_MATCH));
    EXPECT_TRUE(AwaitEnabled(kNextButton, false));
    e2e::SetControlText(Page(), IDC_WIZARD_CONFIRM, L"Secret");
    EXPECT_EQ(L"パスワード一致", e2e::ControlText(Page(), IDC_WIZARD_MATCH));
    EXPECT_TRUE(AwaitEnabled(kNextButton, true));
    Shot(L"editor_wizard_602");

    // Back and forth keeps what was chosen.
    Press(PSBTN_BACK, 601);
    EXPECT_EQ(3, SendDlgItemMessageW(Page(), IDC_WIZARD_TIMEOUT_LIST, CB_GETCURSEL, 0, 0));
    Press(PSBTN_NEXT, 602);
    EXPECT_EQ(L"Secret", e2e::ControlText(Page(), IDC_WIZARD_CONFIRM));
    Press(PSBTN_NEXT, 603);
    EXPECT_TRUE(AwaitEnabled(kFinishButton, true));
    Shot(L"editor_wizard_603");
    EXPECT_EQ(0xDEADu, InitializedMark());

    PostMessageW(sheet_, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    // The lock just set is asked for at once; the options are stored already.
    HWND prompt = AwaitDialog(L"パスワードの入力");
    ASSERT_TRUE(prompt);
    EXPECT_FALSE(IsWindow(sheet_));
    EXPECT_EQ(1u, InitializedMark());
    const OptionData stored = StoredOptions();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_FORCE_SHUTDOWN), stored.TimeOutMode);
    EXPECT_EQ(0u, stored.Amusement);
    EXPECT_EQ(GetPasswordHashW(L"Secret"), stored.PasswordLockHash);
    // Cancelling the prompt ends the utility; what the wizard set stays.
    e2e::Click(prompt, IDCANCEL);
    EXPECT_EQ(kRefused, editor_.Wait(10000).value_or(1234));
    EXPECT_EQ(GetPasswordHashW(L"Secret"), StoredOptions().PasswordLockHash);
}

TEST_F(Wizard, CancelledFromAMiddlePage)
{
    OptionData before{TIMEOUT_FORCE_LOGOFF, 2, PASSWORD_LOCK_OFF};
    ASSERT_EQ(1, WriteOptionDataW(&before));
    StartEditor(L"/Wizard", false);
    ASSERT_TRUE(AwaitSheet());
    Press(PSBTN_NEXT, 601);
    Select(2);
    Press(PSBTN_NEXT, 602);
    e2e::SetControlText(Page(), IDC_WIZARD_PASSWORD, L"pw");
    e2e::SetControlText(Page(), IDC_WIZARD_CONFIRM, L"pw");

    PostMessageW(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    auto box = AwaitBox(L"確認");
    EXPECT_EQ(editor::RcText(IDS_WIZARD_CANCEL), box.text);
    Shot(L"editor_wizard_cancel_question");
    EXPECT_TRUE(e2e::Answer(box, IDNO));
    EXPECT_TRUE(IsWindow(sheet_));
    EXPECT_EQ(602, PageId());

    PostMessageW(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    box = AwaitBox(L"確認");
    EXPECT_TRUE(e2e::Answer(box, IDYES));
    // The utility goes on with the record as it was read.
    AwaitMain();
    ASSERT_TRUE(main_);
    EXPECT_FALSE(IsWindow(sheet_));
    EXPECT_EQ(0xDEADu, InitializedMark());
    const OptionData stored = StoredOptions();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_FORCE_LOGOFF), stored.TimeOutMode);
    EXPECT_EQ(2u, stored.Amusement);
    EXPECT_EQ(PASSWORD_LOCK_OFF, stored.PasswordLockHash);
    CloseWithOk();
    EXPECT_EQ(2u, StoredOptions().Amusement);
}

TEST_F(Wizard, RerunIsAskedFirstAndASecondArgumentIsIgnored)
{
    SetInitializedMark(1);
    StartEditor(L"/WIZARD", false);
    auto box = AwaitBox(kWizardCaption);
    EXPECT_EQ(editor::RcText(IDS_WIZARD_RERUN), box.text);
    Shot(L"editor_wizard_rerun_question");
    EXPECT_TRUE(e2e::Answer(box, IDNO));
    AwaitMain();
    ASSERT_TRUE(main_);
    EXPECT_TRUE(e2e::FindWindows(L"#32770", kWizardCaption, editor_.pid()).empty());
    CloseWithOk();

    // Only the first argument counts.
    SetInitializedMark(0);
    StartEditor(L"/Other /Wizard", true);
    ASSERT_TRUE(main_);
    EXPECT_TRUE(e2e::FindWindows(L"#32770", kWizardCaption, editor_.pid()).empty());
}

}  // namespace
