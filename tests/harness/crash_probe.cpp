// Dies of an access violation: the runner must report it as a failure.
#include <cstdio>

int wmain()
{
    std::puts("about to crash");
    std::fflush(stdout);
    volatile int* p = nullptr;
    *p = 1;
    return 0;
}
