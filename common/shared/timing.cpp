// Waiting for the clock's next whole second.
#include "hvShared.h"

#include <time.h>

namespace hv {

void WaitForNextWholeSecond()
{
    const time_t start = time(nullptr);
    const ULONGLONG limit = GetTickCount64() + 2000;
    while (time(nullptr) == start && GetTickCount64() < limit)
        Sleep(1);
}

}  // namespace hv
