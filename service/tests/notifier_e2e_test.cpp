// cfwNotify.exe against a real limiter of this session, and the settings
// utility's Apply through the real service.
#include <windows.h>

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "service_fixture.h"

namespace {

using namespace std::chrono_literals;

class Notifier : public limiter_test::LimiterTest {};

TEST_F(Notifier, NoLimiterIsExitCodeOne)
{
    auto silent = e2e::Start(hv::names::kNotifierFile, L"/Silent");
    EXPECT_EQ(1u, silent.Wait(20000).value_or(1234));
    EXPECT_TRUE(e2e::FindWindows(nullptr, nullptr, silent.pid()).empty());

    // Without "/Silent" it says so.
    auto loud = e2e::Start(hv::names::kNotifierFile);
    auto box = e2e::AwaitMessageBox(loud.pid(), L"Halvern Curfew Notification Service", 20s);
    ASSERT_TRUE(box);
    EXPECT_TRUE(e2e::Answer(*box, IDOK));
    EXPECT_EQ(1u, loud.Wait(20000).value_or(1234));
}

// A window of the limiter's class whose thread never reads its messages.
TEST_F(Notifier, ALimiterThatDoesNotAnswerIsExitCodeTwo)
{
    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    struct Shared {
        HANDLE created, release;
    } shared{created, release};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* s = static_cast<Shared*>(p);
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = hv::names::kTrayClass;
            RegisterClassW(&wc);
            HWND w = CreateWindowW(hv::names::kTrayClass, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
            SetEvent(s->created);
            WaitForSingleObject(s->release, 30000);  // hung: no messages read
            DestroyWindow(w);
            return 0;
        },
        &shared, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(created, 10000));
    auto notify = e2e::Start(hv::names::kNotifierFile, L"/Silent");
    EXPECT_EQ(2u, notify.Wait(30000).value_or(1234));
    SetEvent(release);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(created);
    CloseHandle(release);
}

TEST_F(Notifier, RunningLimiterReloadsItsRecords)
{
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(WaitForRemain([](const std::wstring& t) { return t == L"-:--:--"; }));
    WriteUser(limiter_test::DailyForThisAndNextHour());
    Sleep(1500);
    EXPECT_EQ(L"-:--:--", Remain());  // a changed record alone changes nothing

    auto notify = e2e::Start(hv::names::kNotifierFile, L"/Silent");
    EXPECT_EQ(0u, notify.Wait(20000).value_or(1234));
    EXPECT_TRUE(WaitForRemain([](const std::wstring& t) { return t != L"-:--:--"; }, 5000)) << Remain();
}

// The utility sees the real service running and sends it the settings code.
// Under Wine the service manager lists no sessions, so the service starts no
// notifier and this session's limiter is not reached that way; the
// notifier's own effect is the test above.
class ApplyThroughService : public editor_test::EditorTest {
protected:
    void TearDown() override
    {
        if (auto service = service_test::OpenNotifyService()) {
            SERVICE_STATUS s{};
            ControlService(service.get(), SERVICE_CONTROL_STOP, &s);
            e2e::WaitUntil([] { return service_test::ServiceState() == SERVICE_STOPPED; }, 10s);
            DeleteService(service.get());
        }
        e2e::KillAll(hv::names::kServiceFile);
        EditorTest::TearDown();
    }
};

TEST_F(ApplyThroughService, QuestionRecordCodeAndSuccess)
{
    auto install = e2e::Start(hv::names::kServiceFile, L"/Install");
    for (auto [caption, button] : {std::pair{L"有効化確認", IDYES}, {L"有効化完了", IDOK}, {L"確認", IDYES}}) {
        auto box = e2e::AwaitMessageBox(install.pid(), caption, 20s);
        ASSERT_TRUE(box);
        EXPECT_TRUE(e2e::Answer(*box, button));
    }
    EXPECT_EQ(0u, install.Wait(20000).value_or(1234));
    e2e::Await("the service to run", [] { return service_test::ServiceState() == SERVICE_RUNNING; }, 30s);
    const DWORD pid = service_test::ServiceProcessId();

    ASSERT_TRUE(StartEditor());
    WriteOptions(TIMEOUT_SHUTDOWN, PASSWORD_LOCK_OFF);  // behind its back
    e2e::Click(main_, IDOK);                            // Apply
    auto box = AwaitBox(L"確認");
    EXPECT_EQ(L"変更した設定内容を常駐しているすべての Halvern Curfew へ通知しますか？", box.text);
    EXPECT_TRUE(e2e::Answer(box, IDYES));
    box = AwaitBox(editor_test::kTitle);
    EXPECT_EQ(L"すべての Halvern Curfew 本体に通知しました。\n反映されない場合は再ログインしてみてください。", box.text);
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_LOGOFF), editor_test::StoredOptions().TimeOutMode);
    // The code reached a service that goes on running in the same process.
    Sleep(500);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), service_test::ServiceState());
    EXPECT_EQ(pid, service_test::ServiceProcessId());
}

}  // namespace
