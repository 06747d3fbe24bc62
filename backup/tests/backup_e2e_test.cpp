// The real cfwBackup.exe under Wine: backups of a seeded registry checked byte
// by byte, restores onto an emptied one, the password-lock questions, the
// single instance and the messages. The tests type the path into the path
// field, as a user may; the save dialog is driven once.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "cfwCommon.h"
#include "e2e.h"
#include "names.h"

using namespace std::chrono_literals;

namespace {

const wchar_t kTitle[] = L"Halvern Curfew バックアップ ツール";
constexpr int kModeRestore = 1002, kPathLabel = 1003, kPath = 1004, kBrowseSave = 1006, kNoteText = 1010,
              kAbout = 1009;
constexpr int kRestoreOptions = 1000, kRestoreUsers = 1001, kRestoreGroups = 1002;

// The running account's state values, which every user record carries.
constexpr int64_t kLastLogin = 0x1122334455667788LL;
constexpr uint32_t kRemain = 0x00010203, kHidden = 1;

std::wstring UserName()
{
    wchar_t name[64] = L"";
    DWORD size = ARRAYSIZE(name);
    GetUserNameW(name, &size);
    return name;
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

std::vector<uint8_t> ReadFileBytes(const std::wstring& path)
{
    std::vector<uint8_t> b;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        uint8_t buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0)
            b.insert(b.end(), buf, buf + n);
        fclose(f);
    }
    return b;
}

void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& b)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_TRUE(f);
    fwrite(b.data(), 1, b.size(), f);
    fclose(f);
}

// Ten distinct hour tables, each shifted by `seed`.
void FillTables(uint8_t* tables, int seed)
{
    for (int i = 0; i < 240; ++i)
        tables[i] = (i + seed) % 3 == 0 ? 1 : 0;
}

UserData SeedUser(uint32_t mode, const wchar_t* group, int seed)
{
    UserData u{};
    u.LimitMode = mode;
    wcscpy(u.Group, group);
    FillTables(u.TodayLimitTable, seed);
    u.LimitModeFlag = seed & 1;
    u.LimitModeTimeDay = 60 + seed;
    u.LimitModeTimeHalfAM = 30 + seed;
    u.LimitModeTimeHalfPM = 90 + seed;
    return u;
}

GroupData SeedGroup(uint32_t mode, int seed)
{
    GroupData g{};
    g.LimitMode = mode;
    FillTables(g.TodayLimitTable, seed);
    return g;
}

// The settings values (rows 1 to 16) of two user records.
void ExpectSameSettings(const UserData& a, const UserData& b, const wchar_t* who)
{
    EXPECT_EQ(a.LimitMode, b.LimitMode) << who;
    EXPECT_EQ(std::wstring(a.Group), std::wstring(b.Group)) << who;
    EXPECT_EQ(memcmp(a.TodayLimitTable, b.TodayLimitTable, 240), 0) << who;
    EXPECT_EQ(a.LimitModeFlag, b.LimitModeFlag) << who;
    EXPECT_EQ(a.LimitModeTimeDay, b.LimitModeTimeDay) << who;
    EXPECT_EQ(a.LimitModeTimeHalfAM, b.LimitModeTimeHalfAM) << who;
    EXPECT_EQ(a.LimitModeTimeHalfPM, b.LimitModeTimeHalfPM) << who;
}

bool KeyExists(const std::wstring& path)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
std::wstring UserKey(const wchar_t* name) { return std::wstring(CFW_REG_USERS_W L"\\") + name; }
std::wstring GroupKey(const wchar_t* name) { return std::wstring(CFW_REG_GROUPS_W L"\\") + name; }

// The expected file, built from the record tables' offsets.
class ExpectedFile {
public:
    explicit ExpectedFile(size_t size) : b_(size, 0) {}
    void U32(size_t at, uint32_t v) { memcpy(&b_[at], &v, 4); }
    void I64(size_t at, int64_t v) { memcpy(&b_[at], &v, 8); }
    void Ascii(size_t at, const wchar_t* s)
    {
        for (size_t i = 0; s[i]; ++i)
            b_[at + i] = static_cast<uint8_t>(s[i]);
    }
    void Wide(size_t at, const wchar_t* s) { memcpy(&b_[at], s, wcslen(s) * 2); }
    void Bytes(size_t at, const void* p, size_t n) { memcpy(&b_[at], p, n); }

