// Reports the local time it sees as its exit code: hour * 3600 + minute * 60
// + second, so a test can tell whether the fake clock reached it.
#include <windows.h>

#include <ctime>

int wmain()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* tm = std::localtime(&now);
    SYSTEMTIME st;
    GetLocalTime(&st);
    // Both clocks must agree, or the programs would disagree with each other.
    if (st.wHour != tm->tm_hour || st.wMinute != tm->tm_min)
        return -1;
    return tm->tm_hour * 3600 + tm->tm_min * 60 + tm->tm_sec;
}
