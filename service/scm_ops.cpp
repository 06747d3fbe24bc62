// The service-control operations: each opens the manager and the service
// with only the rights it needs and closes both before it returns.
#include "service.h"

#include "resource.h"

namespace {

constexpr DWORD kWaitAfterStopMs = 1000;
constexpr ULONGLONG kRestartBoundMs = 10000;

hv::UniqueService OpenManager(DWORD access)
{
    return hv::UniqueService(OpenSCManagerW(nullptr, nullptr, access));
}

hv::UniqueService OpenService(const hv::UniqueService& manager, DWORD access)
{
    if (!manager)
        return hv::UniqueService();
    return hv::UniqueService(OpenServiceW(manager.get(), hv::names::kServiceName, access));
}

// The stop control when the service is readable and not stopped, then a
// second for it to get there; true when the control was accepted.
bool SendStop(SC_HANDLE service)
{
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED)
        return false;
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status))
        return false;
    Sleep(kWaitAfterStopMs);
    return true;
}

}  // namespace

namespace scm {

std::wstring BinaryPathFor(const std::wstring& programPath)
{
    return L"\"" + programPath + L"\" /Service";
}

bool IsRegistered()
{
    auto manager = OpenManager(SC_MANAGER_ENUMERATE_SERVICE);
    return static_cast<bool>(OpenService(manager, SERVICE_QUERY_STATUS));
}

uint32_t CurrentState()
{
    auto manager = OpenManager(SC_MANAGER_ENUMERATE_SERVICE);
    auto service = OpenService(manager, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!service || !QueryServiceStatus(service.get(), &status))
        return svc::kStateUnknown;
    return status.dwCurrentState;
}

bool StartAllowed()
{
    auto manager = OpenManager(SC_MANAGER_ENUMERATE_SERVICE);
    auto service = OpenService(manager, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS);
    if (!service)
        return false;
    DWORD needed = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    if (needed == 0)
        return false;
    std::vector<BYTE> block(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(block.data());
    if (!QueryServiceConfigW(service.get(), config, needed, &needed))
        return false;
    return config->dwStartType != SERVICE_DISABLED;
}

bool Register()
{
    const std::wstring& program = hv::ProgramPath();
    if (program.empty())
        return false;
    auto manager = OpenManager(SC_MANAGER_CREATE_SERVICE);
    if (!manager)
        return false;
    const std::wstring binary = BinaryPathFor(program);
    const std::wstring display = hv::LoadText(IDS_PRODUCT);
    hv::UniqueService service(CreateServiceW(manager.get(), hv::names::kServiceName, display.c_str(),
                                             SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                             SERVICE_ERROR_NORMAL, binary.c_str(), nullptr, nullptr, nullptr,
                                             nullptr, nullptr));
    if (!service)
        return false;
    std::wstring text = hv::LoadText(IDS_DESCRIPTION);
    SERVICE_DESCRIPTIONW description{text.data()};
    ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &description);  // a missing one is harmless
    return true;
}

bool Remove()
{
    auto manager = OpenManager(SC_MANAGER_CREATE_SERVICE);
    auto service = OpenService(manager, SERVICE_ALL_ACCESS);
    if (!service)
        return false;
    SendStop(service.get());
    return DeleteService(service.get()) != FALSE;
}

bool Start()
{
    const std::wstring& program = hv::ProgramPath();
    auto manager = OpenManager(SC_MANAGER_ENUMERATE_SERVICE);
    auto service = OpenService(manager, SERVICE_START);
    if (!service)
        return false;
    const wchar_t* arguments[] = {program.c_str(), L"/Service"};
    return StartServiceW(service.get(), 2, arguments) != FALSE;
}

bool Stop()
{
    auto manager = OpenManager(SC_MANAGER_CREATE_SERVICE);
    auto service = OpenService(manager, SERVICE_ALL_ACCESS);
    return service && SendStop(service.get());
}

bool Restart()
{
    Stop();
    // A refused stop or a removed service never reaches "stopped": the wait
    // has an end, and the start follows only a real stop.
    const ULONGLONG until = GetTickCount64() + kRestartBoundMs;
    while (CurrentState() != svc::kStopped) {
        if (GetTickCount64() >= until)
            return false;
        Sleep(50);
    }
    return Start();
}

}  // namespace scm
