// The settings store against the real registry of a private Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cfwCommon.h"
#include "raii.h"

namespace {

const wchar_t kUsersKey[] = CFW_REG_ROOT_W L"\\Users\\";

class Store : public ::testing::Test {
protected:
    void SetUp() override { Wipe(); }
    void TearDown() override { Wipe(); }

    static void Wipe()
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
        RegDeleteTreeW(HKEY_CURRENT_USER, CFW_REG_ROOT_W);
    }

    static hv::RegKey Key(HKEY root, const std::wstring& path)
    {
        hv::RegKey key;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 key.put(), nullptr));
        return key;
    }
    static void SetRaw(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
                       DWORD size)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(Key(root, path).get(), name, 0, type,
                                                static_cast<const BYTE*>(data), size));
    }
    static std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& path)
    {
        std::vector<std::wstring> names;
        hv::RegKey key = Key(root, path);
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD len = 256;
            if (RegEnumValueW(key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.push_back(name);
        }
        return names;
    }
    static std::vector<BYTE> GetRaw(HKEY root, const std::wstring& path, const wchar_t* name)
    {
        BYTE buf[512];
        DWORD size = sizeof(buf), type = 0;
        if (RegGetValueW(root, path.c_str(), name, RRF_RT_ANY, &type, buf, &size) != ERROR_SUCCESS)
            return {};
        return std::vector<BYTE>(buf, buf + size);
    }
};

UserData SampleUser()
{
    UserData u;
    std::memset(&u, 0, sizeof(u));
    u.LimitMode = LIMIT_TIMER | LIMIT_CARRY_OVER_FLAG;
    wcscpy(u.Group, L"生徒たち");
    for (int h = 0; h < CFW_HOURS; ++h) {
        u.TodayLimitTable[h] = h >= 8 && h < 18;
        u.WeeklyLimitTable1[h] = h >= 9;
        u.WeeklyLimitTable2[h] = h < 12;
        for (int row = 0; row < CFW_DAYS; ++row)
            u.DayLimitTable[row][h] = static_cast<uint8_t>(row + 1);  // distinct per day
    }
    u.LimitModeFlag = 1;
    u.LimitModeTimeDay = 180;
    u.LimitModeTimeHalfAM = 45;
    u.LimitModeTimeHalfPM = 90;
    return u;
}

// Rows 1 to 16 of the record: everything up to the running state.
constexpr size_t kSettingsBytes = offsetof(UserData, LimitModeTimeHalfPM) + sizeof(uint32_t);

TEST_F(Store, EmptyRegistryGivesDefaultsInBothForms)
{
    UserData w;
    std::memset(&w, 0xAB, sizeof(w));
    EXPECT_EQ(0, ReadUserDataW(L"nobody", &w));
    UserDataA a;
    std::memset(&a, 0xAB, sizeof(a));
    EXPECT_EQ(0, ReadUserDataA("nobody", &a));

    EXPECT_EQ(0u, w.LimitMode);
    EXPECT_EQ(L'\0', w.Group[0]);
    EXPECT_EQ(0u, w.LimitModeFlag);
    EXPECT_EQ(120u, w.LimitModeTimeDay);
    EXPECT_EQ(30u, w.LimitModeTimeHalfAM);
    EXPECT_EQ(30u, w.LimitModeTimeHalfPM);
    EXPECT_EQ(0, w.LastLoginDate);
    EXPECT_EQ(0u, w.LimitModeRemain);
    EXPECT_EQ(0u, w.HiddenButton);
    for (int row = 0; row < CFW_DAYS; ++row)
        for (int h = 0; h < CFW_HOURS; ++h)
            ASSERT_EQ(0, w.DayLimitTable[row][h]);
    // The narrow record matches field for field.
    EXPECT_EQ(0, a.Group[0]);
    EXPECT_EQ(120u, a.LimitModeTimeDay);
    EXPECT_EQ(0, std::memcmp(&w.TodayLimitTable, &a.TodayLimitTable, offsetof(UserData, LastLoginDate) -
                                                                       offsetof(UserData, TodayLimitTable)));

    GroupData g;
    std::memset(&g, 0xAB, sizeof(g));
    EXPECT_EQ(0, ReadGroupDataW(L"none", &g));
    const GroupData zero = {};
    EXPECT_EQ(0, std::memcmp(&zero, &g, sizeof(g)));

    OptionData o;
    std::memset(&o, 0xAB, sizeof(o));
    EXPECT_EQ(0, ReadOptionDataW(&o));
    EXPECT_EQ(0u, o.TimeOutMode);
    EXPECT_EQ(0u, o.Amusement);
    EXPECT_EQ(PASSWORD_LOCK_OFF, o.PasswordLockHash);
}

