// Settings store: one record of registry values at a time, wide and narrow
// forms sharing one implementation over the character type.
#define CFWCOMMON_BUILD
#include "cfwCommon.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "../common/raii.h"
#include "password_hash.h"

namespace {

// Narrow and wide registry interfaces behind one set of names.
template <typename Char>
struct Reg;

template <>
struct Reg<wchar_t> {
    static LSTATUS Open(HKEY root, const wchar_t* path, HKEY* key)
    {
        return RegOpenKeyExW(root, path, 0, KEY_READ, key);
    }
    static LSTATUS Create(HKEY root, const wchar_t* path, HKEY* key)
    {
        return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                               key, nullptr);
    }
    static LSTATUS Query(HKEY key, const wchar_t* name, DWORD* type, void* data, DWORD* size)
    {
        return RegQueryValueExW(key, name, nullptr, type, static_cast<BYTE*>(data), size);
    }
    static LSTATUS Set(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        return RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    }
    static void Format(wchar_t* out, size_t count, const wchar_t* prefix, const wchar_t* name)
    {
        _snwprintf(out, count, L"%ls\\%ls", prefix, name);
        out[count - 1] = 0;
    }
};

template <>
struct Reg<char> {
    static LSTATUS Open(HKEY root, const char* path, HKEY* key)
    {
        return RegOpenKeyExA(root, path, 0, KEY_READ, key);
    }
    static LSTATUS Create(HKEY root, const char* path, HKEY* key)
    {
        return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                               key, nullptr);
    }
    static LSTATUS Query(HKEY key, const char* name, DWORD* type, void* data, DWORD* size)
    {
        return RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(data), size);
    }
    static LSTATUS Set(HKEY key, const char* name, DWORD type, const void* data, DWORD size)
    {
        return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    }
    static void Format(char* out, size_t count, const char* prefix, const char* name)
    {
        snprintf(out, count, "%s\\%s", prefix, name);
        out[count - 1] = 0;
    }
};

// Value names are plain ASCII; the wide form widens them on the fly.
template <typename Char>
class Name {
public:
    explicit Name(const char* ascii)
    {
        size_t i = 0;
        for (; ascii[i] && i + 1 < sizeof(buf_) / sizeof(buf_[0]); ++i)
            buf_[i] = static_cast<Char>(ascii[i]);
        buf_[i] = 0;
    }
    operator const Char*() const { return buf_; }

private:
    Char buf_[32];
};

const char* const kDayValueNames[CFW_DAYS] = {
    // Row order Monday..Sunday. The Tuesday and Thursday names are what
    // existing registries and backup files hold; they must not be "fixed".
    "LimitTable (Mon)", "LimitTable (Thu)", "LimitTable (Wed)", "LimitTable (The)",
    "LimitTable (Fri)", "LimitTable (Sat)", "LimitTable (Sun)",
};

constexpr size_t kPathChars = 1024;

template <typename Char>
const Char* RootPath();
template <>
const wchar_t* RootPath<wchar_t>() { return CFW_REG_ROOT_W; }
template <>
const char* RootPath<char>() { return CFW_REG_ROOT_A; }

template <typename Char>
void SubKeyPath(Char* out, const char* sub, const Char* name)
{
    Char prefix[128];
    Reg<Char>::Format(prefix, 128, RootPath<Char>(), Name<Char>(sub));
    Reg<Char>::Format(out, kPathChars, prefix, name);
}

// Reads one value into its field when the stored type is the expected one.
// A shorter value fills only the leading bytes; a longer one is skipped, so
// nothing is ever written past the field. Returns 1 when the field was read.
template <typename Char>
int ReadValue(HKEY key, const char* name, DWORD expectedType, void* field, DWORD fieldSize)
{
    Name<Char> n(name);
    DWORD type = 0, size = 0;
    if (Reg<Char>::Query(key, n, &type, nullptr, &size) != ERROR_SUCCESS || type != expectedType)
        return 0;
    if (size > fieldSize)
        return 0;
    return Reg<Char>::Query(key, n, &type, field, &size) == ERROR_SUCCESS ? 1 : 0;
}

template <typename Char>
int ReadString(HKEY key, const char* name, Char* field, size_t chars)
{
    if (!ReadValue<Char>(key, name, REG_SZ, field, static_cast<DWORD>(chars * sizeof(Char))))
        return 0;
    field[chars - 1] = 0;  // a value stored without terminator still ends inside the field
    return 1;
}

template <typename Char>
int ReadDwordValue(HKEY key, const char* name, uint32_t* field)
{
    return ReadValue<Char>(key, name, REG_DWORD, field, sizeof(*field));
}

template <typename Char>
int ReadTable(HKEY key, const char* name, uint8_t* table)
{
    return ReadValue<Char>(key, name, REG_BINARY, table, CFW_HOURS);
}

