// libFuzzer target: every reader of the backup file on arbitrary bytes. Run
// it with the corpus folder beside it, e.g.
//   build/host/backup/backup_fuzz -runs=10000000 /tmp/work backup/tests/corpus
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

#include "backup_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly `size` bytes, so that any read past the end is caught.
    std::vector<uint8_t> bytes(data, data + size);
    const uint8_t* p = bytes.empty() ? nullptr : bytes.data();

    backup::Header header;
    const bool isBackup = backup::ReadHeader(p, size, header);
    OptionData options;
    const backup::ReadStatus o = backup::ReadOptions(p, size, options);
    std::vector<backup::RestoreUser> users;
    const backup::ReadStatus u = backup::ReadUsers(p, size, users);
    std::vector<backup::RestoreGroup> groups;
    const backup::ReadStatus g = backup::ReadGroups(p, size, groups);

    // What the readers promise: no file is refused by one and read by another,
    // and no record is made of more bytes than there are.
    if (!isBackup && (o != backup::ReadStatus::Refused || u != backup::ReadStatus::Refused ||
                      g != backup::ReadStatus::Refused))
        __builtin_trap();
    if (users.size() * backup::kUserRecordA > size || groups.size() * backup::kGroupRecordA > size)
        __builtin_trap();
    for (const backup::RestoreUser& user : users)
        if ((user.narrow ? user.ansiName.empty() : user.name.empty()) || user.name.size() >= backup::kNameChars ||
            user.ansiName.size() >= backup::kNameChars)
            __builtin_trap();
    return 0;
}