// What a program that loads the library by name sees in a fresh prefix.
TEST_F(Store, LoadedByNameItExportsEveryFunctionAndReadsDefaults)
{
    HMODULE dll = LoadLibraryW(L"cfwCommon.dll");
    ASSERT_NE(nullptr, dll);
    const char* names[] = {"ReadUserDataA",   "ReadUserDataW",   "WriteUserDataA",   "WriteUserDataW",
                           "ReadGroupDataA",  "ReadGroupDataW",  "WriteGroupDataA",  "WriteGroupDataW",
                           "ReadOptionDataA", "ReadOptionDataW", "WriteOptionDataA", "WriteOptionDataW",
                           "GetPasswordHashA", "GetPasswordHashW"};
    for (const char* name : names)
        EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(dll, name))) << name;
    auto read = reinterpret_cast<int (*)(const wchar_t*, UserData*)>(
        reinterpret_cast<void*>(GetProcAddress(dll, "ReadUserDataW")));
    ASSERT_NE(nullptr, read);
    UserData u;
    std::memset(&u, 0xCD, sizeof(u));
    EXPECT_EQ(0, read(L"someone", &u));
    EXPECT_EQ(LIMIT_NONE, u.LimitMode);
    EXPECT_EQ(120u, u.LimitModeTimeDay);
    EXPECT_EQ(30u, u.LimitModeTimeHalfAM);
    auto options = reinterpret_cast<int (*)(OptionData*)>(reinterpret_cast<void*>(GetProcAddress(dll, "ReadOptionDataW")));
    OptionData o;
    EXPECT_EQ(0, options(&o));
    EXPECT_EQ(PASSWORD_LOCK_OFF, o.PasswordLockHash);
    FreeLibrary(dll);
}

TEST_F(Store, VersionResourceDescribesTheLibraryInJapanese)
{
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(GetModuleFileNameW(GetModuleHandleW(L"cfwCommon.dll"), path, MAX_PATH));
    DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));
    wchar_t* text = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041104b0\\FileDescription",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(L"Halvern Curfew コモン ライブラリ", text);
}

TEST_F(Store, NullPointersLeaveEverythingUntouched)
{
    UserData w;
    std::memset(&w, 0x5A, sizeof(w));
    UserDataA a;
    GroupData g;
    std::memset(&g, 0x5A, sizeof(g));
    OptionData o;
    std::memset(&o, 0x5A, sizeof(o));
    EXPECT_EQ(-1, ReadUserDataW(nullptr, &w));
    EXPECT_EQ(-1, ReadUserDataW(L"x", nullptr));
    EXPECT_EQ(-1, ReadUserDataA(nullptr, &a));
    EXPECT_EQ(-1, WriteUserDataW(nullptr, &w, 0));
    EXPECT_EQ(-1, WriteUserDataW(nullptr, &w, 1));  // the name is required even for state writes
    EXPECT_EQ(-1, WriteUserDataA("x", nullptr, 0));
    EXPECT_EQ(-1, ReadGroupDataW(nullptr, &g));
    EXPECT_EQ(-1, ReadGroupDataA("g", nullptr));
    EXPECT_EQ(-1, WriteGroupDataW(L"g", nullptr));
    EXPECT_EQ(-1, WriteGroupDataA(nullptr, &g));
    EXPECT_EQ(-1, ReadOptionDataW(nullptr));
    EXPECT_EQ(-1, ReadOptionDataA(nullptr));
    EXPECT_EQ(-1, WriteOptionDataW(nullptr));
    EXPECT_EQ(-1, WriteOptionDataA(nullptr));
    for (size_t i = 0; i < sizeof(w); ++i)
        ASSERT_EQ(0x5A, reinterpret_cast<BYTE*>(&w)[i]);
    EXPECT_EQ(0x5A5A5A5Au, g.LimitMode);
    EXPECT_EQ(0x5A5A5A5Au, o.TimeOutMode);
    EXPECT_TRUE(ValueNames(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W).empty());
}