    void NarrowUser(size_t r, const wchar_t* name, const UserData& u)
    {
        Ascii(r, name);
        U32(r + 24, u.LimitMode);
        Ascii(r + 28, u.Group);
        Bytes(r + 60, u.TodayLimitTable, 240);
        U32(r + 300, u.LimitModeFlag);
        U32(r + 304, u.LimitModeTimeDay);
        U32(r + 308, u.LimitModeTimeHalfAM);
        U32(r + 312, u.LimitModeTimeHalfPM);
        I64(r + 320, kLastLogin);
        U32(r + 328, kRemain);
        U32(r + 332, kHidden);
    }
    void WideUser(size_t r, const wchar_t* name, const UserData& u)
    {
        Wide(r, name);
        U32(r + 40, u.LimitMode);
        Wide(r + 44, u.Group);
        Bytes(r + 108, u.TodayLimitTable, 240);
        U32(r + 348, u.LimitModeFlag);
        U32(r + 352, u.LimitModeTimeDay);
        U32(r + 356, u.LimitModeTimeHalfAM);
        U32(r + 360, u.LimitModeTimeHalfPM);
        I64(r + 368, kLastLogin);
        U32(r + 376, kRemain);
        U32(r + 380, kHidden);
    }
    void Group(size_t r, size_t dataAt, const wchar_t* name, const GroupData& g, bool wide)
    {
        wide ? Wide(r, name) : Ascii(r, name);
        U32(r + dataAt, g.LimitMode);
        Bytes(r + dataAt + 4, g.TodayLimitTable, 240);
    }
    const std::vector<uint8_t>& bytes() const { return b_; }

private:
    std::vector<uint8_t> b_;
};

class BackupTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W);
        e2e::DeleteTree(HKEY_CURRENT_USER, CFW_REG_ROOT_W);
        UserData state{};
        state.LastLoginDate = kLastLogin;
        state.LimitModeRemain = kRemain;
        state.HiddenButton = kHidden;
        ASSERT_EQ(1, WriteUserDataW(UserName().c_str(), &state, 1));
    }
    void TearDown() override
    {
        if (tool_.Running())
            tool_.Kill();
    }

    void Seed()
    {
        alice_ = SeedUser(LIMIT_GROUP, L"kids", 1);
        bob_ = SeedUser(LIMIT_TIMER | LIMIT_CARRY_OVER_FLAG, L"", 2);
        kids_ = SeedGroup(GROUP_DAY_OF_WEEK, 5);
        ASSERT_EQ(1, WriteUserDataW(L"alice", &alice_, 0));
        ASSERT_EQ(1, WriteUserDataW(L"bob", &bob_, 0));
        ASSERT_EQ(1, WriteGroupDataW(L"kids", &kids_));
        SetOptions({TIMEOUT_SHUTDOWN, 1, PASSWORD_LOCK_OFF});
    }
    static void SetOptions(OptionData o) { ASSERT_EQ(1, WriteOptionDataW(&o)); }
    static OptionData Options()
    {
        OptionData o{};
        ReadOptionDataW(&o);
        return o;
    }
    // Everything the tool restores is gone; the account's state stays.
    static void EmptyRegistry() { e2e::DeleteTree(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W); }

    HWND StartTool()
    {
        tool_ = e2e::Start(hv::names::kBackupFile);
        if (!tool_)
            return nullptr;
        main_ = e2e::AwaitWindow(L"#32770", kTitle, tool_.pid(), 15s);
        return main_;
    }

    std::optional<e2e::MessageBoxInfo> Box(const wchar_t* caption) { return e2e::AwaitMessageBox(tool_.pid(), caption, 20s); }

    // Answers a box and returns its text.
    std::wstring Answer(const wchar_t* caption, int button, const wchar_t* screenshot = nullptr)
    {
        auto box = Box(caption);
        if (!box)
            return L"(no box " + std::wstring(caption) + L")";
        if (screenshot) {
            Sleep(300);
            e2e::Screenshot(screenshot);
        }
        e2e::Answer(*box, button);
        return box->text;
    }

    // Start in backup mode with `path`; the completion box's text.
    std::wstring RunBackup(const std::wstring& path, const wchar_t* screenshot = nullptr,
                           const wchar_t* doneCaption = L"バックアップ完了")
    {
        e2e::SetControlText(main_, kPath, path);
        e2e::Click(main_, IDOK);
        Answer(L"バックアップ開始確認", IDYES);
        return Answer(doneCaption, IDOK, screenshot);
    }

    void SwitchToRestore()
    {
        e2e::Click(main_, kModeRestore);
        e2e::Await("restore mode", [&] { return e2e::ControlText(main_, kPathLabel) == L"バックアップ元ファイルへのパス(&P):"; }, 5s);
    }

    // Opens the restore dialog for `path` and leaves ticked only `ticks`.
    HWND OpenRestore(const std::wstring& path, std::initializer_list<int> ticks = {kRestoreOptions, kRestoreUsers, kRestoreGroups})
    {
        SwitchToRestore();
        e2e::SetControlText(main_, kPath, path);
        e2e::Click(main_, IDOK);
        HWND dlg = e2e::AwaitWindow(L"#32770", L"バックアップから復元", tool_.pid());
        if (!dlg)
            return nullptr;
        for (int id : {kRestoreOptions, kRestoreUsers, kRestoreGroups}) {
            const bool want = std::find(ticks.begin(), ticks.end(), id) != ticks.end();
            if (!want) {
                SendMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
                EXPECT_EQ(SendMessageW(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0), BST_UNCHECKED);
            }
        }
        return dlg;
    }

    // Runs the restore and returns the closing message; `lockAnswer` answers
    // a password-lock question (0: none may come).
    std::wstring Restore(HWND dlg, int lockAnswer = 0, std::wstring* question = nullptr,
                         const wchar_t* screenshot = nullptr)
    {
        e2e::Click(dlg, IDOK);
        Answer(L"復元開始確認", IDYES);
        if (lockAnswer) {
            const std::wstring text = Answer(L"警告", lockAnswer, screenshot);
            if (question)
                *question = text;
        }
        auto done = Box(L"復元完了");
        if (!done)
            return L"(no closing box)";
        // No (further) lock question came first.
        EXPECT_FALSE(e2e::FindMessageBox(tool_.pid(), L"警告"));
        e2e::Answer(*done, IDOK);
        e2e::Await("restore dialog closed", [&] { return !IsWindow(dlg); }, 5s);
        return done->text;
    }

    std::wstring BackupOfSeed(const wchar_t* name)
    {
        Seed();
        const std::wstring path = TempFile(name);
        if (!StartTool())
            return path;
        EXPECT_EQ(RunBackup(path), L"バックアップが完了しました。");
        return path;
    }

    // Keeps a copy of a file the tool wrote, for the reader's corpus.
    static void KeepForCorpus(const std::wstring& path, const wchar_t* name)
    {
        CopyFileW(path.c_str(), (e2e::ArtifactDir() + L"\\" + name).c_str(), FALSE);
    }

    e2e::Process tool_;
    HWND main_ = nullptr;
    UserData alice_{}, bob_{};
    GroupData kids_{};
};

const wchar_t kDone[] = L"バックアップからの復元が完了しました。";
const wchar_t kPartial[] =
    L"バックアップからの復元が完了しましたが、復元できなかった項目が一部あります。\n"
    L"設定ユーティリティを起動して設定内容を確認することをお勧めします。";

