// The ".cfwb" backup file: a 40-byte header, the option block and four record
// sections (narrow users, wide users, narrow groups, wide groups), each
// record being a 20-character name followed by the store's record as it lies
// in memory. Files of format version 1 are restored from the narrow sections,
// every other version from the wide ones. No Windows header: the host build
// tests and fuzzes it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "cfwCommon.h"

namespace backup {

constexpr char kMagic[4] = {'C', 'F', 'W', 'B'};
constexpr uint32_t kHeaderSize = 40;
constexpr uint32_t kSectionsOffset = kHeaderSize + sizeof(OptionData);  // 52
constexpr uint32_t kWrittenVersion = 3;
constexpr uint32_t kNarrowVersion = 1;  // the only version restored from the narrow sections

constexpr size_t kNameChars = 20;  // terminator included
constexpr size_t kUserRecordA = 336;
constexpr size_t kUserRecordW = 384;
constexpr size_t kGroupRecordA = 264;
constexpr size_t kGroupRecordW = 284;

// Header field offsets.
enum : size_t {
    kFieldMagic = 0,
    kFieldHeaderSize = 4,
    kFieldCodePage = 8,
    kFieldVersion = 12,
    kFieldUserCount = 16,
    kFieldGroupCount = 20,
    kFieldUsersA = 24,
    kFieldGroupsA = 28,
    kFieldUsersW = 32,
    kFieldGroupsW = 36,
};

// One registered account as the backup holds it: its name in both forms and
// its record as the narrow and the wide read gave it.
struct UserEntry {
    std::u16string name;
    std::string ansiName;  // the name in the writing system's ANSI code page
    UserDataA narrow;
    UserData wide;
};

struct GroupEntry {
    std::u16string name;
    std::string ansiName;
    GroupData narrow;
    GroupData wide;
};

// The narrow record of an account, from its wide one: the same values, with
// the group name in the ANSI code page (`ansiGroup`, converted by the
// caller), as the store's narrow read gives them. A group name whose ANSI form
// does not fit the field with its terminator stays empty, as the narrow read
// leaves it.
UserDataA NarrowRecord(const UserData& wide, const std::string& ansiGroup);

// A name fits the file when it is not empty and both of its forms leave room
// for the terminator in the 20-character field.
bool NameFits(const std::u16string& name, const std::string& ansiName);

struct Encoded {
    std::vector<uint8_t> bytes;
    // Names the file could not hold (see NameFits); they are left out of
    // every section, so that no record stands under another or an empty name.
    std::vector<std::u16string> leftOut;
};

// The complete file of format version 3.
Encoded Encode(uint32_t codePage, const OptionData& options, const std::vector<UserEntry>& users,
               const std::vector<GroupEntry>& groups);

// --- reading ------------------------------------------------------------------------
// Every reader stops at the end of the data: records that lie wholly inside it
// are returned, and anything the header promised beyond it, or any record
// whose name cannot be used, makes the result Partial.
enum class ReadStatus {
    Complete,
    Partial,  // some of what the header promised is missing or damaged
    Refused,  // no header, or not a backup file (wrong magic)
};

struct Header {
    uint32_t headerSize, codePage, version, userCount, groupCount;
    uint32_t usersA, groupsA, usersW, groupsW;
};
// False when the data is shorter than a header or the magic is wrong.
bool ReadHeader(const uint8_t* data, size_t size, Header& header);

// The option block after the header, whatever the header size and version say.
ReadStatus ReadOptions(const uint8_t* data, size_t size, OptionData& options);

// A user or group to restore, from the section the format version selects:
// `narrow` is set for version 1 (ansiName and the A record are filled), else
// name and the W record.
struct RestoreUser {
    bool narrow = false;
    std::u16string name;
    std::string ansiName;
    UserDataA recordA{};
    UserData recordW{};
};
struct RestoreGroup {
    bool narrow = false;
    std::u16string name;
    std::string ansiName;
    GroupData record{};
};

ReadStatus ReadUsers(const uint8_t* data, size_t size, std::vector<RestoreUser>& users);
ReadStatus ReadGroups(const uint8_t* data, size_t size, std::vector<RestoreGroup>& groups);

}  // namespace backup