TEST_F(Store, UserSettingsRoundTripWithStoredNames)
{
    const UserData u = SampleUser();
    ASSERT_EQ(1, WriteUserDataW(L"taro", &u, 0));

    UserData back;
    EXPECT_EQ(16, ReadUserDataW(L"taro", &back));  // no state stored yet
    EXPECT_EQ(0, std::memcmp(&u, &back, kSettingsBytes));
    EXPECT_EQ(LIMIT_TIMER | LIMIT_CARRY_OVER_FLAG, back.LimitMode);

    // Tuesday lives under "(Thu)", Thursday under "(The)", and no name says Tue.
    const std::wstring key = std::wstring(kUsersKey) + L"taro";
    EXPECT_EQ(std::vector<BYTE>(24, 2), GetRaw(HKEY_LOCAL_MACHINE, key, L"LimitTable (Thu)"));
    EXPECT_EQ(std::vector<BYTE>(24, 4), GetRaw(HKEY_LOCAL_MACHINE, key, L"LimitTable (The)"));
    auto names = ValueNames(HKEY_LOCAL_MACHINE, key);
    EXPECT_EQ(16u, names.size());
    for (const auto& n : names)
        EXPECT_EQ(std::wstring::npos, n.find(L"Tue")) << n;
    // The group name is stored with exactly one terminator.
    EXPECT_EQ((wcslen(u.Group) + 1) * 2, GetRaw(HKEY_LOCAL_MACHINE, key, L"Group").size());
}

TEST_F(Store, NarrowAndWideFormsShareTheRegistry)
{
    const UserData u = SampleUser();
    ASSERT_EQ(1, WriteUserDataW(L"taro", &u, 0));
    UserDataA a;
    ASSERT_EQ(16, ReadUserDataA("taro", &a));
    EXPECT_EQ(u.LimitMode, a.LimitMode);
    // The group name arrives in the ANSI code page (932 here).
    char expected[CFW_GROUP_CHARS];
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, u.Group, -1, expected, sizeof(expected), nullptr, nullptr), 0);
    EXPECT_STREQ(expected, a.Group);
    EXPECT_EQ(932u, GetACP());
    EXPECT_EQ(0, std::memcmp(&u.TodayLimitTable, &a.TodayLimitTable,
                             kSettingsBytes - offsetof(UserData, TodayLimitTable)));

    // And back: the narrow write reads the same through the wide form.
    ASSERT_EQ(1, WriteUserDataA("hanako", &a, 0));
    UserData w;
    ASSERT_EQ(16, ReadUserDataW(L"hanako", &w));
    EXPECT_EQ(0, std::memcmp(&u, &w, kSettingsBytes));
}

TEST_F(Store, StateValuesGoOnlyToTheCallersOwnHive)
{
    UserData u = SampleUser();
    u.LastLoginDate = 0x0123456789ABCDEFll;
    u.LimitModeRemain = 0x00011234;
    u.HiddenButton = 1;
    ASSERT_EQ(1, WriteUserDataW(L"not-registered", &u, 1));
    // No key under Users, even for this unregistered name.
    hv::RegKey key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W L"\\Users\\not-registered", 0,
                                           KEY_READ, key.put()));
    EXPECT_EQ(3u, ValueNames(HKEY_CURRENT_USER, CFW_REG_ROOT_W).size());
    EXPECT_EQ(8u, GetRaw(HKEY_CURRENT_USER, CFW_REG_ROOT_W, L"LastLoginDate").size());

    // Any account name reads the caller's state; state values under Users are never read.
    const int64_t planted = 42;
    SetRaw(HKEY_LOCAL_MACHINE, std::wstring(kUsersKey) + L"other", L"LastLoginDate", REG_BINARY, &planted, 8);
    UserData back;
    EXPECT_EQ(3, ReadUserDataW(L"other", &back));
    EXPECT_EQ(0x0123456789ABCDEFll, back.LastLoginDate);
    EXPECT_EQ(0x00011234u, back.LimitModeRemain);
    EXPECT_EQ(1u, back.HiddenButton);
    EXPECT_EQ(LIMIT_NONE, back.LimitMode);  // "other" has no settings of its own
}

