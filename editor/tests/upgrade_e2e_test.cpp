// "/Upgrade" in the real utility: the previous version's settings files,
// written into the common application data folder in Shift_JIS as that
// version left them, carried over into the registry; the questions and
// notices in their order; the start going on afterwards.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "editor_fixture.h"
#include "editor_texts.h"
#include "resource.h"
#include "upgrade_logic.h"

namespace {

using namespace editor_test;

// Shift_JIS bytes of what the previous version wrote.
constexpr char kTilde[] = "\x81\x60";                     // "～"
constexpr char kSecretSjis[] = "\x82\xd0\x82\xdd\x82\xc2";  // "ひみつ"
constexpr wchar_t kSecret[] = L"ひみつ";
constexpr wchar_t kTaro[] = L"太郎";  // an account name in Japanese, as the file is named

std::string Range(const char* from, const char* to) { return std::string(from) + " " + kTilde + " " + to; }

std::wstring OldFolder()
{
    wchar_t common[MAX_PATH] = {};
    EXPECT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common));
    return std::wstring(common) + L"\\" + editor::kOldSettingsFolder;
}
std::wstring UsersFolder() { return OldFolder() + L"\\" + editor::kOldUsersFolder; }

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << GetLastError();
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(bytes.size(), written);
}

void WriteGlobalIni(const std::string& bytes) { WriteBytes(OldFolder() + L"\\" + editor::kOldOptionsFile, bytes); }
void WriteUserFile(const std::wstring& name, const std::string& bytes) { WriteBytes(UsersFolder() + L"\\" + name, bytes); }

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

std::vector<int> Allowed(const uint8_t table[CFW_HOURS])
{
    std::vector<int> hours;
    for (int h = 0; h < CFW_HOURS; ++h)
        if (table[h])
            hours.push_back(h);
    return hours;
}
std::vector<int> Span(int from, int to)
{
    std::vector<int> hours;
    for (int h = from; h < to; ++h)
        hours.push_back(h);
    return hours;
}

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The raw table stored under one value name of a user's key.
std::vector<int> StoredTable(const wchar_t* user, const wchar_t* value)
{
    uint8_t table[CFW_HOURS] = {};
    DWORD size = sizeof table;
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_LOCAL_MACHINE, UsersKey(user).c_str(), value, RRF_RT_REG_BINARY,
                                          nullptr, table, &size))
        << value;
    return Allowed(table);
}

struct Expected {
    unsigned caption;
    unsigned text;
};

class Upgrade : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        RemoveTree(OldFolder());
    }
    void TearDown() override
    {
        RemoveTree(OldFolder());
        EditorTest::TearDown();
    }

    // Starts "/Upgrade" and answers the two questions.
    void Start(bool options, bool users, std::vector<Expected> afterOptions, std::vector<Expected> afterUsers,
               const wchar_t* shot = nullptr)
    {
        StartEditor(L"/upgrade", false);  // in any letter case
        Question(IDS_UPGRADE_ASK_OPTIONS, options, shot);
        Boxes(afterOptions);
        Question(IDS_UPGRADE_ASK_USERS, users);
        Boxes(afterUsers);
    }
    void Question(unsigned text, bool yes, const wchar_t* shot = nullptr)
    {
        const e2e::MessageBoxInfo box = Next();
        EXPECT_EQ(L"確認", box.caption);
        EXPECT_EQ(editor::RcText(text), box.text);
        if (shot)
            Shot(shot);
        EXPECT_TRUE(e2e::Answer(box, yes ? IDYES : IDNO));
    }
    // These boxes, each with its caption, in this order, and no other.
    void Boxes(const std::vector<Expected>& expected)
    {
        for (const Expected& e : expected) {
            const e2e::MessageBoxInfo box = Next();
            EXPECT_EQ(editor::RcText(e.caption), box.caption);
            EXPECT_EQ(editor::RcText(e.text), box.text);
            if (shot_.insert(e.text).second)
                Shot((L"editor_upgrade_box_" + std::to_wstring(e.text)).c_str());
            EXPECT_TRUE(e2e::Answer(box, IDOK));
        }
    }
    // The next message box of the utility, owned by its (still hidden) window.
    e2e::MessageBoxInfo Next()
    {
        e2e::MessageBoxInfo box = AwaitBox(nullptr, 20s);
        HWND window = e2e::AwaitWindow(L"cfwEdit", nullptr, editor_.pid(), 5s);
        EXPECT_EQ(window, GetWindow(box.hwnd, GW_OWNER));
        return box;
    }
    inline static std::set<unsigned> shot_;  // the boxes photographed so far, once each
    // The start goes on: the main window with no box before it.
    void ExpectMainWindow()
    {
        ASSERT_TRUE(AwaitMain());
        EXPECT_FALSE(e2e::FindMessageBox(editor_.pid()).has_value());
    }
};

