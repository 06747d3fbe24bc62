// A client's end of the service's pipe: connect, send one request, read its
// answer, close. Only a pipe the local system account owns is talked to, so
// that a program of the user's serving the same name while the service is
// away never receives what is sent (a password, say).
#include "hvShared.h"

#include <aclapi.h>

#include "names.h"
#include "raii.h"

namespace hv {
namespace {

bool OwnedBySystem(HANDLE pipe)
{
    PSID owner = nullptr;
    UniqueLocal descriptor;
    if (GetSecurityInfo(pipe, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        descriptor.put()) != ERROR_SUCCESS || !owner)
        return false;
    BYTE system[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof system;
    return CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &size) && EqualSid(owner, system);
}

// What the pipe's security grants the session's users, no more: a request
// for generic write would also ask for the right to create instances.
constexpr DWORD kClientAccess = FILE_READ_DATA | FILE_WRITE_DATA | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES |
                                READ_CONTROL | SYNCHRONIZE;

}  // namespace

PipeCall CallService(uint16_t kind, const std::vector<uint8_t>& payload, pipe::Message& answer)
{
    const std::vector<uint8_t> request = pipe::EncodeRequest(kind, payload);
    if (request.empty())
        return PipeCall::Failed;
    const ULONGLONG deadline = GetTickCount64() + pipe::kClientTimeoutMs;
    UniqueHandle pipe;
    for (;;) {
        pipe.reset(CreateFileW(names::kServicePipe, kClientAccess, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (pipe)
            break;
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return PipeCall::NoService;
        const ULONGLONG now = GetTickCount64();
        if (error != ERROR_PIPE_BUSY || now >= deadline)
            return PipeCall::Failed;
        WaitNamedPipeW(names::kServicePipe, static_cast<DWORD>(deadline - now));
    }
    if (!OwnedBySystem(pipe.get()))
        return PipeCall::Failed;
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    // One message each way: TransactNamedPipe writes and reads in one call;
    // the server gives the whole connection its own time limit.
    std::vector<uint8_t> reply(pipe::kMaxMessageBytes);
    DWORD got = 0;
    const BOOL done = TransactNamedPipe(pipe.get(), const_cast<uint8_t*>(request.data()),
                                        static_cast<DWORD>(request.size()), reply.data(),
                                        static_cast<DWORD>(reply.size()), &got, nullptr);
    if (!done || !pipe::DecodeAnswer(reply.data(), got, answer))
        return PipeCall::Failed;
    return PipeCall::Answered;
}

}  // namespace hv
