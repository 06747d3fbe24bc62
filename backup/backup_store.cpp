// Backup and restore through the settings store: the keys are enumerated
// here, the records read by the store's W functions and written by its A or
// W functions (as the file's format version says), and the file's bytes made
// and read by the codec.
#include "backup_store.h"

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

// A backup file opened for reading, mapped whole; empty when it cannot be
// opened (or holds nothing).
class MappedFile {
public:
    explicit MappedFile(const wchar_t* path)
        : file_(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr))
    {
        LARGE_INTEGER size{};
        if (!file_ || !GetFileSizeEx(file_.get(), &size) || size.QuadPart <= 0)
            return;
        if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX)
            return;
        hv::UniqueHandle mapping(CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!mapping)
            return;
        view_.reset(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
        if (view_)
            size_ = static_cast<size_t>(size.QuadPart);
    }
    const uint8_t* data() const { return static_cast<const uint8_t*>(view_.get()); }
    size_t size() const { return size_; }

private:
    hv::UniqueHandle file_;
    hv::UniqueMappedView view_;
    size_t size_ = 0;
};

// Writes every record the file holds for one restore: 1 when all were read
// and every write succeeded, else 0 (a failed write is not a success).
template <typename Record, typename Read, typename Write>
int RestoreRecords(const wchar_t* path, Read read, Write write)
{
    MappedFile file(path);
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
        MappedFile file(path);
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