std::string FullGlobalIni()
{
    return "[Options]\r\nTimeOutActionMode=3\r\n"
           "[Option]\r\nPassword=" + std::string(kSecretSjis) + "\r\n"
           "[LimitSettings]\r\nDaily=" + Range("09:30", "12:00") + "\r\n";
}

// Per day of the week, each day its own hours; minutes and flags to correct.
std::string TaroFile()
{
    return "[Option]\r\nLimitMode=4\r\n"
           "[LimitSettings]\r\n"
           "Daily=" + Range("06:00", "07:00") + "\r\n" +
           "Weekend1=No Limit\r\n"
           "Mon=" + Range("01:00", "02:00") + "\r\n" +
           "Tue=" + Range("02:00", "03:30") + "\r\n" +
           "Wed=" + Range("03:00", "04:00") + "\r\n" +
           "Thu=" + Range("04:15", "06:45") + "\r\n" +
           "Fri=" + Range("22:00", "30:00") + "\r\n" +  // clipped: up to hour 23
           "Sat=" + Range("10:00", "10:00") + "\r\n" +  // nothing, but converted
           "Sun=08:00 " + kTilde + "\r\n" +             // half a range: ignored
           "[LimitModeSetting]\r\nHalf=1\r\nDayMinute=30\r\nAMMinute=150\r\nPMMinute=0\r\nHalfExt=1\r\n"
           "[Exception]\r\nExceptionFlag=1\r\n";
}

// The old simple mode; her own ranges go into her own tables only.
std::string HanakoFile()
{
    return "[Option]\r\nLimitMode=1\r\n"
           "[LimitSettings]\r\nWeekend2=" + Range("13:00", "15:00") + "\r\n" +
           "[LimitModeSetting]\r\nDayMinute=20\r\n";
}