TEST_F(BackupTool, BackupOfSeededUsersAndGroupsByteByByte)
{
    const std::wstring path = BackupOfSeed(L"seeded.cfwb");
    e2e::Screenshot(L"backup_main");
    const std::vector<uint8_t> file = ReadFileBytes(path);
    ASSERT_EQ(file.size(), 2040u);

    ExpectedFile x(2040);
    x.Bytes(0, "CFWB", 4);
    x.U32(4, 40);
    x.U32(8, GetACP());
    x.U32(12, 3);
    x.U32(16, 2);
    x.U32(20, 1);
    x.U32(24, 52);
    x.U32(28, 1492);
    x.U32(32, 724);
    x.U32(36, 1756);
    x.U32(40, TIMEOUT_SHUTDOWN);
    x.U32(44, 1);
    x.U32(48, PASSWORD_LOCK_OFF);
    x.NarrowUser(52, L"alice", alice_);
    x.NarrowUser(52 + 336, L"bob", bob_);
    x.WideUser(724, L"alice", alice_);
    x.WideUser(724 + 384, L"bob", bob_);
    x.Group(1492, 20, L"kids", kids_, false);
    x.Group(1756, 40, L"kids", kids_, true);
    for (size_t i = 0; i < file.size(); ++i)
        ASSERT_EQ(file[i], x.bytes()[i]) << "first difference at offset " << i;
    EXPECT_EQ(GetACP(), 932u);
    KeepForCorpus(path, L"two_users_one_group.cfwb");
}

// The narrow copy of every record is what the store's narrow read gives, also
// for names in the ANSI code page's double-byte characters.
TEST_F(BackupTool, NarrowRecordsAreWhatTheNarrowReadGives)
{
    const wchar_t kUser[] = L"たろう", kGroup[] = L"小学生グループ";
    const UserData u = SeedUser(LIMIT_GROUP, kGroup, 6);
    const GroupData g = SeedGroup(GROUP_WEEKDAY_WEEKEND, 7);
    ASSERT_EQ(1, WriteUserDataW(kUser, &u, 0));
    ASSERT_EQ(1, WriteGroupDataW(kGroup, &g));
    const std::wstring path = TempFile(L"japanese.cfwb");
    ASSERT_TRUE(StartTool());
    EXPECT_EQ(RunBackup(path), L"バックアップが完了しました。");
    const std::vector<uint8_t> b = ReadFileBytes(path);
    ASSERT_EQ(b.size(), 52u + 720 + 548);
    KeepForCorpus(path, L"japanese_names.cfwb");

    char ansiUser[20] = {}, ansiGroup[20] = {};
    WideCharToMultiByte(CP_ACP, 0, kUser, -1, ansiUser, sizeof ansiUser, nullptr, nullptr);
    WideCharToMultiByte(CP_ACP, 0, kGroup, -1, ansiGroup, sizeof ansiGroup, nullptr, nullptr);
    EXPECT_EQ(memcmp(&b[52], ansiUser, sizeof ansiUser), 0);
    UserDataA a;
    memset(&a, 0, sizeof a);
    ASSERT_GE(ReadUserDataA(ansiUser, &a), 16);
    EXPECT_STREQ(a.Group, ansiGroup);
    EXPECT_EQ(memcmp(&b[52 + 24], &a, sizeof a), 0) << "narrow user record";
    EXPECT_EQ(memcmp(&b[52 + 720], ansiGroup, sizeof ansiGroup), 0);
    GroupData ga{};
    ASSERT_EQ(ReadGroupDataA(ansiGroup, &ga), 11);
    EXPECT_EQ(memcmp(&b[52 + 720 + 20], &ga, sizeof ga), 0) << "narrow group record";
    EXPECT_EQ(memcmp(&b[52 + 336], kUser, sizeof kUser), 0);
}

// No key was ever made: still a backup, of the options alone; a missing
// Groups key beside registered users is an empty section.
TEST_F(BackupTool, MissingKeysAreEmptySections)
{
    const std::wstring empty = TempFile(L"empty.cfwb"), usersOnly = TempFile(L"users_only.cfwb");
    ASSERT_TRUE(StartTool());
    EXPECT_EQ(RunBackup(empty), L"バックアップが完了しました。");
    std::vector<uint8_t> b = ReadFileBytes(empty);
    ASSERT_EQ(b.size(), 52u);
    for (size_t at : {24, 28, 32, 36})
        EXPECT_EQ(*reinterpret_cast<const uint32_t*>(&b[at]), 52u) << at;
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(&b[48]), PASSWORD_LOCK_OFF);
    KeepForCorpus(empty, L"no_keys.cfwb");

    const UserData u = SeedUser(LIMIT_DAILY, L"", 3);
    ASSERT_EQ(1, WriteUserDataW(L"carol", &u, 0));
    EXPECT_EQ(RunBackup(usersOnly), L"バックアップが完了しました。");
    b = ReadFileBytes(usersOnly);
    ASSERT_EQ(b.size(), 52u + 720);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(&b[16]), 1u);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(&b[20]), 0u);
    KeepForCorpus(usersOnly, L"one_user_no_groups.cfwb");
}

