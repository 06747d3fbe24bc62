// Encoding and decoding of the backup file. The store's records are copied as
// they lie in memory (the file format is that layout, padding included), on a
// little-endian machine with the layout the store's header asserts.
#include "backup_format.h"

#include <string.h>

#include <algorithm>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the file stores the records as they lie in memory");

namespace backup {
namespace {

// Where the store's records and their padding lie inside a file record.
constexpr size_t kUserDataOffsetA = 24;     // after the name and 4 bytes of padding
constexpr size_t kUserDataOffsetW = 40;
constexpr size_t kGroupDataOffsetA = 20;
constexpr size_t kGroupDataOffsetW = 40;
constexpr size_t kUserPaddingA = 316;       // between LimitModeTimeHalfPM and LastLoginDate
constexpr size_t kUserPaddingW = 364;
static_assert(kUserDataOffsetA + sizeof(UserDataA) == kUserRecordA, "narrow user record");
static_assert(kUserDataOffsetW + sizeof(UserData) == kUserRecordW, "wide user record");
static_assert(kGroupDataOffsetA + sizeof(GroupData) == kGroupRecordA, "narrow group record");
static_assert(kGroupDataOffsetW + sizeof(GroupData) == kGroupRecordW, "wide group record");
static_assert(kUserDataOffsetA + offsetof(UserDataA, LimitModeTimeHalfPM) + 4 == kUserPaddingA, "padding");
static_assert(kUserDataOffsetW + offsetof(UserData, LimitModeTimeHalfPM) + 4 == kUserPaddingW, "padding");

void Put32(uint8_t* at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

void PutNameA(uint8_t* at, const std::string& name) { memcpy(at, name.data(), name.size()); }

void PutNameW(uint8_t* at, const std::u16string& name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        at[2 * i] = static_cast<uint8_t>(name[i]);
        at[2 * i + 1] = static_cast<uint8_t>(name[i] >> 8);
    }
}

// A name field's text up to its terminator; false when the field holds no
// terminator or nothing before it (such a record would land under another
// name or on the parent key itself).
bool GetNameA(const uint8_t* at, std::string& name)
{
    const auto* end = static_cast<const uint8_t*>(memchr(at, 0, kNameChars));
    if (!end || end == at)
        return false;
    name.assign(reinterpret_cast<const char*>(at), static_cast<size_t>(end - at));
    return true;
}

bool GetNameW(const uint8_t* at, std::u16string& name)
{
    name.clear();
    for (size_t i = 0; i < kNameChars; ++i) {
        const char16_t c = static_cast<char16_t>(at[2 * i] | at[2 * i + 1] << 8);
        if (c == 0)
            return !name.empty();
        // A path separator would put the record under another key.
        if (c == u'\\')
            return false;
        name.push_back(c);
    }
    return false;
}

template <typename Char, size_t N>
bool Terminated(const Char (&text)[N])
{
    return std::find(text, text + N, Char(0)) != text + N;
}

// Where the section that starts at `offset` must end: at the next section
// the header places after it, or at the end of the data. A count that runs
// into the next section would make records of that section's bytes.
size_t SectionEnd(const Header& h, uint32_t offset, size_t size)
{
    size_t end = size;
    for (uint32_t other : {h.usersA, h.groupsA, h.usersW, h.groupsW})
        if (other > offset && other < end)
            end = other;
    return end;
}

// The records of one section that lie wholly inside it: `count` records of
// `recordSize` bytes from `offset`. Sets `partial` when fewer are there.
// Offsets inside the header would make records of its bytes.
template <typename Fn>
void ForEachRecord(const uint8_t* data, const Header& h, size_t size, uint32_t offset, uint32_t count,
                   size_t recordSize, bool& partial, Fn&& fn)
{
    if (count == 0)
        return;
    const size_t end = SectionEnd(h, offset, size);
    size_t available = 0;
    if (offset >= kHeaderSize && offset <= end)
        available = (end - offset) / recordSize;
    const size_t n = std::min<size_t>(count, available);
    if (n < count)
        partial = true;
    for (size_t i = 0; i < n; ++i)
        if (!fn(data + offset + i * recordSize))
            partial = true;
}

ReadStatus StatusOf(bool partial) { return partial ? ReadStatus::Partial : ReadStatus::Complete; }

}  // namespace

UserDataA NarrowRecord(const UserData& w, const std::string& ansiGroup)
{
    UserDataA a;
    memset(&a, 0, sizeof a);
    a.LimitMode = w.LimitMode;
    if (ansiGroup.size() < CFW_GROUP_CHARS && ansiGroup.find('\0') == std::string::npos)
        memcpy(a.Group, ansiGroup.data(), ansiGroup.size());
    memcpy(a.TodayLimitTable, w.TodayLimitTable, sizeof a.TodayLimitTable);
    memcpy(a.WeeklyLimitTable1, w.WeeklyLimitTable1, sizeof a.WeeklyLimitTable1);
    memcpy(a.WeeklyLimitTable2, w.WeeklyLimitTable2, sizeof a.WeeklyLimitTable2);
    memcpy(a.DayLimitTable, w.DayLimitTable, sizeof a.DayLimitTable);
    a.LimitModeFlag = w.LimitModeFlag;
    a.LimitModeTimeDay = w.LimitModeTimeDay;
    a.LimitModeTimeHalfAM = w.LimitModeTimeHalfAM;
    a.LimitModeTimeHalfPM = w.LimitModeTimeHalfPM;
    a.LastLoginDate = w.LastLoginDate;
    a.LimitModeRemain = w.LimitModeRemain;
    a.HiddenButton = w.HiddenButton;
    return a;
}

bool NameFits(const std::u16string& name, const std::string& ansiName)
{
    return !name.empty() && !ansiName.empty() && name.size() < kNameChars && ansiName.size() < kNameChars &&
           name.find(u'\0') == std::u16string::npos && ansiName.find('\0') == std::string::npos;
}

Encoded Encode(uint32_t codePage, const OptionData& options, const std::vector<UserEntry>& users,
               const std::vector<GroupEntry>& groups)
{
    Encoded out;
    std::vector<const UserEntry*> u;
    std::vector<const GroupEntry*> g;
    for (const UserEntry& e : users) {
        if (NameFits(e.name, e.ansiName))
            u.push_back(&e);
        else
            out.leftOut.push_back(e.name);
    }
    for (const GroupEntry& e : groups) {
        if (NameFits(e.name, e.ansiName))
            g.push_back(&e);
        else
            out.leftOut.push_back(e.name);
    }

    const size_t usersA = kSectionsOffset;
    const size_t usersW = usersA + kUserRecordA * u.size();
    const size_t groupsA = usersW + kUserRecordW * u.size();
    const size_t groupsW = groupsA + kGroupRecordA * g.size();
    const size_t total = groupsW + kGroupRecordW * g.size();
    std::vector<uint8_t>& b = out.bytes;
    b.assign(total, 0);

    memcpy(&b[kFieldMagic], kMagic, 4);
    Put32(&b[kFieldHeaderSize], kHeaderSize);
    Put32(&b[kFieldCodePage], codePage);
    Put32(&b[kFieldVersion], kWrittenVersion);
    Put32(&b[kFieldUserCount], static_cast<uint32_t>(u.size()));
    Put32(&b[kFieldGroupCount], static_cast<uint32_t>(g.size()));
    Put32(&b[kFieldUsersA], static_cast<uint32_t>(usersA));
    Put32(&b[kFieldGroupsA], static_cast<uint32_t>(groupsA));
    Put32(&b[kFieldUsersW], static_cast<uint32_t>(usersW));
    Put32(&b[kFieldGroupsW], static_cast<uint32_t>(groupsW));
    memcpy(&b[kHeaderSize], &options, sizeof options);

    for (size_t i = 0; i < u.size(); ++i) {
        uint8_t* a = &b[usersA + i * kUserRecordA];
        PutNameA(a, u[i]->ansiName);
        memcpy(a + kUserDataOffsetA, &u[i]->narrow, sizeof(UserDataA));
        memset(a + kUserPaddingA, 0, 4);
        uint8_t* w = &b[usersW + i * kUserRecordW];
        PutNameW(w, u[i]->name);
        memcpy(w + kUserDataOffsetW, &u[i]->wide, sizeof(UserData));
        memset(w + kUserPaddingW, 0, 4);
    }
    for (size_t i = 0; i < g.size(); ++i) {
        uint8_t* a = &b[groupsA + i * kGroupRecordA];
        PutNameA(a, g[i]->ansiName);
        memcpy(a + kGroupDataOffsetA, &g[i]->narrow, sizeof(GroupData));
        uint8_t* w = &b[groupsW + i * kGroupRecordW];
        PutNameW(w, g[i]->name);
        memcpy(w + kGroupDataOffsetW, &g[i]->wide, sizeof(GroupData));
    }
    return out;
}

bool ReadHeader(const uint8_t* data, size_t size, Header& h)
{
    if (!data || size < kHeaderSize || memcmp(data, kMagic, 4) != 0)
        return false;
    h.headerSize = Get32(data + kFieldHeaderSize);
    h.codePage = Get32(data + kFieldCodePage);
    h.version = Get32(data + kFieldVersion);
    h.userCount = Get32(data + kFieldUserCount);
    h.groupCount = Get32(data + kFieldGroupCount);
    h.usersA = Get32(data + kFieldUsersA);
    h.groupsA = Get32(data + kFieldGroupsA);
    h.usersW = Get32(data + kFieldUsersW);
    h.groupsW = Get32(data + kFieldGroupsW);
    return true;
}

ReadStatus ReadOptions(const uint8_t* data, size_t size, OptionData& options)
{
    Header h;
    if (!ReadHeader(data, size, h))
        return ReadStatus::Refused;
    if (size < kSectionsOffset)
        return ReadStatus::Partial;
    memcpy(&options, data + kHeaderSize, sizeof options);
    return ReadStatus::Complete;
}

ReadStatus ReadUsers(const uint8_t* data, size_t size, std::vector<RestoreUser>& users)
{
    users.clear();
    Header h;
    if (!ReadHeader(data, size, h))
        return ReadStatus::Refused;
    bool partial = false;
    if (h.version == kNarrowVersion) {
        ForEachRecord(data, h, size, h.usersA, h.userCount, kUserRecordA, partial, [&](const uint8_t* r) {
            RestoreUser u;
            u.narrow = true;
            memcpy(&u.recordA, r + kUserDataOffsetA, sizeof(UserDataA));
            if (!GetNameA(r, u.ansiName) || !Terminated(u.recordA.Group))
                return false;
            users.push_back(std::move(u));
            return true;
        });
    } else {
        ForEachRecord(data, h, size, h.usersW, h.userCount, kUserRecordW, partial, [&](const uint8_t* r) {
            RestoreUser u;
            memcpy(&u.recordW, r + kUserDataOffsetW, sizeof(UserData));
            if (!GetNameW(r, u.name) || !Terminated(u.recordW.Group))
                return false;
            users.push_back(std::move(u));
            return true;
        });
    }
    return StatusOf(partial);
}

ReadStatus ReadGroups(const uint8_t* data, size_t size, std::vector<RestoreGroup>& groups)
{
    groups.clear();
    Header h;
    if (!ReadHeader(data, size, h))
        return ReadStatus::Refused;
    bool partial = false;
    if (h.version == kNarrowVersion) {
        ForEachRecord(data, h, size, h.groupsA, h.groupCount, kGroupRecordA, partial, [&](const uint8_t* r) {
            RestoreGroup g;
            g.narrow = true;
            if (!GetNameA(r, g.ansiName))
                return false;
            memcpy(&g.record, r + kGroupDataOffsetA, sizeof(GroupData));
            groups.push_back(std::move(g));
            return true;
        });
    } else {
        ForEachRecord(data, h, size, h.groupsW, h.groupCount, kGroupRecordW, partial, [&](const uint8_t* r) {
            RestoreGroup g;
            if (!GetNameW(r, g.name))
                return false;
            memcpy(&g.record, r + kGroupDataOffsetW, sizeof(GroupData));
            groups.push_back(std::move(g));
            return true;
        });
    }
    return StatusOf(partial);
}

}  // namespace backup