TEST_F(Upgrade, OptionsAndUsersThenTheMigratedPassword)
{
    WriteGlobalIni(FullGlobalIni());
    WriteUserFile(kTaro, TaroFile());
    WriteUserFile(L"hanako.ini", HanakoFile());
    ASSERT_TRUE(CreateDirectoryW((UsersFolder() + L"\\Old").c_str(), nullptr));  // a folder is no user

    Start(true, true,
          {{IDS_UPGRADE_OPTIONS_CAPTION, IDS_UPGRADE_OPTIONS_DONE},
           {IDS_UPGRADE_SIMPLE_MODE_CAPTION, IDS_UPGRADE_SIMPLE_MODE}},
          {{IDS_UPGRADE_USERS_CAPTION, IDS_UPGRADE_USERS_DONE},
           {IDS_UPGRADE_SIMPLE_USERS_CAPTION, IDS_UPGRADE_SIMPLE_USERS},
           {IDS_UPGRADE_RANGES_CAPTION, IDS_UPGRADE_RANGES},
           {IDS_UPGRADE_EXCEPTIONS_CAPTION, IDS_UPGRADE_EXCEPTIONS}},
          L"editor_upgrade_question");

    // The lock that came over is asked for before anything else.
    HWND prompt = AwaitDialog(L"パスワードの入力");
    ASSERT_TRUE(prompt);
    const OptionData options = StoredOptions();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_SHUTDOWN), options.TimeOutMode);
    EXPECT_EQ(0u, options.Amusement);
    EXPECT_EQ(GetPasswordHashW(kSecret), options.PasswordLockHash);  // read in code page 932
    e2e::SetControlText(prompt, IDC_PASSWORD_EDIT, kSecret);
    e2e::Click(prompt, IDOK);
    ASSERT_TRUE(AwaitMain());
    EXPECT_EQ((std::vector<std::wstring>{editor::kSimpleModeGroup}),
              ListTexts(GetDlgItem(main_, IDC_GROUPS_LIST)));
    std::vector<std::wstring> users = ListTexts(GetDlgItem(main_, IDC_USERS_LIST));
    std::sort(users.begin(), users.end());
    EXPECT_EQ((std::vector<std::wstring>{L"hanako.ini", kTaro}), users);  // the extension stays in the name
    Shot(L"editor_upgrade_main");

    GroupData group{};
    ASSERT_EQ(11, ReadGroupDataW(editor::kSimpleModeGroup, &group));
    EXPECT_EQ(static_cast<uint32_t>(GROUP_DAILY), group.LimitMode);
    EXPECT_EQ(Span(9, 12), Allowed(group.TodayLimitTable));

    UserData taro{};
    ASSERT_GT(ReadUserDataW(kTaro, &taro), 0);
    EXPECT_EQ(LIMIT_DAY_OF_WEEK | LIMIT_CARRY_OVER_FLAG, taro.LimitMode);
    EXPECT_EQ(Span(6, 7), Allowed(taro.TodayLimitTable));
    EXPECT_TRUE(Allowed(taro.WeeklyLimitTable1).empty());
    EXPECT_TRUE(Allowed(taro.WeeklyLimitTable2).empty());
    EXPECT_EQ(Span(1, 2), StoredTable(kTaro, L"LimitTable (Mon)"));
    EXPECT_EQ(Span(2, 3), StoredTable(kTaro, L"LimitTable (Thu)"));  // Tuesday
    EXPECT_EQ(Span(3, 4), StoredTable(kTaro, L"LimitTable (Wed)"));
    EXPECT_EQ(Span(4, 6), StoredTable(kTaro, L"LimitTable (The)"));  // Thursday
    EXPECT_EQ(Span(22, 24), StoredTable(kTaro, L"LimitTable (Fri)"));
    EXPECT_TRUE(StoredTable(kTaro, L"LimitTable (Sat)").empty());
    EXPECT_TRUE(StoredTable(kTaro, L"LimitTable (Sun)").empty());
    EXPECT_EQ(1u, taro.LimitModeFlag);
    EXPECT_EQ(30u, taro.LimitModeTimeDay);     // kept, though the editor would refuse it
    EXPECT_EQ(30u, taro.LimitModeTimeHalfAM);  // 150 corrected
    EXPECT_EQ(0u, taro.LimitModeTimeHalfPM);   // 0 kept

    UserData hanako{};
    ASSERT_GT(ReadUserDataW(L"hanako.ini", &hanako), 0);
    EXPECT_EQ(static_cast<uint32_t>(LIMIT_GROUP), hanako.LimitMode);
    EXPECT_EQ(std::wstring(editor::kSimpleModeGroup), reinterpret_cast<const wchar_t*>(hanako.Group));
    EXPECT_EQ(Span(13, 15), Allowed(hanako.WeeklyLimitTable2));
    // Nothing of the user before her.
    EXPECT_TRUE(Allowed(hanako.TodayLimitTable).empty());
    for (int day = 0; day < CFW_DAYS; ++day)
        EXPECT_TRUE(Allowed(hanako.DayLimitTable[day]).empty()) << day;
    EXPECT_EQ(0u, hanako.LimitModeFlag);
    EXPECT_EQ(60u, hanako.LimitModeTimeDay);  // 20 corrected
    EXPECT_EQ(30u, hanako.LimitModeTimeHalfAM);
    EXPECT_FALSE(KeyExists(UsersKey(L"Old")));
    CloseWithOk();
}

TEST_F(Upgrade, OptionsOnly)
{
    // An old action that cannot be told: log off, with its notice; a simple
    // mode without a range: the group all the same, without its notice.
    WriteGlobalIni("[Options]\r\nTimeOutActionMode=0\r\n[LimitSettings]\r\nDaily=No Limit\r\n");
    WriteUserFile(L"taro", TaroFile());
    WriteOptions(TIMEOUT_FORCE_SHUTDOWN, PASSWORD_LOCK_OFF);

    Start(true, false,
          {{IDS_UPGRADE_OPTIONS_CAPTION, IDS_UPGRADE_OPTIONS_DONE},
           {IDS_UPGRADE_TIMEOUT_RESET_CAPTION, IDS_UPGRADE_TIMEOUT_RESET}},
          {});
    ExpectMainWindow();  // no lock came over
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_LOGOFF), StoredOptions().TimeOutMode);
    EXPECT_EQ(PASSWORD_LOCK_OFF, StoredOptions().PasswordLockHash);
    GroupData group{};
    ASSERT_EQ(11, ReadGroupDataW(editor::kSimpleModeGroup, &group));
    const GroupData empty{};
    EXPECT_EQ(0, memcmp(&empty, &group, sizeof group));
    EXPECT_TRUE(SubkeyNames(CFW_REG_USERS_W).empty());
    CloseWithOk();
}

