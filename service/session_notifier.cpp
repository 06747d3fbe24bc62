// The session notifier: one cfwNotify.exe with "/Silent" in every session
// that has a logged-on user, started as that user with that user's
// environment and no inherited handles. The service neither waits for it nor
// reads its exit code.
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

class Launcher {
public:
    Launcher(const std::vector<uint32_t>& sessions, const std::wstring& path) : sessions_(sessions), path_(path) {}

    std::vector<uint32_t> Sessions() const { return sessions_; }
    hv::UniqueHandle UserToken(uint32_t session) const
    {
        hv::UniqueHandle token;
        if (!WTSQueryUserToken(session, token.put()))
            token.reset();
        return token;
    }
    UniqueEnvironment Environment(const hv::UniqueHandle& token) const
    {
        UniqueEnvironment environment;
        if (!CreateEnvironmentBlock(environment.put(), token.get(), TRUE))
            environment.release();
        return environment;
    }
    bool Launch(const hv::UniqueHandle& token, const UniqueEnvironment& environment) const
    {
        if (path_.empty())
            return false;
        // The bare full path as the program; a conventional command line
        // (quoted program name first) so that the notifier's own argument
        // list reads as any program's does.
        std::wstring commandLine = L"\"" + path_ + L"\" /Silent";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessAsUserW(token.get(), path_.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                  CREATE_UNICODE_ENVIRONMENT, environment.get(), nullptr, &startup, &process))
            return false;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }

private:
    std::vector<uint32_t> sessions_;
    std::wstring path_;
};

}  // namespace

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
