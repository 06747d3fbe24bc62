// The backup file codec: the layout's figures, the round trip, which section a
// format version is read from, and readers that stop at the end of damaged
// or truncated data.
#include <gtest/gtest.h>

#include <string.h>

#include <dirent.h>
#include <fstream>
#include <iterator>

#include "backup_format.h"

using namespace backup;

namespace {

uint32_t Field(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void SetField(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

template <typename Char, size_t N>
void Copy(Char (&to)[N], const std::basic_string<Char>& from)
{
    memset(to, 0, sizeof to);
    memcpy(to, from.data(), from.size() * sizeof(Char));
}

// A user whose narrow and wide records differ (the narrow LimitMode is 100
// higher), so that a reader shows which section it used.
UserEntry User(const std::string& name, uint32_t mode)
{
    UserEntry e{};
    e.name.assign(name.begin(), name.end());
    e.ansiName = name;
    e.wide.LimitMode = mode;
    Copy(e.wide.Group, std::u16string(u"kids"));
    e.wide.DayLimitTable[CFW_ROW_TUE][9] = 1;
    e.wide.LimitModeTimeDay = 120;
    e.wide.LimitModeTimeHalfAM = 30;
    e.wide.LimitModeTimeHalfPM = 45;
    e.wide.LastLoginDate = 0x0102030405060708LL;
    e.wide.LimitModeRemain = 77;
    e.wide.HiddenButton = 1;
    e.narrow.LimitMode = mode + 100;
    Copy(e.narrow.Group, std::string("kids"));
    e.narrow.DayLimitTable[CFW_ROW_TUE][9] = 1;
    e.narrow.LimitModeTimeDay = 120;
    return e;
}

GroupEntry Group(const std::string& name, uint32_t mode)
{
    GroupEntry e{};
    e.name.assign(name.begin(), name.end());
    e.ansiName = name;
    e.wide.LimitMode = mode;
    e.wide.DayLimitTable[CFW_ROW_THU][20] = 1;
    e.narrow = e.wide;
    e.narrow.LimitMode = mode + 100;
    return e;
}

OptionData Options() { return OptionData{2, 1, 0x12345678u}; }

std::vector<uint8_t> SmallFile()
{
    return Encode(932, Options(), {User("taro", LIMIT_DAILY), User("hanako", LIMIT_TIMER)}, {Group("kids", 1)})
        .bytes;
}

std::vector<RestoreUser> Users(const std::vector<uint8_t>& b, ReadStatus expected)
{
    std::vector<RestoreUser> users;
    EXPECT_EQ(ReadUsers(b.data(), b.size(), users), expected);
    return users;
}

std::vector<RestoreGroup> Groups(const std::vector<uint8_t>& b, ReadStatus expected)
{
    std::vector<RestoreGroup> groups;
    EXPECT_EQ(ReadGroups(b.data(), b.size(), groups), expected);
    return groups;
}

}  // namespace

TEST(BackupLayout, TwoAccountsAndOneGroup)
{
    const std::vector<uint8_t> b = SmallFile();
    ASSERT_EQ(b.size(), 2040u);
    EXPECT_EQ(memcmp(b.data(), "CFWB", 4), 0);
    EXPECT_EQ(Field(b, 4), 40u);
    EXPECT_EQ(Field(b, 8), 932u);
    EXPECT_EQ(Field(b, 12), 3u);
    EXPECT_EQ(Field(b, 16), 2u);
    EXPECT_EQ(Field(b, 20), 1u);
    EXPECT_EQ(Field(b, 24), 52u);
    EXPECT_EQ(Field(b, 28), 1492u);
    EXPECT_EQ(Field(b, 32), 724u);
    EXPECT_EQ(Field(b, 36), 1756u);
    // The option block, then each section's first record at the offsets the
    // record tables give.
    EXPECT_EQ(Field(b, 40), 2u);
    EXPECT_EQ(Field(b, 44), 1u);
    EXPECT_EQ(Field(b, 48), 0x12345678u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[52])), "taro");
    EXPECT_EQ(Field(b, 52 + 20), 0u);                  // unused
    EXPECT_EQ(Field(b, 52 + 24), LIMIT_DAILY + 100u);  // narrow LimitMode
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[52 + 28])), "kids");
    EXPECT_EQ(b[52 + 156 + 9], 1);   // Tuesday table, hour 9
    EXPECT_EQ(Field(b, 52 + 304), 120u);
    EXPECT_EQ(b[724], 't');
    EXPECT_EQ(b[725], 0);
    EXPECT_EQ(Field(b, 724 + 40), static_cast<uint32_t>(LIMIT_DAILY));
    EXPECT_EQ(b[724 + 44], 'k');
    EXPECT_EQ(b[724 + 204 + 9], 1);  // Tuesday table, hour 9
    EXPECT_EQ(Field(b, 724 + 352), 120u);
    EXPECT_EQ(Field(b, 724 + 356), 30u);
    EXPECT_EQ(Field(b, 724 + 360), 45u);
    EXPECT_EQ(Field(b, 724 + 364), 0u);              // unused
    EXPECT_EQ(Field(b, 724 + 368), 0x05060708u);     // LastLoginDate, low half
    EXPECT_EQ(Field(b, 724 + 376), 77u);
    EXPECT_EQ(Field(b, 724 + 380), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[1492])), "kids");
    EXPECT_EQ(Field(b, 1492 + 20), 101u);
    EXPECT_EQ(b[1492 + 168 + 20], 1);  // Thursday table, hour 20
    EXPECT_EQ(Field(b, 1756 + 40), 1u);
    EXPECT_EQ(b[1756 + 188 + 20], 1);  // Thursday table
}

