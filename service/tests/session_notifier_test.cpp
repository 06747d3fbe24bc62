// The session notifier with the real token, environment and process calls
// but sessions given by the test: Wine lists no sessions of its own, yet
// answers for session 1 with the user's token.
#include <windows.h>

#include <gtest/gtest.h>

#include "e2e.h"
#include "service.h"

namespace {

using namespace std::chrono_literals;

std::wstring Launches()
{
    wchar_t text[4096] = {};
    DWORD size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\HalvernTest", L"Launches", RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

size_t Count(const std::wstring& s, const std::wstring& part)
{
    size_t n = 0;
    for (size_t at = s.find(part); at != std::wstring::npos; at = s.find(part, at + 1))
        ++n;
    return n;
}

std::wstring ProbePath()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1) + L"service_launch_probe.exe";
}

class SessionNotifier : public ::testing::Test {
protected:
    void SetUp() override { e2e::DeleteTree(HKEY_CURRENT_USER, L"Software\\HalvernTest"); }
    void TearDown() override { e2e::DeleteTree(HKEY_CURRENT_USER, L"Software\\HalvernTest"); }
};

TEST_F(SessionNotifier, StartsOneNotifierPerSessionWithAUser)
{
    const std::wstring probe = ProbePath();
    EXPECT_EQ(0u, NotifySessions({}, probe));
    EXPECT_EQ(1u, NotifySessions({1}, probe));
    e2e::Await("the probe's launch", [] { return Count(Launches(), L"|") == 1; }, 20s);
    EXPECT_EQ(L"\"" + probe + L"\" /Silent|", Launches());

    EXPECT_EQ(2u, NotifySessions({1, 1}, probe));
    e2e::Await("two more launches", [] { return Count(Launches(), L"|") == 3; }, 20s);
}

TEST_F(SessionNotifier, MissingNotifierOrPathStartsNothing)
{
    const std::wstring probe = ProbePath();
    const std::wstring missing = probe.substr(0, probe.rfind(L'\\') + 1) + L"no_such_notifier.exe";
    EXPECT_EQ(0u, NotifySessions({1}, missing));
    EXPECT_EQ(0u, NotifySessions({1}, L""));  // no usable folder
    Sleep(500);
    EXPECT_EQ(L"", Launches());
}

}  // namespace