TEST_F(BackupTool, RestoreOntoAnEmptyRegistryLeavesTheStateValues)
{
    const std::wstring path = BackupOfSeed(L"full.cfwb");
    EmptyRegistry();
    // The running account's state changes after the backup: a restore must
    // not bring the old values back.
    UserData state{};
    state.LastLoginDate = 42;
    state.LimitModeRemain = 7;
    ASSERT_EQ(1, WriteUserDataW(UserName().c_str(), &state, 1));

    HWND dlg = OpenRestore(path);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main_, IDOK)));
    EXPECT_EQ(e2e::ControlText(main_, kNoteText), L"");  // an elevated administrator
    Sleep(300);
    e2e::Screenshot(L"backup_restore_dialog");
    EXPECT_EQ(Restore(dlg), kDone);

    UserData a{}, b{};
    ReadUserDataW(L"alice", &a);
    ReadUserDataW(L"bob", &b);
    ExpectSameSettings(a, alice_, L"alice");
    ExpectSameSettings(b, bob_, L"bob");
    GroupData g{};
    ASSERT_EQ(ReadGroupDataW(L"kids", &g), 11);
    EXPECT_EQ(memcmp(&g, &kids_, sizeof g), 0);
    const OptionData o = Options();
    EXPECT_EQ(o.TimeOutMode, static_cast<uint32_t>(TIMEOUT_SHUTDOWN));
    EXPECT_EQ(o.Amusement, 1u);
    EXPECT_EQ(o.PasswordLockHash, PASSWORD_LOCK_OFF);
    UserData now{};
    ReadUserDataW(UserName().c_str(), &now);
    EXPECT_EQ(now.LastLoginDate, 42);
    EXPECT_EQ(now.LimitModeRemain, 7u);
    EXPECT_EQ(now.HiddenButton, 0u);
}

TEST_F(BackupTool, OnlyGroupsTicked)
{
    const std::wstring path = BackupOfSeed(L"groups.cfwb");
    EmptyRegistry();
    SetOptions({TIMEOUT_LOGOFF, 0, PASSWORD_LOCK_OFF});
    HWND dlg = OpenRestore(path, {kRestoreGroups});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg), kDone);
    EXPECT_TRUE(KeyExists(GroupKey(L"kids")));
    EXPECT_FALSE(KeyExists(UserKey(L"alice")));
    EXPECT_FALSE(KeyExists(UserKey(L"bob")));
    EXPECT_EQ(Options().TimeOutMode, static_cast<uint32_t>(TIMEOUT_LOGOFF));

    // Nothing ticked: OK is not available.
    dlg = OpenRestore(path, {});
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
    e2e::Click(dlg, IDCANCEL);
    e2e::Await("restore dialog cancelled", [&] { return !IsWindow(dlg); }, 5s);
}