TEST(BackupLayout, EmptyRegistryIsHeaderAndOptionsOnly)
{
    const std::vector<uint8_t> b = Encode(1252, OptionData{0, 0, PASSWORD_LOCK_OFF}, {}, {}).bytes;
    ASSERT_EQ(b.size(), 52u);
    for (size_t field : {kFieldUsersA, kFieldGroupsA, kFieldUsersW, kFieldGroupsW})
        EXPECT_EQ(Field(b, field), 52u) << field;
    EXPECT_EQ(Field(b, 16), 0u);
    EXPECT_EQ(Field(b, 20), 0u);
    EXPECT_TRUE(Users(b, ReadStatus::Complete).empty());
    EXPECT_TRUE(Groups(b, ReadStatus::Complete).empty());
}

TEST(BackupRoundTrip, RecordsComeBackFromTheWideSections)
{
    const std::vector<UserEntry> in = {User("taro", LIMIT_DAILY), User("hanako", LIMIT_TIMER | LIMIT_CARRY_OVER_FLAG)};
    const std::vector<uint8_t> b = Encode(932, Options(), in, {Group("kids", 2)}).bytes;
    OptionData o{};
    ASSERT_EQ(ReadOptions(b.data(), b.size(), o), ReadStatus::Complete);
    const OptionData expected = Options();
    EXPECT_EQ(memcmp(&o, &expected, sizeof o), 0);
    const auto users = Users(b, ReadStatus::Complete);
    ASSERT_EQ(users.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_FALSE(users[i].narrow);
        EXPECT_EQ(users[i].name, in[i].name);
        EXPECT_EQ(memcmp(&users[i].recordW, &in[i].wide, sizeof(UserData)), 0);
    }
    const auto groups = Groups(b, ReadStatus::Complete);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].name, u"kids");
    EXPECT_EQ(groups[0].record.LimitMode, 2u);
    EXPECT_EQ(groups[0].record.DayLimitTable[CFW_ROW_THU][20], 1);
}

TEST(BackupVersions, VersionOneFromTheNarrowSectionsEveryOtherFromTheWide)
{
    std::vector<uint8_t> b = SmallFile();
    for (uint32_t version : {0u, 1u, 2u, 3u, 7u}) {
        SetField(b, kFieldVersion, version);
        const auto users = Users(b, ReadStatus::Complete);
        const auto groups = Groups(b, ReadStatus::Complete);
        ASSERT_EQ(users.size(), 2u);
        ASSERT_EQ(groups.size(), 1u);
        const bool narrow = version == 1;
        EXPECT_EQ(users[1].narrow, narrow);
        EXPECT_EQ(groups[0].narrow, narrow);
        if (narrow) {
            EXPECT_EQ(users[1].ansiName, "hanako");
            EXPECT_EQ(users[1].recordA.LimitMode, LIMIT_TIMER + 100u);
            EXPECT_EQ(std::string(users[1].recordA.Group), "kids");
            EXPECT_EQ(groups[0].ansiName, "kids");
            EXPECT_EQ(groups[0].record.LimitMode, 101u);
        } else {
            EXPECT_EQ(users[1].name, u"hanako");
            EXPECT_EQ(users[1].recordW.LimitMode, static_cast<uint32_t>(LIMIT_TIMER));
            EXPECT_EQ(groups[0].record.LimitMode, 1u);
        }
    }
}

TEST(BackupReaders, RefuseAnythingButTheMagic)
{
    std::vector<uint8_t> b = SmallFile();
    for (const char* magic : {"CFWA", "cfwb", "BWFC", "\0\0\0\0"}) {
        memcpy(b.data(), magic, 4);
        OptionData o{};
        EXPECT_EQ(ReadOptions(b.data(), b.size(), o), ReadStatus::Refused);
        EXPECT_TRUE(Users(b, ReadStatus::Refused).empty());
        EXPECT_TRUE(Groups(b, ReadStatus::Refused).empty());
    }
    std::vector<RestoreUser> none;
    EXPECT_EQ(ReadUsers(nullptr, 0, none), ReadStatus::Refused);
}