template <typename Char>
void SetDword(HKEY key, const char* name, uint32_t value)
{
    Reg<Char>::Set(key, Name<Char>(name), REG_DWORD, &value, sizeof(value));
}

template <typename Char>
void SetBinary(HKEY key, const char* name, const void* data, DWORD size)
{
    Reg<Char>::Set(key, Name<Char>(name), REG_BINARY, data, size);
}

template <typename Char>
void SetString(HKEY key, const char* name, const Char* field, size_t chars)
{
    // Bounded by the field: an unterminated field is cut, never over-read.
    Char copy[CFW_GROUP_CHARS];
    size_t len = 0;
    while (len + 1 < chars && field[len])
        ++len;
    std::memcpy(copy, field, len * sizeof(Char));
    copy[len] = 0;
    Reg<Char>::Set(key, Name<Char>(name), REG_SZ, copy, static_cast<DWORD>((len + 1) * sizeof(Char)));
}

template <typename Char, typename Group>
int ReadTables(HKEY key, Group* d)
{
    int n = ReadTable<Char>(key, "TodayLimitTable", d->TodayLimitTable);
    n += ReadTable<Char>(key, "WeeklyLimitTable1", d->WeeklyLimitTable1);
    n += ReadTable<Char>(key, "WeeklyLimitTable2", d->WeeklyLimitTable2);
    for (int row = 0; row < CFW_DAYS; ++row)
        n += ReadTable<Char>(key, kDayValueNames[row], d->DayLimitTable[row]);
    return n;
}

template <typename Char, typename Group>
void WriteTables(HKEY key, const Group* d)
{
    SetBinary<Char>(key, "TodayLimitTable", d->TodayLimitTable, CFW_HOURS);
    SetBinary<Char>(key, "WeeklyLimitTable1", d->WeeklyLimitTable1, CFW_HOURS);
    SetBinary<Char>(key, "WeeklyLimitTable2", d->WeeklyLimitTable2, CFW_HOURS);
    for (int row = 0; row < CFW_DAYS; ++row)
        SetBinary<Char>(key, kDayValueNames[row], d->DayLimitTable[row], CFW_HOURS);
}

template <typename Char, typename Record>
int ReadUser(const Char* user, Record* d)
{
    if (!user || !d)
        return -1;
    Char path[kPathChars];
    SubKeyPath<Char>(path, "Users", user);

    std::memset(d, 0, sizeof(*d));
    d->LimitModeTimeDay = 120;
    d->LimitModeTimeHalfAM = 30;
    d->LimitModeTimeHalfPM = 30;

    int n = 0;
    hv::RegKey key;
    if (Reg<Char>::Open(HKEY_LOCAL_MACHINE, path, key.put()) == ERROR_SUCCESS) {
        n += ReadDwordValue<Char>(key.get(), "LimitMode", &d->LimitMode);
        n += ReadString<Char>(key.get(), "Group", d->Group, CFW_GROUP_CHARS);
        n += ReadTables<Char>(key.get(), d);
        n += ReadDwordValue<Char>(key.get(), "LimitModeFlag", &d->LimitModeFlag);
        n += ReadDwordValue<Char>(key.get(), "LimitModeTimeHalfAM", &d->LimitModeTimeHalfAM);
        n += ReadDwordValue<Char>(key.get(), "LimitModeTimeHalfPM", &d->LimitModeTimeHalfPM);
        n += ReadDwordValue<Char>(key.get(), "LimitModeTimeDay", &d->LimitModeTimeDay);
    }
    if (Reg<Char>::Open(HKEY_CURRENT_USER, RootPath<Char>(), key.put()) != ERROR_SUCCESS)
        return n;
    n += ReadDwordValue<Char>(key.get(), "HiddenButton", &d->HiddenButton);
    n += ReadValue<Char>(key.get(), "LastLoginDate", REG_BINARY, &d->LastLoginDate, sizeof(d->LastLoginDate));
    n += ReadDwordValue<Char>(key.get(), "LimitModeRemain", &d->LimitModeRemain);
    return n;
}

