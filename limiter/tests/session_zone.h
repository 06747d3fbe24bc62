// The session's time zone, as its user may move it: for tests that evaluate
// while the C runtime's zone changes under them.
#pragma once

#include <stdlib.h>
#include <time.h>

namespace limiter_test {

inline void SetSessionZone(const char* tz)
{
#ifdef _WIN32
    _putenv_s("TZ", tz);
    _tzset();
#else
    setenv("TZ", tz, 1);
    tzset();
#endif
}

}  // namespace limiter_test
