// Files, folders and the CRC-32 of a file.
#include <shlobj.h>

#include <memory>
#include <new>
#include <string>

#include "crc32.h"
#include "hvCommon.h"
#include "narrow.h"
#include "raii.h"
#include "status.h"

using hvc::Done;

namespace {

// The checksum reads in blocks of this size and pauses after each full one,
// so a large file does not monopolise the disk or the processor.
constexpr DWORD kReadBlock = 0x40000;
constexpr DWORD kPauseMs = 5;

bool Empty(LPCWSTR s) { return !s || !*s; }

bool FindFirst(LPCWSTR path, WIN32_FIND_DATAW* data)
{
    hv::UniqueFind find(FindFirstFileW(path, data));
    return static_cast<bool>(find);
}

bool IsDots(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool IsFolder(LPCWSTR path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring CurrentDirectory()
{
    std::wstring dir(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), &dir[0]);
        if (n == 0)
            return std::wstring();
        if (n < dir.size()) {
            dir.resize(n);
            return dir;
        }
        dir.resize(n);  // n is the size needed, terminator included
    }
}

ULONGLONG Checksum(LPCWSTR path, DWORD* checksum, bool refuseAbove4G)
{
    if (!path || !checksum)
        return Done(HVCERR_INVALID_ARGUMENT, 0ULL);
    // A missing file passes here with size 0 and fails at the open below.
    if (refuseAbove4G && HVCGetFileLengthExW(path) > 0xFFFFFFFFULL)
        return Done(HVCERR_FILE_TOO_LARGE, 0ULL);

    // Built afresh on every call; nothing is cached between calls.
    std::unique_ptr<uint32_t[]> table(new (std::nothrow) uint32_t[256]);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kReadBlock]);
    if (!table || !buffer)
        return Done(HVCERR_OPEN_FILE, 0ULL);
    hv::Crc32BuildTable(table.get());

    hv::UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return Done(HVCERR_OPEN_FILE, 0ULL);

    uint32_t crc = 0xFFFFFFFFu;
    ULONGLONG total = 0;
    for (;;) {
        DWORD got = 0;
        // A read error must not pass as the checksum of a shorter file.
        if (!ReadFile(file.get(), buffer.get(), kReadBlock, &got, nullptr))
            return Done(HVCERR_OPEN_FILE, 0ULL);
        crc = hv::Crc32Update(table.get(), crc, buffer.get(), got);
        total += got;
        if (got < kReadBlock)
            break;
        Sleep(kPauseMs);
    }
    *checksum = crc;
    return Done(HVCERR_SUCCESS, total);
}

// Empties `path` (entered as the current directory, which is restored
// afterwards) and removes it when removeSelf is 1. False when the folder
// cannot be entered or listed. *left counts the entries below it, and the
// folder itself when it was to go, that are still there afterwards.
bool RemoveTree(LPCWSTR path, int removeSelf, DWORD* left)
{
    const std::wstring saved = CurrentDirectory();
    if (saved.empty() || !SetCurrentDirectoryW(path))
        return false;
    WIN32_FIND_DATAW data;
    hv::UniqueFind find(FindFirstFileW(L"*.*", &data));
    if (!find) {
        SetCurrentDirectoryW(saved.c_str());
        return false;
    }
    do {
        const wchar_t* name = data.cFileName;
        // Attributes are set through the path, which follows a link to its
        // target: links are never given normal attributes, so that a target
        // outside the tree keeps its own.
        const bool reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (IsDots(name))
                continue;
            if (reparse) {
                // A junction or folder link: remove the link alone, never
                // what it points to outside the tree.
                if (!RemoveDirectoryW(name))
                    ++*left;
                continue;
            }
            SetFileAttributesW(name, FILE_ATTRIBUTE_NORMAL);
            if (!RemoveTree(name, 1, left))
                ++*left;
        } else {
            if (!reparse || !IsReparseTagNameSurrogate(data.dwReserved0))
                SetFileAttributesW(name, FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(name))
                ++*left;
        }
    } while (FindNextFileW(find.get(), &data));
    find.reset();
    SetCurrentDirectoryW(saved.c_str());
    if (removeSelf == 1 && !RemoveDirectoryW(path))
        ++*left;
    return true;
}

}  // namespace