template <typename Char, typename Record>
int WriteUser(const Char* user, const Record* d, int state)
{
    if (!user || !d)
        return -1;
    hv::RegKey key;
    if (state != 0) {
        if (Reg<Char>::Create(HKEY_CURRENT_USER, RootPath<Char>(), key.put()) != ERROR_SUCCESS)
            return 0;
        SetDword<Char>(key.get(), "HiddenButton", d->HiddenButton);
        SetBinary<Char>(key.get(), "LastLoginDate", &d->LastLoginDate, sizeof(d->LastLoginDate));
        SetDword<Char>(key.get(), "LimitModeRemain", d->LimitModeRemain);
        return 1;
    }
    Char path[kPathChars];
    SubKeyPath<Char>(path, "Users", user);
    if (Reg<Char>::Create(HKEY_LOCAL_MACHINE, path, key.put()) != ERROR_SUCCESS)
        return 0;
    SetDword<Char>(key.get(), "LimitMode", d->LimitMode);
    SetString<Char>(key.get(), "Group", d->Group, CFW_GROUP_CHARS);
    WriteTables<Char>(key.get(), d);
    SetDword<Char>(key.get(), "LimitModeFlag", d->LimitModeFlag);
    SetDword<Char>(key.get(), "LimitModeTimeHalfAM", d->LimitModeTimeHalfAM);
    SetDword<Char>(key.get(), "LimitModeTimeHalfPM", d->LimitModeTimeHalfPM);
    SetDword<Char>(key.get(), "LimitModeTimeDay", d->LimitModeTimeDay);
    return 1;
}

template <typename Char>
int ReadGroup(const Char* group, GroupData* d)
{
    if (!group || !d)
        return -1;
    Char path[kPathChars];
    SubKeyPath<Char>(path, "Groups", group);
    std::memset(d, 0, sizeof(*d));
    hv::RegKey key;
    if (Reg<Char>::Open(HKEY_LOCAL_MACHINE, path, key.put()) != ERROR_SUCCESS)
        return 0;
    int n = ReadDwordValue<Char>(key.get(), "LimitMode", &d->LimitMode);
    return n + ReadTables<Char>(key.get(), d);
}

template <typename Char>
int WriteGroup(const Char* group, const GroupData* d)
{
    if (!group || !d)
        return -1;
    Char path[kPathChars];
    SubKeyPath<Char>(path, "Groups", group);
    hv::RegKey key;
    if (Reg<Char>::Create(HKEY_LOCAL_MACHINE, path, key.put()) != ERROR_SUCCESS)
        return 0;
    SetDword<Char>(key.get(), "LimitMode", d->LimitMode);
    WriteTables<Char>(key.get(), d);
    return 1;
}

template <typename Char>
int ReadOptions(OptionData* d)
{
    if (!d)
        return -1;
    d->TimeOutMode = TIMEOUT_LOGOFF;
    d->Amusement = 0;
    d->PasswordLockHash = PASSWORD_LOCK_OFF;
    hv::RegKey key;
    if (Reg<Char>::Open(HKEY_LOCAL_MACHINE, RootPath<Char>(), key.put()) != ERROR_SUCCESS)
        return 0;
    int n = ReadDwordValue<Char>(key.get(), "TimeOutMode", &d->TimeOutMode);
    n += ReadDwordValue<Char>(key.get(), "Amusement", &d->Amusement);
    return n + ReadDwordValue<Char>(key.get(), "PasswordLockHash", &d->PasswordLockHash);
}

template <typename Char>
int WriteOptions(const OptionData* d)
{
    if (!d)
        return -1;
    hv::RegKey key;
    if (Reg<Char>::Create(HKEY_LOCAL_MACHINE, RootPath<Char>(), key.put()) != ERROR_SUCCESS)
        return 0;
    SetDword<Char>(key.get(), "TimeOutMode", d->TimeOutMode);
    SetDword<Char>(key.get(), "Amusement", d->Amusement);
    SetDword<Char>(key.get(), "PasswordLockHash", d->PasswordLockHash);
    return 1;
}

}  // namespace

extern "C" {

int ReadUserDataW(const wchar_t* user, UserData* data) { return ReadUser(user, data); }
int ReadUserDataA(const char* user, UserDataA* data) { return ReadUser(user, data); }
int WriteUserDataW(const wchar_t* user, const UserData* data, int state) { return WriteUser(user, data, state); }
int WriteUserDataA(const char* user, const UserDataA* data, int state) { return WriteUser(user, data, state); }
int ReadGroupDataW(const wchar_t* group, GroupData* data) { return ReadGroup(group, data); }
int ReadGroupDataA(const char* group, GroupData* data) { return ReadGroup(group, data); }
int WriteGroupDataW(const wchar_t* group, const GroupData* data) { return WriteGroup(group, data); }
int WriteGroupDataA(const char* group, const GroupData* data) { return WriteGroup(group, data); }
int ReadOptionDataW(OptionData* data) { return ReadOptions<wchar_t>(data); }
int ReadOptionDataA(OptionData* data) { return ReadOptions<char>(data); }
int WriteOptionDataW(const OptionData* data) { return WriteOptions<wchar_t>(data); }
int WriteOptionDataA(const OptionData* data) { return WriteOptions<char>(data); }

uint32_t GetPasswordHashW(const wchar_t* text)
{
    return cfw::PasswordHash16(reinterpret_cast<const uint16_t*>(text));
}

uint32_t GetPasswordHashA(const char* text) { return cfw::PasswordHash8(text); }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"
