#include "guard_fixture.h"

#include "e2e.h"
#include "limiter_fixture.h"

namespace guard_test {

using namespace std::chrono_literals;

bool StartGuard(SessionGuard& guard)
{
    return guard.Start([] { return std::vector<uint32_t>{1}; },
                       e2e::BinDir() + L"\\" + hv::names::kLimiterFile);
}

HWND AwaitLimiter(DWORD old, std::chrono::milliseconds timeout)
{
    HWND tray = nullptr;
    e2e::Await(
        "a limiter in the session",
        [&] {
            for (HWND w : e2e::FindWindows(hv::names::kTrayClass, nullptr))
                if (limiter_test::ProcessOf(w) != old && limiter_test::LabelSeconds(w) > 0)
                    return (tray = w) != nullptr;
            return false;
        },
        timeout);
    return tray;
}

void KillBoth()
{
    auto kill = e2e::Start(L"C:\\windows\\system32\\taskkill.exe",
                           L"/f /im " + std::wstring(hv::names::kHelperFile) + L" /im " + hv::names::kLimiterFile);
    if (kill)
        kill.Wait(30000);
}

std::vector<uint8_t> RawExchange(const std::vector<uint8_t>& bytes)
{
    hv::UniqueHandle pipe;
    e2e::WaitUntil(
        [&] {
            pipe.reset(CreateFileW(hv::names::kServicePipe, GENERIC_READ | FILE_WRITE_DATA, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
            return static_cast<bool>(pipe);  // busy while the last connection ends
        },
        10s);
    if (!pipe)
        return {};
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr);
    DWORD n = 0;
    WriteFile(pipe.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    std::vector<uint8_t> reply(hv::pipe::kMaxMessageBytes);
    if (!ReadFile(pipe.get(), reply.data(), static_cast<DWORD>(reply.size()), &n, nullptr))
        return {};
    reply.resize(n);
    return reply;
}

uint16_t StatusOf(const std::vector<uint8_t>& reply)
{
    hv::pipe::Message m;
    return hv::pipe::DecodeAnswer(reply.data(), reply.size(), m) ? m.status : 0xFFFF;
}

}  // namespace guard_test
