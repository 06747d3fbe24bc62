// The service's copies of the timer-mode state, one binary value per account
// under the machine-wide settings, in a key only the local system account and
// administrators may open: the limited user can neither read nor change it.
#include <windows.h>

#include <sddl.h>

#include "service.h"

namespace {

constexpr wchar_t kAccountingKey[] = CFW_REG_ROOT_W L"\\Accounting";
// Protected (no inheritance from above), full access for SYSTEM and
// Administrators, inherited by anything below.
constexpr wchar_t kAccountingSecurity[] = L"D:PAI(A;OICI;KA;;;SY)(A;OICI;KA;;;BA)";

hv::RegKey OpenAccounting(bool create)
{
    hv::RegKey key;
    if (!create) {
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAccountingKey, 0, KEY_QUERY_VALUE, key.put());
        return key;
    }
    hv::UniqueLocal descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAccountingSecurity, SDDL_REVISION_1,
                                                              descriptor.put(), nullptr))
        return key;
    SECURITY_ATTRIBUTES sa{sizeof sa, descriptor.get(), FALSE};
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAccountingKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | WRITE_DAC, &sa, key.put(), &disposition) != ERROR_SUCCESS)
        return key;
    // A key that was there before (made by hand, or by an older build) gets
    // the same protection.
    if (disposition == REG_OPENED_EXISTING_KEY)
        RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, descriptor.get());
    return key;
}

}  // namespace

bool ReadTimerCopy(const std::wstring& account, svc::TimerCopy& out)
{
    hv::RegKey key = OpenAccounting(false);
    if (!key || account.empty())
        return false;
    BYTE data[svc::kTimerCopyBytes + 1];
    DWORD type = 0, size = sizeof data;
    if (RegQueryValueExW(key.get(), account.c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return false;
    return svc::DecodeCopy(data, size, out);
}

bool WriteTimerCopy(const std::wstring& account, const svc::TimerCopy& copy)
{
    hv::RegKey key = OpenAccounting(true);
    if (!key || account.empty())
        return false;
    const std::vector<uint8_t> bytes = svc::EncodeCopy(copy);
    return RegSetValueExW(key.get(), account.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())) ==
           ERROR_SUCCESS;
}
