#include "accounting.h"

#include <utility>

#include "hvShared.h"
#include "raii.h"
#include "service_pipe.h"

namespace accounting {
namespace {

// What waits to be sent, and the thread that sends it. The thread lives as
// long as the process; it holds nothing that must be released at exit.
struct Outbox {
    HWND tray = nullptr;
    bool report = false;  // the latest value not yet sent
    uint32_t value = 0;
    int64_t granted = 0;
    bool resume = false;  // a resume the service did not answer yet
    int64_t resumeGranted = 0;
};
SRWLOCK g_lock = SRWLOCK_INIT;
Outbox g_outbox;
HANDLE g_wake = nullptr;

// Without a service the reports pause for a minute: nobody would take them,
// and an idle limiter should not look for the pipe every few seconds. A
// service started meanwhile gets the first report after the pause.
constexpr ULONGLONG kNoServicePauseMs = 60000;
ULONGLONG g_pausedUntil = 0;  // the sender thread's own

hv::PipeCall Call(hv::pipe::Kind kind, const std::vector<uint8_t>& payload, uint32_t& kept, uint16_t& status)
{
    hv::pipe::Message answer;
    const hv::PipeCall call = hv::CallService(static_cast<uint16_t>(kind), payload, answer);
    status = answer.status;
    if (call == hv::PipeCall::Answered && !hv::pipe::DecodeTimerValue(answer.payload, kept))
        status = static_cast<uint16_t>(hv::pipe::Status::Refused);  // nothing to go by
    return call;
}

// A resume asked again; true when it is settled (answered, or no service).
bool SendResume(HWND tray, int64_t granted)
{
    uint32_t kept = 0;
    uint16_t status = 0;
    const hv::PipeCall call = Call(hv::pipe::Kind::ResumeTimer, {}, kept, status);
    if (call == hv::PipeCall::Answered && status == static_cast<uint16_t>(hv::pipe::Status::Accepted))
        PostMessageW(tray, WM_SERVICE_VALUE, kept, static_cast<LPARAM>(granted));
    return call != hv::PipeCall::Failed;
}

void SendReport(HWND tray, uint32_t value, int64_t granted)
{
    uint32_t kept = 0;
    uint16_t status = 0;
    const hv::PipeCall call = Call(hv::pipe::Kind::ReportTimer, hv::pipe::EncodeTimerValue(value), kept, status);
    if (call == hv::PipeCall::NoService)
        g_pausedUntil = GetTickCount64() + kNoServicePauseMs;
    else if (call == hv::PipeCall::Answered && status == static_cast<uint16_t>(hv::pipe::Status::Refused) &&
             (kept & 0xFFFF) < (value & 0xFFFF))
        PostMessageW(tray, WM_SERVICE_VALUE, kept, static_cast<LPARAM>(granted));
}

DWORD WINAPI Sender(void*)
{
    for (;;) {
        WaitForSingleObject(g_wake, INFINITE);
        AcquireSRWLockExclusive(&g_lock);
        const Outbox out = g_outbox;
        g_outbox.report = false;
        ReleaseSRWLockExclusive(&g_lock);
        if (out.resume && SendResume(out.tray, out.resumeGranted)) {
            AcquireSRWLockExclusive(&g_lock);
            g_outbox.resume = false;
            ReleaseSRWLockExclusive(&g_lock);
        }
        if (out.report && GetTickCount64() >= g_pausedUntil)
            SendReport(out.tray, out.value, out.granted);
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

Resume AskResume(uint32_t& value)
{
    uint16_t status = 0;
    switch (Call(hv::pipe::Kind::ResumeTimer, {}, value, status)) {
    case hv::PipeCall::Answered:
        return status == static_cast<uint16_t>(hv::pipe::Status::Accepted) ? Resume::Held : Resume::Nothing;
    case hv::PipeCall::Failed:
        return Resume::NoAnswer;
    case hv::PipeCall::NoService:
    default:
        return Resume::Nothing;
    }
}

void ResumeLater(HWND tray, int64_t granted)
{
    if (!StartSender())
        return;
    AcquireSRWLockExclusive(&g_lock);
    g_outbox.tray = tray;
    g_outbox.resume = true;
    g_outbox.resumeGranted = granted;
    ReleaseSRWLockExclusive(&g_lock);
    SetEvent(g_wake);
}

void Report(HWND tray, uint32_t value, int64_t granted)
{
    if (!StartSender()) {
        SendReport(tray, value, granted);
        return;
    }
    AcquireSRWLockExclusive(&g_lock);
    g_outbox.tray = tray;
    g_outbox.report = true;
    g_outbox.value = value;
    g_outbox.granted = granted;
    ReleaseSRWLockExclusive(&g_lock);
    SetEvent(g_wake);
}

void ReportNow(uint32_t value)
{
    // A report still waiting is older than this one.
    AcquireSRWLockExclusive(&g_lock);
    g_outbox.report = false;
    ReleaseSRWLockExclusive(&g_lock);
    uint32_t kept = 0;
    uint16_t status = 0;
    Call(hv::pipe::Kind::ReportTimer, hv::pipe::EncodeTimerValue(value), kept, status);
}

}  // namespace accounting
