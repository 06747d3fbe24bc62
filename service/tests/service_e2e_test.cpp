// cfwNotifySvc.exe as an administrator uses it: the command-line flows with
// their boxes, the registration they leave, the service running, taking
// controls and stopping, and the start-up refusals. (Under Wine the service
// manager is real, but ControlService reports success whatever the handler
// returns, and the session list is empty: the handler's result and the
// session loop are tested apart, in service_logic_test and
// session_notifier_test.)
#include "service_fixture.h"

#include "resource.h"
#include "service_texts.h"

namespace {

using namespace service_test;
using svc::RcText;

std::wstring Description()
{
    auto service = OpenNotifyService();
    DWORD size = 0;
    QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, nullptr, 0, &size);
    std::vector<BYTE> block(size + sizeof(SERVICE_DESCRIPTIONW));
    auto* d = reinterpret_cast<SERVICE_DESCRIPTIONW*>(block.data());
    if (!QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, block.data(), block.size(), &size) ||
        !d->lpDescription)
        return L"";
    return d->lpDescription;
}

class CommandLine : public ServiceTest {};

TEST_F(CommandLine, InstallRegistersFullPathStartsControlsAndUninstallRemoves)
{
    // Started the way the settings utility's folder would have it: by a
    // relative path from its own folder. The registration must still name
    // the program in full.
    const std::wstring bin = BinPath(L"");
    std::wstring cmd = L".\\cfwNotifySvc.exe /install";  // any letter case
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // A relative program name is looked up from the starter's current folder.
    wchar_t here[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, here);
    SetCurrentDirectoryW(bin.c_str());
    const BOOL started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, bin.c_str(), &si, &pi);
    SetCurrentDirectoryW(here);
    ASSERT_TRUE(started) << GetLastError();
    CloseHandle(pi.hThread);
    runs_.emplace_back(pi.hProcess, pi.dwProcessId);
    e2e::Process& install = runs_.back();
    Expect(install, L"有効化確認", L"Halvern Curfew Notification Service を有効化しますか？", IDYES);
    Expect(install, L"有効化完了", L"Halvern Curfew Notification Service は正常に有効化されました。");
    Expect(install, L"確認", L"今すぐ Windows サービスとして起動しますか？", IDYES);
    EXPECT_EQ(0u, install.Wait(20000).value_or(1234));

    auto service = OpenNotifyService();
    ASSERT_TRUE(service);
    DWORD size = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &size);
    std::vector<BYTE> block(size);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(block.data());
    ASSERT_TRUE(QueryServiceConfigW(service.get(), config, size, &size));
    EXPECT_STREQ(L"Halvern Curfew Notification Service", config->lpDisplayName);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS), config->dwServiceType);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_AUTO_START), config->dwStartType);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_ERROR_NORMAL), config->dwErrorControl);
    EXPECT_EQ(L"\"" + BinPath(hv::names::kServiceFile) + L"\" /Service", std::wstring(config->lpBinaryPathName));
    EXPECT_EQ(RcText(IDS_DESCRIPTION), Description());
    EXPECT_EQ(L"ログイン中のユーザー アカウント上に常駐するすべての Halvern Curfew へ設定ユーティリティで更新した設定データを"
              L"通知し、一括で設定反映を行います。",
              Description());

    // Running: the settings code and an unknown user code leave it running.
    e2e::Await("the service to run", [] { return ServiceState() == SERVICE_RUNNING; }, 30s);
    const DWORD pid = ServiceProcessId();
    ASSERT_NE(0u, pid);
    hv::UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    ASSERT_TRUE(process);
    SERVICE_STATUS s{};
    EXPECT_TRUE(ControlService(service.get(), hv::names::kNotifySettingsControl, &s));
    EXPECT_TRUE(ControlService(service.get(), hv::names::kNotifySettingsControl + 1, &s));
    EXPECT_TRUE(ControlService(service.get(), SERVICE_CONTROL_INTERROGATE, &s));
    Sleep(500);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(process.get(), 0));

    // Stopped: reported as such, and the process ends with 0.
    ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_STOP, &s));
    e2e::Await("the service to stop", [] { return ServiceState() == SERVICE_STOPPED; }, 20s);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.get(), 20000));
    DWORD code = 1234;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(0u, code);
    SERVICE_STATUS_PROCESS status{};
    QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                         &size);
    EXPECT_EQ(0u, status.dwWin32ExitCode);
    service.reset();

    // A second registration fails and says so.
    auto again = &Run(L"/Install");
    Expect(*again, L"有効化確認", RcText(IDS_ENABLE_QUESTION), IDYES);
    Expect(*again, L"有効化失敗", RcText(IDS_ENABLE_FAILED));
    EXPECT_EQ(0u, again->Wait(20000).value_or(1234));

    // Removal: No leaves it, Yes removes it, a second removal fails.
    auto keep = &Run(L"/Uninstall");
    Expect(*keep, L"無効化確認", RcText(IDS_DISABLE_QUESTION), IDNO);
    EXPECT_EQ(0u, keep->Wait(20000).value_or(1234));
    EXPECT_TRUE(OpenNotifyService());
    auto remove = &Run(L"/UNINSTALL");
    Expect(*remove, L"無効化確認", RcText(IDS_DISABLE_QUESTION), IDYES);
    Expect(*remove, L"無効化完了", L"Halvern Curfew Notification Service は正常に無効化されました。");
    EXPECT_EQ(0u, remove->Wait(20000).value_or(1234));
    EXPECT_FALSE(OpenNotifyService());
    auto twice = &Run(L"/Uninstall");
    Expect(*twice, L"無効化確認", RcText(IDS_DISABLE_QUESTION), IDYES);
    Expect(*twice, L"無効化失敗", RcText(IDS_DISABLE_FAILED));
    EXPECT_EQ(0u, twice->Wait(20000).value_or(1234));
}