extern "C" {

BOOL WINAPI HVCGetFileExistW(LPCWSTR path)
{
    if (Empty(path))
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    WIN32_FIND_DATAW data;
    // Absence is an answer, not an error.
    return Done(HVCERR_SUCCESS, FindFirst(path, &data) ? TRUE : FALSE);
}

ULONGLONG WINAPI HVCGetFileLengthExW(LPCWSTR path)
{
    if (Empty(path))
        return Done(HVCERR_INVALID_ARGUMENT, 0ULL);
    WIN32_FIND_DATAW data;
    if (!FindFirst(path, &data))
        return Done(HVCERR_NOT_FOUND, 0ULL);
    return Done(HVCERR_SUCCESS, (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

DWORD WINAPI HVCGetFileLengthW(LPCWSTR path)
{
    return static_cast<DWORD>(HVCGetFileLengthExW(path) & 0xFFFFFFFFULL);
}

DWORD WINAPI HVCGetCRC32ChecksumW(LPCWSTR path, DWORD* checksum)
{
    return static_cast<DWORD>(Checksum(path, checksum, true));
}

ULONGLONG WINAPI HVCGetCRC32ChecksumExW(LPCWSTR path, DWORD* checksum) { return Checksum(path, checksum, false); }

BOOL WINAPI HVCMakeFolderW(int base, LPCWSTR path)
{
    if ((base != HVC_FOLDER_BASE_NONE && base != HVC_FOLDER_BASE_DOCUMENTS) || Empty(path))
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    if (base == HVC_FOLDER_BASE_NONE)
        return CreateDirectoryW(path, nullptr) ? Done(HVCERR_SUCCESS, TRUE) : Done(HVCERR_CREATE_FOLDER, FALSE);

    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)) ||
        !IsFolder(documents) || !SetCurrentDirectoryW(documents))
        return Done(HVCERR_BASE_PATH, FALSE);
    if (CreateDirectoryW(path, nullptr))
        return Done(HVCERR_SUCCESS, TRUE);
    // Already there counts as done, but only when it is a folder: a file of
    // that name is no folder to work in.
    if (GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(path))
        return Done(HVCERR_SUCCESS, TRUE);
    return Done(HVCERR_BASE_PATH, FALSE);
}

BOOL WINAPI HVCRemoveFolderW(LPCWSTR path, int removeSelf, DWORD* failedCount)
{
    if (!path)
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    DWORD left = 0;
    if (!RemoveTree(path, removeSelf, &left))
        return Done(HVCERR_NOT_FOUND, FALSE);
    if (failedCount)
        *failedCount = left;
    return Done(HVCERR_SUCCESS, TRUE);
}

BOOL WINAPI HVCPointerFree(LPVOID block) { return HeapFree(GetProcessHeap(), 0, block); }

// ---- narrow forms ----

BOOL WINAPI HVCGetFileExistA(LPCSTR path) { return HVCGetFileExistW(hvc::WideArg(path).get()); }
DWORD WINAPI HVCGetFileLengthA(LPCSTR path) { return HVCGetFileLengthW(hvc::WideArg(path).get()); }
ULONGLONG WINAPI HVCGetFileLengthExA(LPCSTR path) { return HVCGetFileLengthExW(hvc::WideArg(path).get()); }
DWORD WINAPI HVCGetCRC32ChecksumA(LPCSTR path, DWORD* checksum)
{
    return HVCGetCRC32ChecksumW(hvc::WideArg(path).get(), checksum);
}
ULONGLONG WINAPI HVCGetCRC32ChecksumExA(LPCSTR path, DWORD* checksum)
{
    return HVCGetCRC32ChecksumExW(hvc::WideArg(path).get(), checksum);
}
BOOL WINAPI HVCMakeFolderA(int base, LPCSTR path) { return HVCMakeFolderW(base, hvc::WideArg(path).get()); }
BOOL WINAPI HVCRemoveFolderA(LPCSTR path, int removeSelf, DWORD* failedCount)
{
    return HVCRemoveFolderW(hvc::WideArg(path).get(), removeSelf, failedCount);
}

}  // extern "C"
