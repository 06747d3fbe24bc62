// The timer mode's state held by the service: the user's own hive edited and
// the limiter killed with its helper, with the service and without it.
#include <windows.h>

#include <sddl.h>
#include <time.h>

#include <gtest/gtest.h>

#include "accounting_logic.h"
#include "e2e.h"
#include "guard_fixture.h"
#include "limiter_fixture.h"
#include "service.h"

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kAccountingKey[] = CFW_REG_ROOT_W L"\\Accounting";

// The service's copy for this account, or none.
bool ServiceCopy(svc::TimerCopy& copy)
{
    BYTE data[64];
    DWORD size = sizeof data;
    return RegGetValueW(HKEY_LOCAL_MACHINE, kAccountingKey, limiter_test::UserName().c_str(), RRF_RT_REG_BINARY,
                        nullptr, data, &size) == ERROR_SUCCESS &&
           svc::DecodeCopy(data, size, copy);
}

// The access list of the copies' key, as a string.
std::wstring AccountingAccess()
{
    hv::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAccountingKey, 0, READ_CONTROL, key.put()) != ERROR_SUCCESS)
        return L"(no key)";
    BYTE buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, buffer, &size) != ERROR_SUCCESS)
        return L"(unreadable)";
    hv::UniqueLocal text;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(buffer, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                              reinterpret_cast<LPWSTR*>(text.put()), nullptr))
        return L"(not convertible)";
    return static_cast<const wchar_t*>(text.get());
}

// What the child does to their own hive: the logon date deleted and the
// remainder raised to a whole day.
void EditOwnState()
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, CFW_REG_ROOT_W, L"LastLoginDate");
    const DWORD full = 7200;
    RegSetKeyValueW(HKEY_CURRENT_USER, CFW_REG_ROOT_W, L"LimitModeRemain", REG_DWORD, &full, sizeof full);
}

hv::pipe::Message Call(hv::pipe::Kind kind, const std::vector<uint8_t>& payload)
{
    hv::pipe::Message answer;
    EXPECT_EQ(hv::PipeCall::Answered, hv::CallService(static_cast<uint16_t>(kind), payload, answer));
    return answer;
}

uint32_t ValueOf(const hv::pipe::Message& answer)
{
    uint32_t value = 0xDEADBEEF;
    hv::pipe::DecodeTimerValue(answer.payload, value);
    return value;
}

class Accounting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e2e::SetFakeClock("2026-01-05 09:00:00"));
        limiter_test::RegisterCurrentUser(limiter_test::TimerAllowance(120));
        limiter_test::SetOptions(TIMEOUT_LOGOFF);
    }
    void TearDown() override
    {
        guard_.Stop();
        for (int round = 0; round < 2; ++round) {
            e2e::KillAll(hv::names::kHelperFile);
            e2e::KillAll(hv::names::kLimiterFile);
        }
    }
    SessionGuard guard_;
};