// The three questions, each answered once; every other option comes from the
// file as it is.
TEST_F(BackupTool, PasswordLockReconciliation)
{
    const uint32_t a = GetPasswordHashW(L"current"), b = GetPasswordHashW(L"backed");
    const std::wstring unlocked = BackupOfSeed(L"unlocked.cfwb");

    // The lock is on here, off in the backup; Cancel keeps the password.
    SetOptions({TIMEOUT_LOGOFF, 0, a});
    HWND dlg = OpenRestore(unlocked, {kRestoreOptions});
    ASSERT_TRUE(dlg);
    std::wstring question;
    EXPECT_EQ(Restore(dlg, IDCANCEL, &question), kDone);
    EXPECT_EQ(question.find(L"現在パスワード ロックが有効になっていますが、バックアップ元で"), 0u);
    EXPECT_EQ(Options().PasswordLockHash, a);
    EXPECT_EQ(Options().TimeOutMode, static_cast<uint32_t>(TIMEOUT_SHUTDOWN));

    // OK removes it.
    dlg = OpenRestore(unlocked, {kRestoreOptions});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg, IDOK), kDone);
    EXPECT_EQ(Options().PasswordLockHash, PASSWORD_LOCK_OFF);

    // A backup made under a lock: the tool asks for the password first.
    tool_.Kill();
    SetOptions({TIMEOUT_FORCE_LOGOFF, 0, b});
    ASSERT_TRUE(StartTool());
    HWND prompt = e2e::AwaitWindow(L"#32770", L"パスワードの入力", tool_.pid());
    ASSERT_TRUE(prompt);
    Sleep(300);
    e2e::Screenshot(L"backup_password_prompt");
    e2e::SetControlText(prompt, 1000, L"backed");
    e2e::Click(prompt, IDOK);
    e2e::Await("password accepted", [&] { return !IsWindow(prompt); }, 5s);
    const std::wstring locked = TempFile(L"locked.cfwb");
    EXPECT_EQ(RunBackup(locked), L"バックアップが完了しました。");
    KeepForCorpus(locked, L"password_locked.cfwb");

    // Off here, on in the backup: OK sets the backup's lock.
    SetOptions({TIMEOUT_LOGOFF, 0, PASSWORD_LOCK_OFF});
    dlg = OpenRestore(locked, {kRestoreOptions});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg, IDOK, &question), kDone);
    EXPECT_EQ(question.find(L"バックアップ元でパスワード ロックが有効になっていることが検出されました。"), 0u);
    EXPECT_EQ(Options().PasswordLockHash, b);
    EXPECT_EQ(Options().TimeOutMode, static_cast<uint32_t>(TIMEOUT_FORCE_LOGOFF));

    // Both on with different passwords: Cancel keeps the current one.
    SetOptions({TIMEOUT_LOGOFF, 0, a});
    dlg = OpenRestore(locked, {kRestoreOptions});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg, IDCANCEL, &question, L"backup_lock_question"), kDone);
    EXPECT_EQ(question.find(L"バックアップ元、復元先共にパスワード ロックが有効になっていますが"), 0u);
    EXPECT_EQ(Options().PasswordLockHash, a);
}

TEST_F(BackupTool, CancelledPasswordPromptEndsTheTool)
{
    SetOptions({0, 0, GetPasswordHashW(L"secret")});
    ASSERT_TRUE(StartTool());
    HWND prompt = e2e::AwaitWindow(L"#32770", L"パスワードの入力", tool_.pid());
    ASSERT_TRUE(prompt);
    e2e::Click(prompt, IDCANCEL);
    const auto code = tool_.Wait(10000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
}

TEST_F(BackupTool, SecondStartRaisesTheFirst)
{
    ASSERT_TRUE(StartTool());
    ShowWindow(main_, SW_MINIMIZE);
    e2e::Await("first minimised", [&] { return IsIconic(main_) != FALSE; }, 5s);
    e2e::Process second = e2e::Start(hv::names::kBackupFile);
    ASSERT_TRUE(second);
    const auto code = second.Wait(15000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
    e2e::Await("first restored", [&] { return !IsIconic(main_); }, 5s);
    EXPECT_TRUE(tool_.Running());
    EXPECT_EQ(e2e::FindWindows(L"#32770", kTitle).size(), 1u);
}

TEST_F(BackupTool, EmptyPathAsksForAFile)
{
    ASSERT_TRUE(StartTool());
    e2e::Click(main_, IDOK);
    auto box = Box(L"開始エラー");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"ファイルを指定してください。");
    Sleep(300);
    e2e::Screenshot(L"backup_start_error");
    e2e::Answer(*box, IDOK);
    EXPECT_FALSE(e2e::WaitForMessageBox(tool_.pid(), nullptr, 1s));

    // The same in restore mode: no restore dialog.
    SwitchToRestore();
    // Wine runs every administrator elevated, so the note never shows there:
    // its longest text is put in place for a look at the layout.
    e2e::SetControlText(main_, kNoteText,
                        L"現在、標準権限で実行しているため、バックアップの復元は行えません。復元操作を行うには "
                        L"Halvern Curfew バックアップ ツールを管理者として再起動してください。");
    Sleep(300);
    e2e::Screenshot(L"backup_main_restore_mode");
    e2e::SetControlText(main_, kNoteText, L"");
    e2e::Click(main_, IDOK);
    EXPECT_EQ(Answer(L"開始エラー", IDOK), L"ファイルを指定してください。");
    EXPECT_FALSE(e2e::WaitForWindow(L"#32770", L"バックアップから復元", tool_.pid(), 1s));
}

TEST_F(BackupTool, UnwritableTargetIsAFailedBackup)
{
    ASSERT_TRUE(StartTool());
    const std::wstring text = RunBackup(TempFile(L"no-such-folder\\x.cfwb"), nullptr, L"バックアップ失敗");
    EXPECT_EQ(text, L"バックアップ中にエラーが発生しました。");
}

// The save dialog, driven once: its title, and the default extension it adds.
TEST_F(BackupTool, SaveDialogAddsTheExtension)
{
    ASSERT_TRUE(StartTool());
    e2e::Click(main_, kBrowseSave);
    HWND save = e2e::AwaitWindow(L"#32770", L"バックアップ先の指定", tool_.pid());
    ASSERT_TRUE(save);
    Sleep(500);
    e2e::Screenshot(L"backup_save_dialog");
    const std::wstring base = TempFile(L"chosen");
    // The file name box: a combo box in the Explorer-style dialog, an edit in others.
    HWND name = GetDlgItem(save, 0x47C) ? GetDlgItem(save, 0x47C) : GetDlgItem(save, 0x480);
    ASSERT_TRUE(name);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(base.c_str()));
    e2e::Click(save, IDOK);
    e2e::Await("save dialog closed", [&] { return !IsWindow(save); }, 10s);
    EXPECT_EQ(e2e::ControlText(main_, kPath), base + L".cfwb");
}

