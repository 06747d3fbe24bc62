#include "service_fixture.h"

namespace service_test {

std::wstring BinPath(const wchar_t* file)
{
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW((e2e::BinDir() + L"\\" + file).c_str(), MAX_PATH, full, nullptr);
    return full;
}

hv::UniqueService OpenNotifyService()
{
    hv::UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return hv::UniqueService();
    return hv::UniqueService(OpenServiceW(manager.get(), hv::names::kServiceName, SERVICE_ALL_ACCESS));
}

DWORD ServiceState()
{
    auto service = OpenNotifyService();
    SERVICE_STATUS s{};
    return service && QueryServiceStatus(service.get(), &s) ? s.dwCurrentState : 0;
}

DWORD ServiceProcessId()
{
    auto service = OpenNotifyService();
    SERVICE_STATUS_PROCESS s{};
    DWORD size = 0;
    if (!service || !QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&s),
                                          sizeof s, &size))
        return 0;
    return s.dwProcessId;
}

void WriteLock(uint32_t hash)
{
    OptionData options{TIMEOUT_LOGOFF, 0, hash};
    ASSERT_GT(WriteOptionDataW(&options), 0);
}

void ServiceTest::SetUp()
{
    WriteLock(PASSWORD_LOCK_OFF);
}

void ServiceTest::TearDown()
{
    for (auto& p : runs_)
        if (p.Running())
            p.Kill();
    if (auto service = OpenNotifyService()) {
        SERVICE_STATUS s{};
        ControlService(service.get(), SERVICE_CONTROL_STOP, &s);
        e2e::WaitUntil([] { return ServiceState() == SERVICE_STOPPED; }, 10s);
        DeleteService(service.get());
    }
    e2e::KillAll(hv::names::kServiceFile);
    e2e::KillAll(hv::names::kNotifierFile);
}

e2e::Process& ServiceTest::Run(const std::wstring& args)
{
    runs_.push_back(e2e::Start(hv::names::kServiceFile, args));
    EXPECT_TRUE(runs_.back()) << "cfwNotifySvc.exe " << std::string(args.begin(), args.end());
    return runs_.back();
}

void ServiceTest::Expect(e2e::Process& p, const wchar_t* caption, const std::wstring& text, int button)
{
    auto box = e2e::AwaitMessageBox(p.pid(), caption, 20s);
    ASSERT_TRUE(box);
    EXPECT_EQ(text, box->text);
    EXPECT_TRUE(e2e::Answer(*box, button));
}

}  // namespace service_test