// Cut after every byte: a reader returns exactly the records that lie wholly
// before the cut, each equal to the complete file's, and says when any is
// missing.
TEST(BackupReaders, TruncationAtEveryOffset)
{
    const std::vector<uint8_t> full = SmallFile();
    const auto allUsers = Users(full, ReadStatus::Complete);
    const auto allGroups = Groups(full, ReadStatus::Complete);
    for (size_t n = 0; n < full.size(); ++n) {
        const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
        OptionData o{};
        std::vector<RestoreUser> users;
        std::vector<RestoreGroup> groups;
        const ReadStatus so = ReadOptions(cut.data(), n, o);
        const ReadStatus su = ReadUsers(cut.data(), n, users);
        const ReadStatus sg = ReadGroups(cut.data(), n, groups);
        if (n < kHeaderSize) {
            EXPECT_EQ(so, ReadStatus::Refused) << n;
            EXPECT_EQ(su, ReadStatus::Refused) << n;
            EXPECT_EQ(sg, ReadStatus::Refused) << n;
            continue;
        }
        EXPECT_EQ(so, n < kSectionsOffset ? ReadStatus::Partial : ReadStatus::Complete) << n;
        const size_t wholeUsers = n < 724 ? 0 : std::min<size_t>(2, (n - 724) / kUserRecordW);
        const size_t wholeGroups = n < 1756 ? 0 : (n - 1756) / kGroupRecordW;
        ASSERT_EQ(users.size(), wholeUsers) << n;
        ASSERT_EQ(groups.size(), wholeGroups) << n;
        EXPECT_EQ(su, wholeUsers == 2 ? ReadStatus::Complete : ReadStatus::Partial) << n;
        EXPECT_EQ(sg, ReadStatus::Partial) << n;  // the one group ends with the file
        for (size_t i = 0; i < users.size(); ++i)
            EXPECT_EQ(memcmp(&users[i].recordW, &allUsers[i].recordW, sizeof(UserData)), 0) << n;
    }
}

