// The Windows version as the programs compare it: one number.
#include "hvShared.h"

namespace hv {

DWORD OsVersionNumber()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info))
        return 0;
    return info.dwMajorVersion * 256 + info.dwMinorVersion;
}

}  // namespace hv
