// Membership of the local Administrators group, direct or through another
// group, as the platform's group list says.
#include "hvShared.h"

#include <lm.h>

#include <vector>

namespace hv {

int IsAdministratorsMember(const wchar_t* account)
{
    std::wstring name;
    if (account) {
        name = account;
    } else {
        wchar_t buffer[UNLEN + 1] = {};
        DWORD size = ARRAYSIZE(buffer);
        if (GetUserNameW(buffer, &size))
            name = buffer;
    }
    LOCALGROUP_USERS_INFO_0* groups = nullptr;
    DWORD read = 0, total = 0;
    const NET_API_STATUS status =
        NetUserGetLocalGroups(nullptr, name.c_str(), 0, LG_INCLUDE_INDIRECT, reinterpret_cast<BYTE**>(&groups),
                              MAX_PREFERRED_LENGTH, &read, &total);
    std::vector<const wchar_t*> names;
    if (status == NERR_Success && groups) {
        for (DWORD i = 0; i < read; ++i)
            names.push_back(groups[i].lgrui0_name);
    }
    const int verdict = AdministratorsVerdict(status == NERR_Success, names.data(), names.size());
    if (groups)
        NetApiBufferFree(groups);
    return verdict;
}

}  // namespace hv