TEST(BackupReaders, CountsAndOffsetsOutsideTheFile)
{
    struct Case {
        const char* what;
        size_t field;
        uint32_t value;
        size_t users, groups;  // whole records still read
    };
    const Case cases[] = {
        {"huge user count", kFieldUserCount, 0xFFFFFFFFu, 2, 1},  // not into the group sections
        {"user count one too many", kFieldUserCount, 3, 2, 1},
        {"huge group count", kFieldGroupCount, 0xFFFFFFFFu, 2, 1},
        {"wide users beyond the end", kFieldUsersW, 0xFFFFFFF0u, 0, 1},
        {"wide users just past the end", kFieldUsersW, 2040, 0, 1},
        {"wide users inside the header", kFieldUsersW, 0, 0, 1},
        {"wide groups beyond the end", kFieldGroupsW, 0x7FFFFFFFu, 2, 0},
        {"wide groups at the last byte", kFieldGroupsW, 2039, 2, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = SmallFile();
        SetField(b, c.field, c.value);
        std::vector<RestoreUser> users;
        std::vector<RestoreGroup> groups;
        const ReadStatus su = ReadUsers(b.data(), b.size(), users);
        const ReadStatus sg = ReadGroups(b.data(), b.size(), groups);
        EXPECT_TRUE(su == ReadStatus::Partial || sg == ReadStatus::Partial) << c.what;
        EXPECT_EQ(users.size(), c.users) << c.what;
        EXPECT_EQ(groups.size(), c.groups) << c.what;
    }
}

// A damaged record is skipped, never written under a cut, empty or other
// name, and the result says that something was not read.
TEST(BackupReaders, DamagedRecordsAreSkipped)
{
    struct Case {
        const char* what;
        void (*damage)(std::vector<uint8_t>&);
    };
    const Case cases[] = {
        {"wide name without terminator", [](std::vector<uint8_t>& b) { memset(&b[724], 'x', 40); }},
        {"empty wide name", [](std::vector<uint8_t>& b) { b[724] = b[725] = 0; }},
        {"path separator in the name", [](std::vector<uint8_t>& b) { b[726] = '\\'; }},
        {"group field without terminator", [](std::vector<uint8_t>& b) { memset(&b[724 + 44], 'g', 64); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = SmallFile();
        c.damage(b);
        const auto users = Users(b, ReadStatus::Partial);
        ASSERT_EQ(users.size(), 1u) << c.what;
        EXPECT_EQ(users[0].name, u"hanako") << c.what;
    }
    std::vector<uint8_t> b = SmallFile();
    SetField(b, kFieldVersion, 1);
    memset(&b[52], 'x', 20);        // narrow name without terminator
    memset(&b[52 + 336 + 28], 'g', 32);  // narrow group field without terminator
    EXPECT_TRUE(Users(b, ReadStatus::Partial).empty());
    b[1492] = 0;  // empty narrow group name
    EXPECT_TRUE(Groups(b, ReadStatus::Partial).empty());
}

// A name needs its terminator in the 20-character field, in both forms; one
// that does not fit is left out of every section and reported.
TEST(BackupNames, NamesThatDoNotFitAreLeftOut)
{
    const std::string nineteen(19, 'a'), twenty(20, 'b');
    UserEntry wideTooLong = User("x", LIMIT_DAILY);
    wideTooLong.name = std::u16string(20, u'w');
    wideTooLong.ansiName = "short";
    UserEntry ansiTooLong = User("y", LIMIT_DAILY);  // ten double-byte characters: 20 bytes
    ansiTooLong.name = u"ああああああああああ";
    ansiTooLong.ansiName = std::string(20, '\x82');
    UserEntry noAnsi = User("z", LIMIT_DAILY);  // not in the ANSI code page
    noAnsi.ansiName.clear();
    const Encoded e = Encode(932, Options(),
                             {User(nineteen, LIMIT_DAILY), User(twenty, LIMIT_DAILY), wideTooLong, ansiTooLong,
                              noAnsi, User("kept", LIMIT_TIMER)},
                             {Group(twenty, 1), Group("kids", 1)});
    ASSERT_EQ(e.leftOut.size(), 5u);
    EXPECT_EQ(e.leftOut[0], std::u16string(twenty.begin(), twenty.end()));
    EXPECT_EQ(e.leftOut[1], std::u16string(20, u'w'));
    EXPECT_EQ(e.leftOut[2], u"ああああああああああ");
    EXPECT_EQ(e.leftOut[3], u"z");
    EXPECT_EQ(e.leftOut[4], std::u16string(twenty.begin(), twenty.end()));
    EXPECT_EQ(e.bytes.size(), 52u + 2 * 720 + 548);
    std::vector<uint8_t> b = e.bytes;
    const auto users = Users(b, ReadStatus::Complete);
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].name, std::u16string(nineteen.begin(), nineteen.end()));
    EXPECT_EQ(users[1].name, u"kept");
    SetField(b, kFieldVersion, 1);
    const auto narrow = Users(b, ReadStatus::Complete);
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_EQ(narrow[0].ansiName, nineteen);
    EXPECT_EQ(narrow[1].ansiName, "kept");
}

TEST(BackupRecords, NarrowRecordHoldsTheWideValues)
{
    const UserEntry e = User("taro", LIMIT_TIMER | LIMIT_CARRY_OVER_FLAG);
    UserDataA expected = e.narrow;
    expected.LimitMode = e.wide.LimitMode;
    expected.LimitModeTimeHalfAM = e.wide.LimitModeTimeHalfAM;
    expected.LimitModeTimeHalfPM = e.wide.LimitModeTimeHalfPM;
    expected.LastLoginDate = e.wide.LastLoginDate;
    expected.LimitModeRemain = e.wide.LimitModeRemain;
    expected.HiddenButton = e.wide.HiddenButton;
    const UserDataA a = NarrowRecord(e.wide, "kids");
    EXPECT_EQ(memcmp(&a, &expected, sizeof a), 0);
    // A group name whose ANSI form does not fit stays empty, as the narrow read leaves it.
    EXPECT_STREQ(NarrowRecord(e.wide, std::string(31, 'g')).Group, std::string(31, 'g').c_str());
    EXPECT_STREQ(NarrowRecord(e.wide, std::string(32, 'g')).Group, "");
}

// The backups the real tool wrote, kept in the repository: every one reads
// completely.
TEST(BackupCorpus, RealBackupsReadCompletely)
{
    DIR* dir = opendir(BACKUP_CORPUS_DIR);
    ASSERT_NE(dir, nullptr) << BACKUP_CORPUS_DIR;
    int files = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 5 || name.compare(name.size() - 5, 5, ".cfwb") != 0)
            continue;
        std::ifstream in(std::string(BACKUP_CORPUS_DIR) + "/" + name, std::ios::binary);
        const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Header h{};
        ASSERT_TRUE(ReadHeader(b.data(), b.size(), h)) << name;
        EXPECT_EQ(h.version, kWrittenVersion) << name;
        OptionData o{};
        EXPECT_EQ(ReadOptions(b.data(), b.size(), o), ReadStatus::Complete) << name;
        EXPECT_EQ(Users(b, ReadStatus::Complete).size(), h.userCount) << name;
        EXPECT_EQ(Groups(b, ReadStatus::Complete).size(), h.groupCount) << name;
        ++files;
    }
    closedir(dir);
    EXPECT_GE(files, 3);
}