TEST_F(CommandLine, UninstallStopsARunningServiceFirst)
{
    auto& install = Run(L"/Install");
    Expect(install, L"有効化確認", RcText(IDS_ENABLE_QUESTION), IDYES);
    Expect(install, L"有効化完了", RcText(IDS_ENABLE_DONE));
    Expect(install, L"確認", RcText(IDS_START_NOW), IDYES);
    EXPECT_EQ(0u, install.Wait(20000).value_or(1234));
    e2e::Await("the service to run", [] { return ServiceState() == SERVICE_RUNNING; }, 30s);
    hv::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, ServiceProcessId()));
    ASSERT_TRUE(process);

    auto& remove = Run(L"/Uninstall");
    Expect(remove, L"無効化確認", RcText(IDS_DISABLE_QUESTION), IDYES);
    Expect(remove, L"無効化完了", RcText(IDS_DISABLE_DONE));
    EXPECT_EQ(0u, remove.Wait(20000).value_or(1234));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.get(), 20000));
    EXPECT_FALSE(OpenNotifyService());
}

TEST_F(CommandLine, DeclinedInstallAndOtherArguments)
{
    auto& declined = Run(L"/Install");
    Expect(declined, L"有効化確認", RcText(IDS_ENABLE_QUESTION), IDNO);
    EXPECT_EQ(0u, declined.Wait(20000).value_or(1234));
    EXPECT_FALSE(OpenNotifyService());

    // Registered but not started now: nothing runs.
    auto& later = Run(L"/Install");
    Expect(later, L"有効化確認", RcText(IDS_ENABLE_QUESTION), IDYES);
    Expect(later, L"有効化完了", RcText(IDS_ENABLE_DONE));
    Expect(later, L"確認", RcText(IDS_START_NOW), IDNO);
    EXPECT_EQ(0u, later.Wait(20000).value_or(1234));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), ServiceState());

    EXPECT_EQ(0u, Run(L"").Wait(20000).value_or(1234));
    EXPECT_EQ(static_cast<DWORD>(-1), Run(L"/Frobnicate").Wait(20000).value_or(1234));
    // Started by hand, "/Service" finds no service manager waiting for it
    // and ends with the dispatcher's error rather than pretending success.
    EXPECT_NE(0u, Run(L"/Service").Wait(20000).value_or(0));
}

TEST_F(CommandLine, CancelledPasswordChangesNothing)
{
    WriteLock(GetPasswordHashW(L"secret"));
    for (const wchar_t* args : {L"/Install", L"/Setup"}) {
        auto& run = Run(args);
        HWND prompt = e2e::AwaitWindow(L"#32770", L"パスワードの入力", run.pid(), 20s);
        ASSERT_TRUE(prompt);
        PostMessageW(prompt, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0u, run.Wait(20000).value_or(1234)) << args;
        EXPECT_FALSE(e2e::FindWindows(L"#32770", kSettingsTitle, run.pid()).size());
    }
    EXPECT_FALSE(OpenNotifyService());

    // The right password goes on to the question.
    auto& run = Run(L"/Install");
    HWND prompt = e2e::AwaitWindow(L"#32770", L"パスワードの入力", run.pid(), 20s);
    ASSERT_TRUE(prompt);
    e2e::SetControlText(prompt, IDC_PASSWORD_EDIT, L"secret");
    PostMessageW(prompt, WM_COMMAND, IDOK, 0);
    Expect(run, L"有効化確認", RcText(IDS_ENABLE_QUESTION), IDNO);
    EXPECT_EQ(0u, run.Wait(20000).value_or(1234));
}

}  // namespace
