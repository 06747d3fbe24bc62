// cfwNotify.exe: started by the notification service in a user's session,
// it tells the limiter of this session to take the new settings. With
// "/Silent" it shows nothing; its exit code says what happened (0 delivered,
// 1 no limiter here, 2 the limiter did not answer in time).
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "hvShared.h"
#include "names.h"
#include "resource.h"
#include "service_logic.h"

namespace {

constexpr UINT kAnswerMs = 5000;

struct Search {
    DWORD session;
    HWND found;
};

// The limiter's tray window of this session: its class, owned by a process
// of the same session.
BOOL CALLBACK FindTray(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t name[64] = {};
    if (!GetClassNameW(window, name, 64) || lstrcmpW(name, hv::names::kTrayClass) != 0)
        return TRUE;
    DWORD pid = 0, session = 0;
    GetWindowThreadProcessId(window, &pid);
    if (!ProcessIdToSessionId(pid, &session) || session != search->session)
        return TRUE;
    search->found = window;
    return FALSE;
}

svc::Delivery Notify()
{
    Search search{0, nullptr};
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &search.session))
        return svc::Delivery::NoLimiter;
    EnumWindows(FindTray, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return svc::Delivery::NoLimiter;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(search.found, hv::names::kApplySettingsMessage, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kAnswerMs, &result))
        return svc::Delivery::NoAnswer;
    return svc::Delivery::Delivered;
}

std::vector<std::wstring> Arguments()
{
    std::vector<std::wstring> list;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 0; argv && i < argc; ++i)
        list.push_back(argv[i]);
    LocalFree(argv);
    return list;
}

unsigned TextFor(svc::Delivery delivery)
{
    switch (delivery) {
    case svc::Delivery::Delivered:
        return IDS_DELIVERED;
    case svc::Delivery::NoLimiter:
        return IDS_NO_LIMITER;
    default:
        return IDS_NO_ANSWER;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return hv::GuardedOr(
        [] {
            const svc::Delivery delivery = Notify();
            if (!svc::HasSilentSwitch(Arguments()))
                MessageBoxW(nullptr, hv::LoadText(TextFor(delivery)).c_str(), hv::LoadText(IDS_CAPTION).c_str(),
                            MB_OK | (delivery == svc::Delivery::Delivered ? MB_ICONINFORMATION : MB_ICONWARNING));
            return svc::NotifierExitCode(delivery);
        },
        [] { return svc::NotifierExitCode(svc::Delivery::NoAnswer); });
}
