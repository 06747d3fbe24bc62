// The library's status code: one per process (not per thread), left by every
// export except the few that the public header lists as leaving it alone.
#pragma once

#include <windows.h>

namespace hvc {

void SetStatus(DWORD code);

// Sets the code and passes `result` through, for one-line returns.
template <typename T>
T Done(DWORD code, T result)
{
    SetStatus(code);
    return result;
}

}  // namespace hvc