// Windows allows 20-character names; the name field holds 19. Such names are
// left out and named, never stored cut.
TEST_F(BackupTool, NamesTooLongForTheFileAreLeftOutAndNamed)
{
    Seed();
    const wchar_t kLongUser[] = L"abcdefghijklmnopqrst", kLongGroup[] = L"twenty-characters-gr";
    const UserData u = SeedUser(LIMIT_DAILY, L"", 4);
    ASSERT_EQ(1, WriteUserDataW(kLongUser, &u, 0));
    ASSERT_EQ(1, WriteGroupDataW(kLongGroup, &kids_));
    const std::wstring path = TempFile(L"long.cfwb");
    ASSERT_TRUE(StartTool());
    const std::wstring text = RunBackup(path, L"backup_names_left_out");
    EXPECT_EQ(text.find(L"バックアップが完了しましたが、"), 0u) << text;
    EXPECT_NE(text.find(kLongUser), std::wstring::npos) << text;
    EXPECT_NE(text.find(kLongGroup), std::wstring::npos) << text;
    const std::vector<uint8_t> b = ReadFileBytes(path);
    ASSERT_EQ(b.size(), 2040u);  // alice, bob and kids only
    KeepForCorpus(path, L"long_names_left_out.cfwb");

    EmptyRegistry();
    HWND dlg = OpenRestore(path);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg), kDone);
    EXPECT_TRUE(KeyExists(UserKey(L"alice")));
    EXPECT_TRUE(KeyExists(UserKey(L"bob")));
    HKEY users;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_USERS_W, 0, KEY_READ, &users), ERROR_SUCCESS);
    DWORD subkeys = 0;
    RegQueryInfoKeyW(users, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(users);
    EXPECT_EQ(subkeys, 2u);
}

