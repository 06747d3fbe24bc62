#include "limiter_fixture.h"

#include <time.h>
#include <string.h>
#include <wchar.h>

#include "raii.h"

namespace limiter_test {

using namespace std::chrono_literals;

std::wstring UserName()
{
    wchar_t name[64] = L"";
    DWORD size = ARRAYSIZE(name);
    GetUserNameW(name, &size);
    return name;
}

UserData MakeUser(uint32_t mode)
{
    UserData u{};
    u.LimitMode = mode;
    return u;
}

void Allow(uint8_t table[24], int from, int to)
{
    for (int h = from; h < to; ++h)
        table[h] = 1;
}

UserData DailyForThisAndNextHour()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    UserData u = MakeUser(LIMIT_DAILY);
    Allow(u.TodayLimitTable, now.wHour, now.wHour + 2 > 24 ? 24 : now.wHour + 2);
    if (now.wHour == 23)
        u.TodayLimitTable[0] = 1;
    return u;
}

int64_t Now() { return static_cast<int64_t>(_time64(nullptr)); }

int ParseRemain(const std::wstring& text)
{
    if (text == L"-:--:--")
        return -1;
    int h = 0, m = 0, s = 0;
    wchar_t rest = 0;
    if (swscanf(text.c_str(), L"%d:%2d:%2d%lc", &h, &m, &s, &rest) != 3)
        return -2;
    return h * 3600 + m * 60 + s;
}

void LimiterTest::SetUp()
{
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
    e2e::DeleteTree(HKEY_CURRENT_USER, CFW_REG_ROOT_W);
    WriteOptions(7, PASSWORD_LOCK_OFF);
}

void LimiterTest::TearDown()
{
    // The limiter and its helper restart each other: end the helper first.
    for (int round = 0; round < 2; ++round) {
        e2e::KillAll(hv::names::kHelperFile);
        e2e::KillAll(hv::names::kLimiterFile);
    }
}

void LimiterTest::WriteUser(const UserData& user)
{
    ASSERT_EQ(1, WriteUserDataW(UserName().c_str(), &user, 0));
}

void LimiterTest::WriteRunningState(int64_t lastLogin, uint32_t remain)
{
    UserData state{};
    ReadUserDataW(UserName().c_str(), &state);
    state.LastLoginDate = lastLogin;
    state.LimitModeRemain = remain;
    ASSERT_EQ(1, WriteUserDataW(UserName().c_str(), &state, 1));
}

void LimiterTest::WriteOptions(uint32_t timeOutMode, uint32_t passwordHash)
{
    OptionData o{timeOutMode, 0, passwordHash};
    ASSERT_EQ(1, WriteOptionDataW(&o));
}

HWND LimiterTest::StartLimiter()
{
    limiter_ = e2e::Start(hv::names::kLimiterFile);
    if (!limiter_)
        return nullptr;
    tray_ = e2e::AwaitWindow(hv::names::kTrayClass, nullptr, limiter_.pid());
    return tray_;
}

bool LimiterTest::WaitForRemain(const std::function<bool(const std::wstring&)>& done, DWORD ms) const
{
    return e2e::WaitUntil([&] { return done(Remain()); }, std::chrono::milliseconds(ms));
}

int LimiterTest::RemainSeconds() const { return ParseRemain(Remain()); }

void LimiterTest::ShowTrayWindow() const
{
    PostMessageW(tray_, WM_COMMAND, 40002, 0);
    e2e::WaitUntil([&] { return IsWindowVisible(tray_) && !IsIconic(tray_); }, 5s);
    // Clear of the notification area, whose balloons would cover it.
    SetWindowPos(tray_, nullptr, 320, 240, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);  // let it paint
}

std::wstring CountdownTitle(int seconds)
{
    return std::to_wstring(seconds) + L" 秒後に終了処理を開始します。";
}

void RegisterCurrentUser(const UserData& user)
{
    e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
    e2e::DeleteTree(HKEY_CURRENT_USER, CFW_REG_ROOT_W);
    WriteUserDataW(UserName().c_str(), &user, 0);
    WriteUserDataW(UserName().c_str(), &user, 1);
}

void SetOptions(uint32_t timeOutMode, uint32_t amusement)
{
    OptionData options{timeOutMode, amusement, PASSWORD_LOCK_OFF};
    WriteOptionDataW(&options);
}

UserData DailyHours(int from, int to)
{
    UserData u;
    memset(&u, 0, sizeof(u));
    u.LimitMode = LIMIT_DAILY;
    for (int h = from; h <= to; ++h)
        u.TodayLimitTable[h] = 1;
    u.LimitModeTimeDay = 120;
    u.LimitModeTimeHalfAM = 30;
    u.LimitModeTimeHalfPM = 30;
    return u;
}

UserData TimerAllowance(uint32_t minutes)
{
    UserData u = DailyHours(0, -1);
    u.LimitMode = LIMIT_TIMER;
    u.LimitModeTimeDay = minutes;
    return u;
}

UserData StoredState()
{
    UserData u;
    memset(&u, 0, sizeof(u));
    ReadUserDataW(UserName().c_str(), &u);
    return u;
}

HWND TrayWindow()
{
    return FindWindowW(hv::names::kTrayClass, nullptr);
}

DWORD ProcessOf(HWND w)
{
    DWORD pid = 0;
    if (w)
        GetWindowThreadProcessId(w, &pid);
    return pid;
}

int LabelSeconds(HWND tray)
{
    const int seconds = ParseRemain(e2e::ControlText(tray, IDC_TRAY_REMAIN));
    return seconds < 0 ? -1 : seconds;
}

HWND FindCountdown(DWORD limiterPid, int seconds)
{
    const auto found = e2e::FindWindows(kDialogClass, CountdownTitle(seconds).c_str(), limiterPid);
    return found.empty() ? nullptr : found.front();
}

void KillProcess(DWORD pid)
{
    hv::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (process) {
        TerminateProcess(process.get(), 9);
        WaitForSingleObject(process.get(), 5000);
    }
}

}  // namespace limiter_test
