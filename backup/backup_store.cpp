// Backup and restore through the settings store: the keys are enumerated
// here, the records read by the store's W functions and written by its A or
// W functions (as the file's format version says), and the file's bytes made
// and read by the codec.
#include "backup_store.h"

#include <algorithm>
#include <new>

#include "backup_format.h"
#include "backup_logic.h"
#include "cfwCommon.h"
#include "cfwHook.h"
#include "hvShared.h"
#include "raii.h"
#include "resource.h"

namespace backup {
namespace {

const wchar_t kUsersKey[] = CFW_REG_USERS_W;
const wchar_t kGroupsKey[] = CFW_REG_GROUPS_W;

// The sub-key names of HKLM\`path`; a key that does not exist has none.
bool SubKeyNames(const wchar_t* path, std::vector<std::wstring>& names)
{
    hv::RegKey key;
    const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.put());
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];  // the longest key name and its terminator
        DWORD length = ARRAYSIZE(name);
        const LONG r = RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS)
            return true;
        if (r != ERROR_SUCCESS)
            return false;
        names.emplace_back(name, length);
    }
}

// `text` in the ANSI code page. With `exact`, empty when a character has no
// exact equivalent there (a name would stand for another); without, as the
// system's narrow interfaces convert it.
std::string Ansi(const wchar_t* text, int length, bool exact)
{
    // UTF-8 holds every name and takes neither the flag nor the report.
    if (GetACP() == CP_UTF8)
        exact = false;
    const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL lossy = FALSE;
    BOOL* lossyOut = exact ? &lossy : nullptr;
    const int n = WideCharToMultiByte(CP_ACP, flags, text, length, nullptr, 0, nullptr, lossyOut);
    if (n <= 0 || lossy)
        return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, text, length, &out[0], n, nullptr, lossyOut);
    return lossy ? std::string() : out;
}

std::string AnsiName(const std::wstring& name) { return Ansi(name.c_str(), static_cast<int>(name.size()), true); }

std::string AnsiGroup(const UserData& u)
{
    const int length = static_cast<int>(wcsnlen(u.Group, CFW_GROUP_CHARS));
    return length ? Ansi(u.Group, length, false) : std::string();
}

std::u16string U16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// The whole of a backup file, read into memory (not mapped: a file on a
// medium that goes away would fault on a mapped page); empty when it cannot be
// read. A file larger than any backup of real settings is not read at all.
class FileBytes {
public:
    explicit FileBytes(const wchar_t* path)
    {
        hv::UniqueHandle file(
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxBytes)
            return;
        std::vector<uint8_t> bytes;
        try {
            bytes.resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            return;
        }
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD got = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
            if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr) || got == 0)
                break;
            done += got;
        }
        bytes.resize(done);  // a file cut while it was read ends where the reading ended
        bytes_ = std::move(bytes);
    }
    const uint8_t* data() const { return bytes_.empty() ? nullptr : bytes_.data(); }
    size_t size() const { return bytes_.size(); }

private:
    // 1 GiB: a backup of a million accounts is about 720 MB.
    static constexpr LONGLONG kMaxBytes = 1LL << 30;
    std::vector<uint8_t> bytes_;
};

// Writes every record the file holds for one restore: 1 when all were read
// and every write succeeded, else 0 (a failed write is not a success).
template <typename Record, typename Read, typename Write>
int RestoreRecords(const wchar_t* path, Read read, Write write)
{
    FileBytes file(path);
    std::vector<Record> records;
    const ReadStatus status = read(file.data(), file.size(), records);
    if (status == ReadStatus::Refused)
        return 0;
    bool written = true;
    for (const Record& r : records)
        if (write(r) != 1)
            written = false;
    return status == ReadStatus::Complete && written ? 1 : 0;
}

}  // namespace

CreateResult CreateBackupFile(const wchar_t* path)
{
    CreateResult result;
    hv::UniqueHandle file(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return result;

    OptionData options;
    ReadOptionDataW(&options);

    std::vector<std::wstring> userNames, groupNames;
    if (!SubKeyNames(kUsersKey, userNames) || !SubKeyNames(kGroupsKey, groupNames))
        return result;

    // Each record is read once, through the wide interface; its narrow copy
    // holds the same values with the group name converted as the narrow read
    // would convert it (a group record holds no text at all). Reading every
    // key a second time through the narrow interface doubled the time.
    std::vector<UserEntry> users(userNames.size());
    for (size_t i = 0; i < userNames.size(); ++i) {
        UserEntry& e = users[i];
        e.name = U16(userNames[i]);
        e.ansiName = AnsiName(userNames[i]);
        ReadUserDataW(userNames[i].c_str(), &e.wide);
        e.narrow = NarrowRecord(e.wide, AnsiGroup(e.wide));
    }
    std::vector<GroupEntry> groups(groupNames.size());
    for (size_t i = 0; i < groupNames.size(); ++i) {
        GroupEntry& e = groups[i];
        e.name = U16(groupNames[i]);
        e.ansiName = AnsiName(groupNames[i]);
        ReadGroupDataW(groupNames[i].c_str(), &e.wide);
        e.narrow = e.wide;
    }

    Encoded encoded = Encode(GetACP(), options, users, groups);
    result.leftOut = std::move(encoded.leftOut);
    result.ok = WriteAll(file.get(), encoded.bytes);
    return result;
}

int RestoreOptions(const wchar_t* path, HWND owner)
{
    OptionData current;
    ReadOptionDataW(&current);
    OptionData backedUp;
    {
        FileBytes file(path);
        if (ReadOptions(file.data(), file.size(), backedUp) != ReadStatus::Complete)
            return 0;
    }
    const LockQuestion question = LockQuestionFor(current.PasswordLockHash, backedUp.PasswordLockHash);
    bool ok = true;
    if (question != LockQuestion::None)
        ok = CFWHL_MessageBoxW(owner, hv::LoadText(LockQuestionText(question)).c_str(),
                               hv::LoadText(IDS_LOCK_CAPTION).c_str(),
                               MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) == IDOK;
    OptionData result = backedUp;
    result.PasswordLockHash = ReconciledLock(current.PasswordLockHash, backedUp.PasswordLockHash, ok);
    return WriteOptionDataW(&result) == 1 ? 1 : 0;
}

int RestoreUsers(const wchar_t* path)
{
    return RestoreRecords<RestoreUser>(path, ReadUsers, [](const RestoreUser& u) {
        const std::wstring name(u.name.begin(), u.name.end());
        return u.narrow ? WriteUserDataA(u.ansiName.c_str(), &u.recordA, 0) : WriteUserDataW(name.c_str(), &u.recordW, 0);
    });
}

int RestoreGroups(const wchar_t* path)
{
    return RestoreRecords<RestoreGroup>(path, ReadGroups, [](const RestoreGroup& g) {
        const std::wstring name(g.name.begin(), g.name.end());
        return g.narrow ? WriteGroupDataA(g.ansiName.c_str(), &g.record) : WriteGroupDataW(name.c_str(), &g.record);
    });
}

}  // namespace backup
