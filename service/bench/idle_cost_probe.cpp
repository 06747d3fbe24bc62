// The idle-cost benchmark's Windows half (idle_cost.sh): registers the
// service once from the polling build and once from the event build, starts
// it, prints "probe: <build> measure" with the service's program name while
// the Linux side measures (markers to the file given second), then stops and removes it.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "names.h"
#include "raii.h"

namespace {

// The markers go to a file the Linux side reads while the probe runs (its
// standard output reaches it only at the end).
FILE* g_markers = stdout;

void Mark(const char* label, const char* what, unsigned long code = 0)
{
    if (code)
        fprintf(g_markers, "probe: %s %s (%lu)\n", label, what, code);
    else
        fprintf(g_markers, "probe: %s %s\n", label, what);
    fflush(g_markers);
}

DWORD State(SC_HANDLE service)
{
    SERVICE_STATUS s{};
    return QueryServiceStatus(service, &s) ? s.dwCurrentState : 0;
}

bool AwaitState(SC_HANDLE service, DWORD state)
{
    for (ULONGLONG until = GetTickCount64() + 30000; GetTickCount64() < until; Sleep(100))
        if (State(service) == state)
            return true;
    return false;
}

bool Measure(const char* label, const std::wstring& program, int seconds)
{
    hv::UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    const std::wstring binary = L"\"" + program + L"\" /Service";
    hv::UniqueService service(CreateServiceW(manager.get(), hv::names::kServiceName, hv::names::kServiceName,
                                             SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                             SERVICE_ERROR_NORMAL, binary.c_str(), nullptr, nullptr, nullptr,
                                             nullptr, nullptr));
    if (!service || !StartServiceW(service.get(), 0, nullptr) || !AwaitState(service.get(), SERVICE_RUNNING)) {
        Mark(label, "could not be started", GetLastError());
        if (service)
            DeleteService(service.get());
        return false;
    }
    Sleep(2000);  // past its start
    Mark(label, "measure");
    Sleep(static_cast<DWORD>(seconds) * 1000 + 3000);  // the Linux side measures meanwhile
    SERVICE_STATUS s{};
    ControlService(service.get(), SERVICE_CONTROL_STOP, &s);
    const bool stopped = AwaitState(service.get(), SERVICE_STOPPED);
    DeleteService(service.get());
    Mark(label, stopped ? "stopped" : "did not stop");
    return stopped;
}

std::wstring Folder()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 60;
    if (argc > 2)
        if (FILE* f = _wfopen(argv[2], L"a"))
            g_markers = f;
    const std::wstring here = Folder();
    // The polling build runs beside the DLLs it needs, for the run only.
    const std::wstring bin = here + L"..\\bin\\";
    const std::wstring pollingCopy = bin + L"cfwNotifySvcPolling.exe";
    CopyFileW((here + L"cfwNotifySvcPolling.exe").c_str(), pollingCopy.c_str(), FALSE);
    const bool polling = Measure("polling", pollingCopy, seconds);
    Sleep(1000);
    DeleteFileW(pollingCopy.c_str());
    const bool event = Measure("event", bin + hv::names::kServiceFile, seconds);
    return polling && event ? 0 : 1;
}