TEST_F(Accounting, AnEditedHiveAndAKillGainNothingWhileTheServiceRuns)
{
    ASSERT_TRUE(guard_test::StartGuard(guard_));
    HWND tray = guard_test::AwaitLimiter(0);
    ASSERT_TRUE(tray);
    EXPECT_GE(limiter_test::LabelSeconds(tray), 7190);
    // The limiter reports what it stores; the service's copy follows it down.
    svc::TimerCopy copy;
    ASSERT_TRUE(e2e::WaitUntil([&] { return ServiceCopy(copy) && (copy.value & 0xFFFF) < 7195; }, 20s));
    // Only the local system account and administrators may open it.
    EXPECT_EQ(L"D:PAI(A;OICI;KA;;;SY)(A;OICI;KA;;;BA)", AccountingAccess());

    Sleep(6000);  // one more report
    const int before = limiter_test::LabelSeconds(tray);
    EditOwnState();
    guard_test::KillBoth();
    tray = guard_test::AwaitLimiter(limiter_test::ProcessOf(tray));
    ASSERT_TRUE(tray);
    const int after = limiter_test::LabelSeconds(tray);
    EXPECT_LE(after, before + 1) << "resumed the service's copy, not a fresh allowance";
    EXPECT_GT(after, before - 60);

    // A report of more time, from any program of the session, is refused and
    // changes nothing; the answer says what the service keeps.
    ASSERT_TRUE(ServiceCopy(copy));
    const hv::pipe::Message forged = Call(hv::pipe::Kind::ReportTimer, hv::pipe::EncodeTimerValue(7200));
    EXPECT_EQ(static_cast<uint16_t>(hv::pipe::Status::Refused), forged.status);
    EXPECT_LE(ValueOf(forged) & 0xFFFF, copy.value & 0xFFFF);
    svc::TimerCopy unchanged;
    ASSERT_TRUE(ServiceCopy(unchanged));
    EXPECT_LE(unchanged.value & 0xFFFF, copy.value & 0xFFFF);
    // A resume asked for by hand gets no more than the copy either.
    const hv::pipe::Message resume = Call(hv::pipe::Kind::ResumeTimer, {});
    EXPECT_EQ(static_cast<uint16_t>(hv::pipe::Status::Accepted), resume.status);
    EXPECT_LE(ValueOf(resume) & 0xFFFF, copy.value & 0xFFFF);
    // A malformed report is answered as such.
    EXPECT_EQ(static_cast<uint16_t>(hv::pipe::Status::Malformed),
              guard_test::StatusOf(guard_test::RawExchange(
                  hv::pipe::EncodeRequest(static_cast<uint16_t>(hv::pipe::Kind::ReportTimer), {1, 2}))));
}

// A limiter that began counting without the service (started before it, or
// kept from it) learns from its next report's answer that the service keeps
// less for today, and counts on from there.
TEST_F(Accounting, AServiceThatKeepsLessLowersARunningCount)
{
    auto limiter = e2e::Start(hv::names::kLimiterFile);
    HWND tray = guard_test::AwaitLimiter(0);
    ASSERT_TRUE(tray);
    EXPECT_GE(limiter_test::LabelSeconds(tray), 7190);
    const svc::Period today = svc::PeriodOf(limiter_test::TimerAllowance(120), static_cast<int64_t>(time(nullptr)));
    ASSERT_TRUE(WriteTimerCopy(limiter_test::UserName(), svc::TimerCopy{today.halfDay, 3000, today.now}));
    ASSERT_TRUE(guard_test::StartGuard(guard_));
    // Its reports paused for a minute after finding no service.
    EXPECT_TRUE(e2e::WaitUntil([&] { return limiter_test::LabelSeconds(tray) <= 3000; }, 90s))
        << limiter_test::LabelSeconds(tray);
    EXPECT_GT(limiter_test::LabelSeconds(tray), 2900);
}

TEST_F(Accounting, WithoutTheServiceTheUsersOwnRecordDecides)
{
    auto first = e2e::Start(hv::names::kLimiterFile);
    HWND tray = guard_test::AwaitLimiter(0);
    ASSERT_TRUE(tray);
    Sleep(6000);  // a few stores of the running state
    const int before = limiter_test::LabelSeconds(tray);
    ASSERT_LT(before, 7195);
    EditOwnState();
    guard_test::KillBoth();
    // Started again, by a helper the dying limiter had just started or by
    // hand (as at the next logon), it grants the day afresh, as a record
    // without a date says.
    e2e::Process second;
    if (!e2e::WaitUntil([] { return limiter_test::TrayWindow() != nullptr; }, 3s))
        second = e2e::Start(hv::names::kLimiterFile);
    tray = guard_test::AwaitLimiter(first.pid());
    ASSERT_TRUE(tray);
    EXPECT_GE(limiter_test::LabelSeconds(tray), 7190);
    svc::TimerCopy copy;
    EXPECT_FALSE(ServiceCopy(copy));
}

}  // namespace
