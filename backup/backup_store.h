// The registry side of backup and restore: the keys are enumerated and the
// records read and written through the settings store; the file's bytes are
// the codec's.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace backup {

struct CreateResult {
    bool ok = false;
    // Accounts and groups whose names the file cannot hold; left out.
    std::vector<std::u16string> leftOut;
};
// Writes every registered account, every registered group and the options
// to `path`. A missing Users or Groups key is an empty section.
CreateResult CreateBackupFile(const wchar_t* path);

// The three restore operations, each opening the file on its own: 1 when
// everything the file holds for it was read and written, else 0. A restore
// stops at the end of the file and writes only whole, usable records.
// `owner` owns the password-lock question.
int RestoreOptions(const wchar_t* path, HWND owner);
int RestoreUsers(const wchar_t* path);
int RestoreGroups(const wchar_t* path);

}  // namespace backup