TEST_F(Store, ValuesOfTheWrongTypeOrShapeKeepTheirDefaults)
{
    const std::wstring key = std::wstring(kUsersKey) + L"taro";
    const UserData u = SampleUser();
    ASSERT_EQ(1, WriteUserDataW(L"taro", &u, 0));

    struct Case {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
    };
    const BYTE ten[10] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    const Case cases[] = {
        {L"LimitMode", REG_SZ, {'5', 0, 0, 0}},                            // string, not DWORD
        {L"WeeklyLimitTable1", REG_DWORD, {1, 0, 0, 0}},                   // DWORD, not binary
        {L"LimitModeTimeDay", REG_BINARY, {60, 0, 0, 0}},                  // binary, not DWORD
        {L"TodayLimitTable", REG_BINARY, std::vector<BYTE>(ten, ten + 10)},  // short: leading bytes only
    };
    for (const auto& c : cases)
        SetRaw(HKEY_LOCAL_MACHINE, key, c.name, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));

    UserData back;
    EXPECT_EQ(13, ReadUserDataW(L"taro", &back));
    EXPECT_EQ(0u, back.LimitMode);
    EXPECT_EQ(std::vector<BYTE>(24, 0), std::vector<BYTE>(back.WeeklyLimitTable1, back.WeeklyLimitTable1 + 24));
    EXPECT_EQ(120u, back.LimitModeTimeDay);
    std::vector<BYTE> today(back.TodayLimitTable, back.TodayLimitTable + 24);
    std::vector<BYTE> expected(10, 1);
    expected.resize(24, 0);
    EXPECT_EQ(expected, today);

    const BYTE lockAsBinary[4] = {1, 2, 3, 4};
    SetRaw(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, L"PasswordLockHash", REG_BINARY, lockAsBinary, 4);
    OptionData o;
    EXPECT_EQ(0, ReadOptionDataW(&o));
    EXPECT_EQ(PASSWORD_LOCK_OFF, o.PasswordLockHash);  // the lock reads as off
}