// A truncated file restores what it wholly holds and says that the rest is
// missing; a file that is no backup restores nothing.
TEST_F(BackupTool, TruncatedAndForeignFiles)
{
    const std::wstring path = BackupOfSeed(L"whole.cfwb");
    std::vector<uint8_t> b = ReadFileBytes(path);
    ASSERT_EQ(b.size(), 2040u);
    b.resize(724 + 384 + 100);  // alice whole, bob cut, no groups
    const std::wstring cut = TempFile(L"cut.cfwb");
    WriteFileBytes(cut, b);

    EmptyRegistry();
    HWND dlg = OpenRestore(cut);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg), kPartial);
    EXPECT_TRUE(KeyExists(UserKey(L"alice")));
    EXPECT_FALSE(KeyExists(UserKey(L"bob")));
    EXPECT_FALSE(KeyExists(GroupKey(L"kids")));
    EXPECT_EQ(Options().TimeOutMode, static_cast<uint32_t>(TIMEOUT_SHUTDOWN));

    EmptyRegistry();
    b = ReadFileBytes(path);
    memcpy(b.data(), "CFWX", 4);
    const std::wstring foreign = TempFile(L"foreign.cfwb");
    WriteFileBytes(foreign, b);
    dlg = OpenRestore(foreign);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg), kPartial);
    EXPECT_FALSE(KeyExists(CFW_REG_ROOT_W));

    dlg = OpenRestore(TempFile(L"no-such-file.cfwb"));
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg), kPartial);
    EXPECT_FALSE(KeyExists(CFW_REG_ROOT_W));
}

// Registry writes that fail are not a success: a volatile Users key cannot
// hold the accounts' (non-volatile) keys.
TEST_F(BackupTool, FailedRegistryWritesArePartial)
{
    const std::wstring path = BackupOfSeed(L"unwritable.cfwb");
    EmptyRegistry();
    HKEY root, users;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(root, L"Users", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &users,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(users);
    RegCloseKey(root);
    UserData probe{};
    ASSERT_EQ(WriteUserDataW(L"probe", &probe, 0), 0) << "this registry lets a volatile key hold a lasting one";

    HWND dlg = OpenRestore(path, {kRestoreUsers});
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Restore(dlg), kPartial);
    EXPECT_FALSE(KeyExists(UserKey(L"alice")));
}

TEST_F(BackupTool, AboutBox)
{
    ASSERT_TRUE(StartTool());
    e2e::Click(main_, kAbout);
    HWND about = e2e::AwaitWindow(L"#32770", L"バージョン情報", tool_.pid());
    ASSERT_TRUE(about);
    EXPECT_EQ(e2e::ControlText(about, 1000), kTitle);
    EXPECT_EQ(e2e::ControlText(about, 1001), L"Version 1.02 (1.02.2012.925)");
    EXPECT_EQ(e2e::ControlText(about, 1003), L"このプログラムは 64 ビット (x64) 版です。");
    EXPECT_TRUE(GetDlgItem(about, 1005));
    Sleep(300);
    e2e::Screenshot(L"backup_about");
    e2e::Click(about, IDOK);
    e2e::Await("About box closed", [&] { return !IsWindow(about); }, 5s);
}

}  // namespace

namespace {

// The offer to restart elevated (dialog 504), shown by a probe built from the
// tool's own dialog code and resources: No keeps standard rights, Yes starts
// the program's own file again through "RunAs" and hands the mutex over.
TEST(ElevationOffer, NoKeepsStandardRightsYesRestartsTheProgram)
{
    const wchar_t probe[] = L"..\\test-bin\\backup_elevation_probe.exe";
    e2e::Process first = e2e::Start(probe);
    ASSERT_TRUE(first);
    HWND offer = e2e::AwaitWindow(L"#32770", kTitle, first.pid(), 15s);
    ASSERT_TRUE(offer);
    EXPECT_TRUE(GetDlgItem(offer, IDYES));
    EXPECT_TRUE(GetDlgItem(offer, IDNO));
    Sleep(300);
    e2e::Screenshot(L"backup_elevation_offer");
    e2e::Click(offer, IDYES);
    auto code = first.Wait(15000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, static_cast<DWORD>(IDYES));

    // The restarted copy found the mutex free and offers again; No ends it.
    HWND again = nullptr;
    e2e::Await("the restarted copy's offer", [&] {
        for (HWND w : e2e::FindWindows(L"#32770", kTitle))
            if (w != offer)
                again = w;
        return again != nullptr;
    }, 15s);
    ASSERT_TRUE(again);
    DWORD pid = 0;
    GetWindowThreadProcessId(again, &pid);
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    ASSERT_TRUE(h);
    e2e::Process second(h, pid);
    e2e::Click(again, IDNO);
    code = second.Wait(15000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, static_cast<DWORD>(IDNO));
}

}  // namespace
