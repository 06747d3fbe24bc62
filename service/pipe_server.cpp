// The service's pipe: one instance, so no other process can serve the same
// name while the service holds it, and one connection at a time, each within
// its time limit. The session's users may connect and talk, nothing more (no
// new instances, no change of the pipe's security).
#include "service.h"

#include <sddl.h>

namespace {

// Owner and full control: the local system account and Administrators;
// interactive users: read, write, their own end's attributes, synchronise
// (0x12019B would add FILE_CREATE_PIPE_INSTANCE, which they must not have).
constexpr wchar_t kPipeSecurity[] = L"O:SYG:SYD:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x120183;;;IU)";

// Waits for an overlapped operation up to `deadline` (tick count); false on
// time-out (the operation is cancelled) or failure.
bool Finish(HANDLE pipe, OVERLAPPED& ov, BOOL started, HANDLE stop, ULONGLONG deadline, DWORD* bytes)
{
    if (!started && GetLastError() != ERROR_IO_PENDING)
        return false;
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    HANDLE waits[] = {ov.hEvent, stop};
    if (WaitForMultipleObjects(2, waits, FALSE, left) != WAIT_OBJECT_0) {
        CancelIo(pipe);
        GetOverlappedResult(pipe, &ov, bytes, TRUE);
        return false;
    }
    return GetOverlappedResult(pipe, &ov, bytes, FALSE) != FALSE;
}

bool TokenHoldsAdministrators(HANDLE token)
{
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize))
        return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    if (size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, TokenGroups, buffer.data(), size, &size))
        return false;
    // A filtered administrator's token (not elevated) holds the group for
    // denial only; it still counts, as the account's membership does.
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        if (EqualSid(groups->Groups[i].Sid, sid))
            return true;
    return false;
}

// After the first read, as impersonation needs.
PipeClient IdentifyClient(HANDLE pipe)
{
    PipeClient client;
    ULONG pid = 0;
    if (GetNamedPipeClientProcessId(pipe, &pid)) {
        client.processId = pid;
        DWORD session = 0;
        if (ProcessIdToSessionId(pid, &session))
            client.session = session;
    }
    if (ImpersonateNamedPipeClient(pipe)) {
        hv::UniqueHandle token;
        if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) {
            client.administrator = TokenHoldsAdministrators(token.get());
            client.account = AccountOfToken(token.get());
        } else
            token.release();
        RevertToSelf();
    }
    return client;
}

}  // namespace

std::wstring AccountOfToken(HANDLE token)
{
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0)
        return {};
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        return {};
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameSize = 256, domainSize = 256;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, name, &nameSize, domain,
                           &domainSize, &use))
        return {};
    return name;
}

bool PipeServer::Start(PipeDispatch dispatch)
{
    dispatch_ = std::move(dispatch);
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_)
        return false;
    thread_.reset(CreateThread(nullptr, 0, &PipeServer::Run, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

void PipeServer::Stop()
{
    if (!thread_)
        return;
    SetEvent(stop_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

DWORD WINAPI PipeServer::Run(void* self)
{
    hv::Guarded([&] { static_cast<PipeServer*>(self)->Serve(); });
    return 0;
}

void PipeServer::Serve()
{
    hv::UniqueLocal descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kPipeSecurity, SDDL_REVISION_1, descriptor.put(),
                                                              nullptr))
        return;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    hv::UniqueHandle ioEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ioEvent)
        return;
    // Taken again when someone else held the name (only an administrator or
    // a second copy of the service can).
    for (;;) {
        hv::UniqueHandle pipe(CreateNamedPipeW(
            hv::names::kServicePipe, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
            hv::pipe::kMaxMessageBytes, hv::pipe::kMaxMessageBytes, 0, &attributes));
        if (!pipe) {
            if (WaitForSingleObject(stop_.get(), 5000) != WAIT_TIMEOUT)
                return;
            continue;
        }
        for (;;) {
            OVERLAPPED ov{};
            ov.hEvent = ioEvent.get();
            ResetEvent(ioEvent.get());
            const BOOL connected = ConnectNamedPipe(pipe.get(), &ov);
            bool ready = GetLastError() == ERROR_PIPE_CONNECTED;
            if (!ready && (connected || GetLastError() == ERROR_IO_PENDING)) {
                HANDLE waits[] = {ioEvent.get(), stop_.get()};
                if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
                    CancelIo(pipe.get());
                    return;
                }
                DWORD unused = 0;
                ready = GetOverlappedResult(pipe.get(), &ov, &unused, FALSE) != FALSE;
            }
            if (ready)
                Connection(pipe.get(), ioEvent.get());
            DisconnectNamedPipe(pipe.get());
            if (WaitForSingleObject(stop_.get(), 0) != WAIT_TIMEOUT)
                return;
        }
    }
}

void PipeServer::Connection(HANDLE pipe, HANDLE ioEvent)
{
    const ULONGLONG deadline = GetTickCount64() + hv::pipe::kConnectionTimeoutMs;
    std::vector<uint8_t> buffer(hv::pipe::kMaxMessageBytes);
    OVERLAPPED ov{};
    ov.hEvent = ioEvent;
    ResetEvent(ioEvent);
    DWORD got = 0;
    BOOL started = ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &ov);
    const bool read = Finish(pipe, ov, started, stop_.get(), deadline, &got);
    // A message longer than the limit is one the server does not read.
    const bool tooLong = !read && GetLastError() == ERROR_MORE_DATA;
    if (!read && !tooLong)
        return;

    std::vector<uint8_t> answer;
    hv::pipe::Message request;
    if (read && hv::pipe::DecodeRequest(buffer.data(), got, request))
        answer = dispatch_(request, IdentifyClient(pipe));
    else
        answer = hv::pipe::EncodeAnswer(0, hv::pipe::Status::Malformed);
    SecureZeroMemory(buffer.data(), buffer.size());
    SecureZeroMemory(request.payload.data(), request.payload.size());

    ov = OVERLAPPED{};
    ov.hEvent = ioEvent;
    ResetEvent(ioEvent);
    DWORD written = 0;
    started = WriteFile(pipe, answer.data(), static_cast<DWORD>(answer.size()), nullptr, &ov);
    if (!Finish(pipe, ov, started, stop_.get(), deadline, &written))
        return;
    // The client closes its end once it has read the answer; a disconnect
    // before that would throw the answer away.
    ov = OVERLAPPED{};
    ov.hEvent = ioEvent;
    ResetEvent(ioEvent);
    uint8_t more[hv::pipe::kHeaderBytes];
    while (Finish(pipe, ov, ReadFile(pipe, more, sizeof more, nullptr, &ov), stop_.get(), deadline, &got)) {
        ov = OVERLAPPED{};
        ov.hEvent = ioEvent;
        ResetEvent(ioEvent);
    }
}