// Oversized stored values are skipped like values of the wrong type: no byte
// past a field changes, strings stay terminated, and a name that does not fit
// never turns into a different, truncated group name.
TEST_F(Store, OversizedValuesNeverSpillPastTheirField)
{
    const std::wstring key = std::wstring(kUsersKey) + L"taro";
    const UserData u = SampleUser();
    ASSERT_EQ(1, WriteUserDataW(L"taro", &u, 0));
    std::vector<BYTE> table30(30, 7);
    SetRaw(HKEY_LOCAL_MACHINE, key, L"WeeklyLimitTable2", REG_BINARY, table30.data(), 30);
    const wchar_t longGroup[] = L"0123456789012345678901234567890123456789";  // 40 characters
    SetRaw(HKEY_LOCAL_MACHINE, key, L"Group", REG_SZ, longGroup, sizeof(longGroup));
    const BYTE bigDate[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    SetRaw(HKEY_CURRENT_USER, CFW_REG_ROOT_W, L"LastLoginDate", REG_BINARY, bigDate, sizeof(bigDate));
    const BYTE bigDword[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    SetRaw(HKEY_CURRENT_USER, CFW_REG_ROOT_W, L"HiddenButton", REG_DWORD, bigDword, 4);
    SetRaw(HKEY_CURRENT_USER, CFW_REG_ROOT_W, L"LimitModeRemain", REG_BINARY, bigDword, 8);

    struct Guarded {
        BYTE before[64];
        UserData record;
        BYTE after[64];
    } w;
    std::memset(&w, 0xEE, sizeof(w));
    // 16 settings less Group and the table, plus HiddenButton of the state.
    EXPECT_EQ(14 + 1, ReadUserDataW(L"taro", &w.record));
    for (BYTE b : w.before)
        ASSERT_EQ(0xEE, b);
    for (BYTE b : w.after)
        ASSERT_EQ(0xEE, b);
    EXPECT_EQ(L'\0', w.record.Group[0]);
    EXPECT_EQ(std::vector<BYTE>(24, 0),
              std::vector<BYTE>(w.record.WeeklyLimitTable2, w.record.WeeklyLimitTable2 + 24));
    EXPECT_EQ(0, w.record.LastLoginDate);
    EXPECT_EQ(0x09090909u, w.record.HiddenButton);
    EXPECT_EQ(std::vector<BYTE>(24, 3),  // neighbours read as stored
              std::vector<BYTE>(w.record.DayLimitTable[2], w.record.DayLimitTable[2] + 24));

    // The same through the narrow form, whose group field holds 32 bytes.
    struct GuardedA {
        BYTE before[64];
        UserDataA record;
        BYTE after[64];
    } a;
    std::memset(&a, 0xEE, sizeof(a));
    ReadUserDataA("taro", &a.record);
    for (BYTE b : a.after)
        ASSERT_EQ(0xEE, b);
    EXPECT_EQ(0, a.record.Group[0]);

    // A 31-character name fits; 32 characters without terminator end cut at 31.
    const wchar_t fits[] = L"0123456789012345678901234567890";
    SetRaw(HKEY_LOCAL_MACHINE, key, L"Group", REG_SZ, fits, sizeof(fits));
    UserData back;
    ReadUserDataW(L"taro", &back);
    EXPECT_STREQ(fits, back.Group);
    SetRaw(HKEY_LOCAL_MACHINE, key, L"Group", REG_SZ, longGroup, 32 * sizeof(wchar_t));
    ReadUserDataW(L"taro", &back);
    EXPECT_EQ(31u, wcsnlen(back.Group, CFW_GROUP_CHARS));

    // Writing an unterminated group field stores at most 31 characters.
    UserData raw = SampleUser();
    std::memset(raw.Group, 'x', sizeof(raw.Group));
    ASSERT_EQ(1, WriteUserDataW(L"jiro", &raw, 0));
    EXPECT_EQ(32u * 2, GetRaw(HKEY_LOCAL_MACHINE, std::wstring(kUsersKey) + L"jiro", L"Group").size());

    GroupData g;
    SetRaw(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W L"\\Groups\\big", L"TodayLimitTable", REG_BINARY, table30.data(), 30);
    EXPECT_EQ(0, ReadGroupDataW(L"big", &g));
}

TEST_F(Store, GroupsRoundTripInBothForms)
{
    GroupData g = {};
    g.LimitMode = GROUP_DAY_OF_WEEK;
    for (int row = 0; row < CFW_DAYS; ++row)
        for (int h = 0; h < CFW_HOURS; ++h)
            g.DayLimitTable[row][h] = static_cast<uint8_t>(10 * row + (h & 1));
    g.TodayLimitTable[3] = 1;
    ASSERT_EQ(1, WriteGroupDataW(L"クラブ", &g));

    GroupData back;
    EXPECT_EQ(11, ReadGroupDataW(L"クラブ", &back));
    EXPECT_EQ(0, std::memcmp(&g, &back, sizeof(g)));
    const std::wstring key = CFW_REG_ROOT_W L"\\Groups\\クラブ";
    EXPECT_EQ(10, GetRaw(HKEY_LOCAL_MACHINE, key, L"LimitTable (Thu)")[0]);  // Tuesday
    EXPECT_EQ(30, GetRaw(HKEY_LOCAL_MACHINE, key, L"LimitTable (The)")[0]);  // Thursday

    char narrow[32];
    WideCharToMultiByte(CP_ACP, 0, L"クラブ", -1, narrow, sizeof(narrow), nullptr, nullptr);
    std::memset(&back, 0, sizeof(back));
    EXPECT_EQ(11, ReadGroupDataA(narrow, &back));
    EXPECT_EQ(0, std::memcmp(&g, &back, sizeof(g)));
    ASSERT_EQ(1, WriteGroupDataA("plain", &g));
    EXPECT_EQ(11, ReadGroupDataW(L"plain", &back));
}

TEST_F(Store, OptionsAreInterchangeableBetweenForms)
{
    const OptionData o = {7, 1, 0x58A297AFu};  // the store does not range-check TimeOutMode
    ASSERT_EQ(1, WriteOptionDataW(&o));
    OptionData back = {};
    EXPECT_EQ(3, ReadOptionDataA(&back));
    EXPECT_EQ(0, std::memcmp(&o, &back, sizeof(o)));
    const OptionData o2 = {TIMEOUT_FORCE_SHUTDOWN, 0, PASSWORD_LOCK_OFF};
    ASSERT_EQ(1, WriteOptionDataA(&o2));
    EXPECT_EQ(3, ReadOptionDataW(&back));
    EXPECT_EQ(0, std::memcmp(&o2, &back, sizeof(o2)));
}

TEST_F(Store, PasswordHashExports)
{
    EXPECT_EQ(0x58A297AFu, GetPasswordHashW(L"abc"));
    EXPECT_EQ(0x58A297AFu, GetPasswordHashA("abc"));
    EXPECT_EQ(PASSWORD_LOCK_OFF, GetPasswordHashW(nullptr));
    EXPECT_EQ(PASSWORD_LOCK_OFF, GetPasswordHashA(nullptr));
}

}  // namespace
