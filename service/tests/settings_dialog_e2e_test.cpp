// Dialog 502 driven through its buttons: enable, start, restart, stop, a
// start type that forbids starting, disable; the buttons follow the real
// state each time. Also the single instance and the About box.
#include "service_fixture.h"

#include "resource.h"
#include "service_texts.h"

namespace {

using namespace service_test;
using svc::RcText;

class SettingsDialog : public ServiceTest {
protected:
    HWND Open()
    {
        setup_ = &Run(L"/Setup");
        dialog_ = e2e::AwaitWindow(L"#32770", kSettingsTitle, setup_->pid(), 20s);
        return dialog_;
    }
    // "EDSTR" for the enabled ones of enable, disable, start, stop, restart.
    std::string Buttons() const
    {
        std::string s;
        const char letters[] = "EDSTR";
        const int ids[] = {IDC_ENABLE, IDC_DISABLE, IDC_START, IDC_STOP, IDC_RESTART};
        for (int i = 0; i < 5; ++i)
            s += IsWindowEnabled(GetDlgItem(dialog_, ids[i])) ? letters[i] : '-';
        return s;
    }
    void AwaitButtons(const std::string& expected)
    {
        e2e::Await("buttons " + expected, [&] { return Buttons() == expected; }, 20s);
        EXPECT_EQ(expected, Buttons());
    }
    void Press(int id) { PostMessageW(GetDlgItem(dialog_, id), BM_CLICK, 0, 0); }

    e2e::Process* setup_ = nullptr;
    HWND dialog_ = nullptr;
};

TEST_F(SettingsDialog, ButtonsFollowTheServiceThroughItsLife)
{
    ASSERT_TRUE(Open());
    AwaitButtons("E----");

    // A second start in the same session ends at once and shows nothing.
    auto& second = Run(L"/Setup");
    EXPECT_EQ(0u, second.Wait(20000).value_or(1234));
    EXPECT_EQ(1u, e2e::FindWindows(L"#32770", kSettingsTitle).size());

    Press(IDC_ENABLE);
    Expect(*setup_, L"有効化確認", RcText(IDS_ENABLE_QUESTION), IDNO);
    Sleep(700);
    EXPECT_FALSE(OpenNotifyService());
    Press(IDC_ENABLE);
    Expect(*setup_, L"有効化確認", RcText(IDS_ENABLE_QUESTION), IDYES);
    Expect(*setup_, L"有効化完了",
           L"Halvern Curfew Notification Service は正常に有効化されました。\n\n[OK] ボタンを押したあと、サービスの操作内に"
           L"ある [開始] ボタンを押すことで Windows サービスとして動作します。");
    AwaitButtons("-DS--");
    e2e::Screenshot(L"service_settings_registered");

    Press(IDC_START);
    AwaitButtons("-D-TR");
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
    const DWORD first = ServiceProcessId();

    Press(IDC_RESTART);
    e2e::Await("a new service process", [&] { return ServiceState() == SERVICE_RUNNING && ServiceProcessId() != first; },
               30s);
    AwaitButtons("-D-TR");

    Press(IDC_STOP);
    AwaitButtons("-DS--");
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), ServiceState());

    // Start type "disabled": registered and stopped, yet no start.
    {
        auto service = OpenNotifyService();
        ASSERT_TRUE(ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, SERVICE_DISABLED, SERVICE_NO_CHANGE,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    }
    AwaitButtons("-D---");

    // Removed behind its back: the dialog notices.
    Press(IDC_DISABLE);
    Expect(*setup_, L"無効化確認", RcText(IDS_DISABLE_QUESTION), IDYES);
    Expect(*setup_, L"無効化完了", RcText(IDS_DISABLE_DONE));
    AwaitButtons("E----");
    EXPECT_FALSE(OpenNotifyService());

    PostMessageW(dialog_, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(1u, setup_->Wait(20000).value_or(1234));
}

TEST_F(SettingsDialog, RestartOfARemovedServiceEndsAndStartsNothing)
{
    ASSERT_TRUE(Open());
    Press(IDC_ENABLE);
    Expect(*setup_, L"有効化確認", RcText(IDS_ENABLE_QUESTION), IDYES);
    Expect(*setup_, L"有効化完了", RcText(IDS_ENABLE_DONE_DIALOG));
    Press(IDC_START);
    AwaitButtons("-D-TR");

    // Deleted while running: restart stops it, the stopped state comes, but
    // the service is gone by then. The dialog must come back, not hang.
    {
        auto service = OpenNotifyService();
        ASSERT_TRUE(DeleteService(service.get()));
    }
    Press(IDC_RESTART);
    e2e::Await("the service to be gone", [] { return !OpenNotifyService(); }, 40s);
    AwaitButtons("E----");
    PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(1u, setup_->Wait(20000).value_or(1234));
}

TEST_F(SettingsDialog, AboutBoxAndLook)
{
    ASSERT_TRUE(Open());
    Sleep(800);
    e2e::Screenshot(L"service_settings");
    PostMessageW(GetDlgItem(dialog_, IDC_ABOUT), BM_CLICK, 0, 0);
    HWND about = e2e::AwaitWindow(L"#32770", L"バージョン情報", setup_->pid(), 20s);
    ASSERT_TRUE(about);
    EXPECT_EQ(L"Halvern Curfew Notification Service", e2e::ControlText(about, IDC_ABOUT_PRODUCT).substr(0, 35));
    EXPECT_TRUE(GetDlgItem(about, IDC_ABOUT_WEBSITE));
    Sleep(500);
    e2e::Screenshot(L"service_about");
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    e2e::Await("the About box to close", [&] { return !IsWindow(about); }, 10s);
    EXPECT_TRUE(IsWindowEnabled(dialog_));
    PostMessageW(dialog_, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(1u, setup_->Wait(20000).value_or(1234));
}

}  // namespace
