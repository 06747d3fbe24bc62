#include "accounting.h"

#include <windows.h>

#include <utility>

#include "hvShared.h"
#include "raii.h"
#include "service_pipe.h"

namespace accounting {
namespace {

// The one value waiting to be sent, and the thread that sends it. The
// thread lives as long as the process; it holds nothing that must be
// released at exit.
SRWLOCK g_lock = SRWLOCK_INIT;
bool g_pending = false;
uint32_t g_value = 0;
HANDLE g_wake = nullptr;

// Without a service the reports pause for a minute: nobody would take them,
// and an idle limiter should not look for the pipe every few seconds. A
// service started meanwhile gets the first report after the pause.
constexpr ULONGLONG kNoServicePauseMs = 60000;
ULONGLONG g_pausedUntil = 0;  // the sender thread's own

hv::PipeCall Send(uint32_t value)
{
    hv::pipe::Message answer;
    return hv::CallService(static_cast<uint16_t>(hv::pipe::Kind::ReportTimer), hv::pipe::EncodeTimerValue(value),
                           answer);
}

DWORD WINAPI Sender(void*)
{
    for (;;) {
        WaitForSingleObject(g_wake, INFINITE);
        AcquireSRWLockExclusive(&g_lock);
        const bool pending = std::exchange(g_pending, false);
        const uint32_t value = g_value;
        ReleaseSRWLockExclusive(&g_lock);
        if (!pending || GetTickCount64() < g_pausedUntil)
            continue;
        if (Send(value) == hv::PipeCall::NoService)
            g_pausedUntil = GetTickCount64() + kNoServicePauseMs;
    }
}

bool StartSender()
{
    if (g_wake)
        return true;
    g_wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!g_wake)
        return false;
    hv::UniqueHandle thread(CreateThread(nullptr, 0, Sender, nullptr, 0, nullptr));
    if (thread)
        return true;
    CloseHandle(std::exchange(g_wake, nullptr));
    return false;
}

}  // namespace

bool AskResume(uint32_t& value)
{
    hv::pipe::Message answer;
    return hv::CallService(static_cast<uint16_t>(hv::pipe::Kind::ResumeTimer), {}, answer) == hv::PipeCall::Answered &&
           answer.status == static_cast<uint16_t>(hv::pipe::Status::Accepted) &&
           hv::pipe::DecodeTimerValue(answer.payload, value);
}

void Report(uint32_t value)
{
    if (!StartSender()) {
        Send(value);
        return;
    }
    AcquireSRWLockExclusive(&g_lock);
    g_pending = true;
    g_value = value;
    ReleaseSRWLockExclusive(&g_lock);
    SetEvent(g_wake);
}

void ReportNow(uint32_t value)
{
    // A report still waiting is older than this one.
    AcquireSRWLockExclusive(&g_lock);
    g_pending = false;
    ReleaseSRWLockExclusive(&g_lock);
    Send(value);
}

}  // namespace accounting
