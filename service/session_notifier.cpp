// Programs started as the user of a session (the guardian's limiters), and
// the session notifier: one cfwNotify.exe with "/Silent" in every session
// that has a logged-on user, started as that user with that user's
// environment and no inherited handles. The service neither waits for the
// notifier nor reads its exit code.
#include "service.h"

#include <userenv.h>
#include <wtsapi32.h>

namespace {

struct EnvironmentTraits {
    using Handle = void*;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyEnvironmentBlock(h); }
};
using UniqueEnvironment = hv::Unique<EnvironmentTraits>;

// The bare full path as the program; a conventional command line (quoted
// program name first) so that the program's own argument list reads as any
// program's does. Only the process handle is kept.
hv::UniqueHandle CreateAsUser(HANDLE token, void* environment, const std::wstring& path,
                              const std::wstring& arguments, const wchar_t* desktop)
{
    if (path.empty())
        return {};
    std::wstring commandLine = L"\"" + path + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    std::wstring desktopName = desktop ? desktop : L"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop ? desktopName.data() : nullptr;
    PROCESS_INFORMATION process{};
    if (!CreateProcessAsUserW(token, path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                              CREATE_UNICODE_ENVIRONMENT, environment, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    return hv::UniqueHandle(process.hProcess);
}

UniqueEnvironment EnvironmentOf(HANDLE token)
{
    UniqueEnvironment environment;
    if (!CreateEnvironmentBlock(environment.put(), token, TRUE))
        environment.release();
    return environment;
}

class Launcher {
public:
    Launcher(const std::vector<uint32_t>& sessions, const std::wstring& path) : sessions_(sessions), path_(path) {}

    std::vector<uint32_t> Sessions() const { return sessions_; }
    hv::UniqueHandle UserToken(uint32_t session) const { return SessionUserToken(session); }
    UniqueEnvironment Environment(const hv::UniqueHandle& token) const { return EnvironmentOf(token.get()); }
    bool Launch(const hv::UniqueHandle& token, const UniqueEnvironment& environment) const
    {
        return static_cast<bool>(CreateAsUser(token.get(), environment.get(), path_, L"/Silent", nullptr));
    }

private:
    std::vector<uint32_t> sessions_;
    std::wstring path_;
};

}  // namespace

hv::UniqueHandle SessionUserToken(uint32_t session)
{
    hv::UniqueHandle token;
    if (!WTSQueryUserToken(session, token.put()))
        token.reset();
    return token;
}

hv::UniqueHandle StartAsSessionUser(HANDLE token, const std::wstring& path, const std::wstring& arguments)
{
    UniqueEnvironment environment = EnvironmentOf(token);
    if (!environment)
        return {};
    return CreateAsUser(token, environment.get(), path, arguments, L"winsta0\\default");
}

std::vector<uint32_t> LoggedOnSessions()
{
    std::vector<uint32_t> ids;
    WTS_SESSION_INFOW* list = nullptr;
    DWORD count = 0;
    if (!WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &list, &count))
        return ids;
    for (DWORD i = 0; i < count; ++i)
        ids.push_back(list[i].SessionId);
    WTSFreeMemory(list);
    return ids;
}

uint32_t NotifySessions(const std::vector<uint32_t>& sessions, const std::wstring& notifierPath)
{
    Launcher launcher(sessions, notifierPath);
    return svc::StartNotifiers(launcher);
}