TEST_F(Upgrade, UsersOnly)
{
    WriteGlobalIni(FullGlobalIni());
    WriteUserFile(L"hanako.ini", HanakoFile());
    WriteOptions(TIMEOUT_FORCE_LOGOFF, PASSWORD_LOCK_OFF);

    Start(false, true, {},
          {{IDS_UPGRADE_USERS_CAPTION, IDS_UPGRADE_USERS_DONE},
           {IDS_UPGRADE_SIMPLE_USERS_CAPTION, IDS_UPGRADE_SIMPLE_USERS},
           {IDS_UPGRADE_RANGES_CAPTION, IDS_UPGRADE_RANGES}});
    ExpectMainWindow();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_FORCE_LOGOFF), StoredOptions().TimeOutMode);
    EXPECT_EQ(PASSWORD_LOCK_OFF, StoredOptions().PasswordLockHash);
    // The user upgrade names the group but does not create it.
    EXPECT_FALSE(KeyExists(GroupsKey(editor::kSimpleModeGroup)));
    EXPECT_EQ((std::vector<std::wstring>{L"hanako.ini"}), SubkeyNames(CFW_REG_USERS_W));
    CloseWithOk();
}

TEST_F(Upgrade, NeitherWritesNothing)
{
    WriteGlobalIni(FullGlobalIni());
    WriteUserFile(L"taro", TaroFile());
    WriteOptions(TIMEOUT_SHUTDOWN, PASSWORD_LOCK_OFF);

    Start(false, false, {}, {});
    ExpectMainWindow();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_SHUTDOWN), StoredOptions().TimeOutMode);
    EXPECT_TRUE(SubkeyNames(CFW_REG_GROUPS_W).empty());
    EXPECT_TRUE(SubkeyNames(CFW_REG_USERS_W).empty());
    CloseWithOk();
}

TEST_F(Upgrade, NoGlobalIni)
{
    // Its keys at their defaults: log off, no lock, an empty group.
    WriteUserFile(L"taro", "[Option]\r\nLimitMode=2\r\n[LimitSettings]\r\nDaily=" + Range("08:30", "17:30") + "\r\n");
    WriteOptions(TIMEOUT_SHUTDOWN, GetPasswordHashW(L"before"));

    Start(true, true, {{IDS_UPGRADE_OPTIONS_CAPTION, IDS_UPGRADE_OPTIONS_DONE}},
          {{IDS_UPGRADE_USERS_CAPTION, IDS_UPGRADE_USERS_DONE}, {IDS_UPGRADE_RANGES_CAPTION, IDS_UPGRADE_RANGES}});
    ExpectMainWindow();  // the lock that was set is gone
    const OptionData options = StoredOptions();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_LOGOFF), options.TimeOutMode);
    EXPECT_EQ(PASSWORD_LOCK_OFF, options.PasswordLockHash);
    EXPECT_TRUE(KeyExists(GroupsKey(editor::kSimpleModeGroup)));
    UserData taro{};
    ASSERT_GT(ReadUserDataW(L"taro", &taro), 0);
    EXPECT_EQ(static_cast<uint32_t>(LIMIT_DAILY), taro.LimitMode);
    EXPECT_EQ(Span(8, 17), Allowed(taro.TodayLimitTable));
    CloseWithOk();
}

TEST_F(Upgrade, NoUsersFolder)
{
    WriteGlobalIni("[Options]\r\nTimeOutActionMode=7\r\n");
    Start(true, true,
          {{IDS_UPGRADE_OPTIONS_CAPTION, IDS_UPGRADE_OPTIONS_DONE},
           {IDS_UPGRADE_TIMEOUT_RESET_CAPTION, IDS_UPGRADE_TIMEOUT_RESET}},
          {{IDS_UPGRADE_USERS_CAPTION, IDS_UPGRADE_USERS_DONE}});
    ExpectMainWindow();
    EXPECT_EQ(static_cast<uint32_t>(TIMEOUT_LOGOFF), StoredOptions().TimeOutMode);
    EXPECT_TRUE(SubkeyNames(CFW_REG_USERS_W).empty());
    CloseWithOk();
}

}  // namespace
