// Files, folders and checksums of hvCommon.dll against the real file system
// of a private Wine prefix. Every test works in a folder of its own below the
// temporary folder; the prefix is thrown away after the run.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crc32.h"
#include "hvCommon.h"

namespace {

constexpr DWORD kUntouched = 0x5A5A5A5Au;
constexpr ULONGLONG k5GiB = 5ULL << 30;

std::wstring CurrentDir()
{
    wchar_t buf[MAX_PATH];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, buf);
    return std::wstring(buf, n);
}

class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->name());
        root_ = std::wstring(temp) + L"hvc-" + std::wstring(name.begin(), name.end());
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr)) << GetLastError();
        cwd_ = CurrentDir();
    }
    void TearDown() override { SetCurrentDirectoryW(cwd_.c_str()); }

    std::wstring Path(const std::wstring& rel) const { return root_ + L"\\" + rel; }

    std::wstring Write(const std::wstring& rel, const std::string& bytes, DWORD attributes = 0)
    {
        const std::wstring path = Path(rel);
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, f) << GetLastError();
        DWORD written = 0;
        if (!bytes.empty())
            WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
        if (attributes)
            SetFileAttributesW(path.c_str(), attributes);
        return path;
    }

    std::wstring Folder(const std::wstring& rel)
    {
        const std::wstring path = Path(rel);
        EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << GetLastError();
        return path;
    }

    // A sparse file of `size` bytes: nothing but its length is stored.
    std::wstring Sparse(const std::wstring& rel, ULONGLONG size)
    {
        const std::wstring path = Path(rel);
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, f);
        DWORD ignored = 0;
        DeviceIoControl(f, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(size);
        EXPECT_TRUE(SetFilePointerEx(f, at, nullptr, FILE_BEGIN));
        EXPECT_TRUE(SetEndOfFile(f)) << GetLastError();
        CloseHandle(f);
        return path;
    }

    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring root_;
    std::wstring cwd_;
};

TEST_F(Files, ExistenceOfFilesFoldersAndPatterns)
{
    Write(L"a.txt", "x");
    Folder(L"sub");
    struct Case {
        std::wstring path;
        BOOL result;
        DWORD code;
    } cases[] = {
        {Path(L"a.txt"), 1, HVCERR_SUCCESS},
        {Path(L"sub"), 1, HVCERR_SUCCESS},
        {Path(L"*.txt"), 1, HVCERR_SUCCESS},
        {Path(L"?.txt"), 1, HVCERR_SUCCESS},
        {Path(L"*.doc"), 0, HVCERR_SUCCESS},
        {Path(L"missing.txt"), 0, HVCERR_SUCCESS},  // absence is no error
        {Path(L"missing\\a.txt"), 0, HVCERR_SUCCESS},
        {L"", 0, HVCERR_INVALID_ARGUMENT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, HVCGetFileExistW(c.path.c_str())) << c.path.c_str();
        EXPECT_EQ(c.code, HVCGetLastError()) << c.path.c_str();
        const std::string narrow(c.path.begin(), c.path.end());  // ASCII paths
        EXPECT_EQ(c.result, HVCGetFileExistA(narrow.c_str())) << narrow;
        EXPECT_EQ(c.code, HVCGetLastError()) << narrow;
    }
    EXPECT_FALSE(HVCGetFileExistW(nullptr));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
    EXPECT_FALSE(HVCGetFileExistA(nullptr));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
}

// The narrow forms take the system code page (932 here): a Japanese name
// written in Shift-JIS names the same file as its UTF-16 form.
TEST_F(Files, NarrowFormsUseTheAnsiCodePage)
{
    ASSERT_EQ(932u, GetACP());
    Write(L"データ.txt", "12345");
    const std::wstring wide = Path(L"データ.txt");
    char narrow[MAX_PATH * 2];
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr), 0);
    EXPECT_TRUE(HVCGetFileExistA(narrow));
    EXPECT_EQ(5u, HVCGetFileLengthA(narrow));
    DWORD crc = 0;
    EXPECT_EQ(5u, HVCGetCRC32ChecksumA(narrow, &crc));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    DWORD crcW = 0;
    HVCGetCRC32ChecksumW(wide.c_str(), &crcW);
    EXPECT_EQ(crcW, crc);
}

TEST_F(Files, Lengths)
{
    const std::wstring empty = Write(L"empty.bin", "");
    const std::wstring small = Write(L"small.bin", std::string(1234, 'z'));
    const std::wstring big = Sparse(L"big.bin", k5GiB);
    const std::wstring missing = Path(L"missing.bin");

    EXPECT_EQ(0u, HVCGetFileLengthW(empty.c_str()));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(1234u, HVCGetFileLengthExW(small.c_str()));
    // Above 4 GiB the plain form gives the low 32 bits (1 GiB), the Ex form all.
    EXPECT_EQ(1u << 30, HVCGetFileLengthW(big.c_str()));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(k5GiB, HVCGetFileLengthExW(big.c_str()));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(k5GiB, HVCGetFileLengthExA(std::string(big.begin(), big.end()).c_str()));
    // A folder has no length of its own, and that is no error.
    EXPECT_EQ(0u, HVCGetFileLengthExW(root_.c_str()));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());

    EXPECT_EQ(0u, HVCGetFileLengthW(missing.c_str()));
    EXPECT_EQ(HVCERR_NOT_FOUND, HVCGetLastError());
    EXPECT_EQ(0u, HVCGetFileLengthExW(missing.c_str()));
    EXPECT_EQ(HVCERR_NOT_FOUND, HVCGetLastError());
    EXPECT_EQ(0u, HVCGetFileLengthW(L""));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
    EXPECT_EQ(0u, HVCGetFileLengthExA(nullptr));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
}

TEST_F(Files, ChecksumOfDocumentedContents)
{
    struct Case {
        const char* content;
        DWORD crc;
    } cases[] = {
        {"123456789", 0x340BC6D9u},
        {"abc", 0xCADBBE3Du},
        {"", 0xFFFFFFFFu},  // an empty file: result 0, yet a success
    };
    for (const Case& c : cases) {
        const std::wstring path = Write(L"c.bin", c.content);
        DWORD crc = kUntouched;
        EXPECT_EQ(strlen(c.content), HVCGetCRC32ChecksumW(path.c_str(), &crc)) << c.content;
        EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError()) << c.content;
        EXPECT_EQ(c.crc, crc) << c.content;
        crc = kUntouched;
        EXPECT_EQ(strlen(c.content), HVCGetCRC32ChecksumExW(path.c_str(), &crc)) << c.content;
        EXPECT_EQ(c.crc, crc) << c.content;
    }
}

// Around the 256 KiB read block: exactly one block (read twice, the second
// read empty), and blocks plus a tail.
TEST_F(Files, ChecksumAcrossReadBlocks)
{
    for (size_t size : {size_t{0x40000}, size_t{0x40000 - 1}, size_t{2 * 0x40000 + 3}}) {
        std::string data(size, '\0');
        for (size_t i = 0; i < size; ++i)
            data[i] = static_cast<char>((i * 31) ^ (i >> 9));
        const std::wstring path = Write(L"block.bin", data);
        uint32_t table[256];
        hv::Crc32BuildTable(table);
        const uint32_t want = hv::Crc32Update(table, 0xFFFFFFFFu, data.data(), data.size());

        DWORD crc = kUntouched;
        EXPECT_EQ(size, HVCGetCRC32ChecksumW(path.c_str(), &crc)) << size;
        EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError()) << size;
        EXPECT_EQ(want, crc) << size;
        crc = kUntouched;
        EXPECT_EQ(size, HVCGetCRC32ChecksumExA(std::string(path.begin(), path.end()).c_str(), &crc)) << size;
        EXPECT_EQ(want, crc) << size;
    }
}

// A pause of 5 ms follows every full block, also the last one when the size
// is a multiple of the block: 40 full blocks take at least 200 ms, where
// reading and summing 10 MiB alone takes a fraction of that.
TEST_F(Files, ChecksumPausesAfterEveryFullBlock)
{
    const std::wstring path = Write(L"ten.bin", std::string(40 * 0x40000, 'p'));
    DWORD crc = 0;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(40u * 0x40000, HVCGetCRC32ChecksumExW(path.c_str(), &crc));
    EXPECT_GE(GetTickCount64() - start, 200u);
}

TEST_F(Files, ChecksumFailuresLeaveTheChecksumAlone)
{
    const std::wstring big = Sparse(L"big.bin", k5GiB);
    const std::wstring ok = Write(L"ok.bin", "abc");
    const std::wstring missing = Path(L"missing.bin");
    DWORD crc = kUntouched;

    // Only the plain form refuses a file above 4 GiB.
    EXPECT_EQ(0u, HVCGetCRC32ChecksumW(big.c_str(), &crc));
    EXPECT_EQ(HVCERR_FILE_TOO_LARGE, HVCGetLastError());
    EXPECT_EQ(0u, HVCGetCRC32ChecksumA(std::string(big.begin(), big.end()).c_str(), &crc));
    EXPECT_EQ(HVCERR_FILE_TOO_LARGE, HVCGetLastError());

    EXPECT_EQ(0u, HVCGetCRC32ChecksumW(missing.c_str(), &crc));
    EXPECT_EQ(HVCERR_OPEN_FILE, HVCGetLastError());
    EXPECT_EQ(0u, HVCGetCRC32ChecksumExW(missing.c_str(), &crc));
    EXPECT_EQ(HVCERR_OPEN_FILE, HVCGetLastError());
    EXPECT_EQ(0u, HVCGetCRC32ChecksumW(root_.c_str(), &crc));  // a folder
    EXPECT_EQ(HVCERR_OPEN_FILE, HVCGetLastError());

    EXPECT_EQ(0u, HVCGetCRC32ChecksumW(nullptr, &crc));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
    EXPECT_EQ(0u, HVCGetCRC32ChecksumExW(ok.c_str(), nullptr));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());

    // Opened for reading while others may only read: a file someone is
    // writing cannot be checksummed.
    HANDLE writer = CreateFileW(ok.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ(0u, HVCGetCRC32ChecksumW(ok.c_str(), &crc));
    EXPECT_EQ(HVCERR_OPEN_FILE, HVCGetLastError());
    CloseHandle(writer);

    EXPECT_EQ(kUntouched, crc);
}

TEST_F(Files, MakeFolder)
{
    const std::wstring made = Path(L"made");
    EXPECT_TRUE(HVCMakeFolderW(HVC_FOLDER_BASE_NONE, made.c_str()));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_TRUE(Exists(made));
    struct Case {
        int base;
        std::wstring path;
        DWORD code;
    } refused[] = {
        {HVC_FOLDER_BASE_NONE, made, HVCERR_CREATE_FOLDER},                  // already there
        {HVC_FOLDER_BASE_NONE, Path(L"no\\parent"), HVCERR_CREATE_FOLDER},  // one level only
        {2, Path(L"other"), HVCERR_INVALID_ARGUMENT},
        {-1, Path(L"other"), HVCERR_INVALID_ARGUMENT},
        {HVC_FOLDER_BASE_NONE, L"", HVCERR_INVALID_ARGUMENT},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(HVCMakeFolderW(c.base, c.path.c_str())) << c.base << " " << c.path.c_str();
        EXPECT_EQ(c.code, HVCGetLastError()) << c.base << " " << c.path.c_str();
    }
    EXPECT_FALSE(Exists(Path(L"other")));
    EXPECT_FALSE(HVCMakeFolderW(HVC_FOLDER_BASE_NONE, nullptr));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
    EXPECT_TRUE(HVCMakeFolderA(HVC_FOLDER_BASE_NONE, std::string(made.begin(), made.end()).append("A").c_str()));
    EXPECT_TRUE(Exists(made + L"A"));
}

// Base 1 works below the Documents folder, which stays the current directory.
TEST_F(Files, MakeFolderBelowDocuments)
{
    wchar_t documents[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, TRUE));
    const std::wstring name = L"hvc-made-" + std::to_wstring(GetCurrentProcessId());

    EXPECT_TRUE(HVCMakeFolderW(HVC_FOLDER_BASE_DOCUMENTS, name.c_str()));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(0, lstrcmpiW(documents, CurrentDir().c_str()));
    EXPECT_TRUE(Exists(std::wstring(documents) + L"\\" + name));
    // Already there is fine with this base ...
    SetCurrentDirectoryW(root_.c_str());
    EXPECT_TRUE(HVCMakeFolderW(HVC_FOLDER_BASE_DOCUMENTS, name.c_str()));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(0, lstrcmpiW(documents, CurrentDir().c_str()));
    // ... but a file of that name is no folder.
    const std::wstring file = std::wstring(documents) + L"\\" + name + L".txt";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_FALSE(HVCMakeFolderW(HVC_FOLDER_BASE_DOCUMENTS, (name + L".txt").c_str()));
    EXPECT_EQ(HVCERR_BASE_PATH, HVCGetLastError());
    DeleteFileW(file.c_str());
    RemoveDirectoryW((std::wstring(documents) + L"\\" + name).c_str());
}

// Paths are handed to the system as they are: beyond 259 characters a file
// is reached with the \\?\ prefix, and without it the system's
// answer stands (nothing is cut short or copied into a fixed buffer).
TEST_F(Files, LongPathsGoToTheSystemUnchanged)
{
    std::wstring dir = L"\\\\?\\" + root_;
    for (int i = 0; i < 6; ++i) {
        dir += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr)) << GetLastError();
    }
    const std::wstring file = dir + L"\\f.txt";
    ASSERT_GT(file.size(), 300u);
    HANDLE f = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    DWORD written;
    WriteFile(f, "123456789", 9, &written, nullptr);
    CloseHandle(f);

    EXPECT_TRUE(HVCGetFileExistW(file.c_str()));
    EXPECT_EQ(9u, HVCGetFileLengthW(file.c_str()));
    DWORD crc = 0;
    EXPECT_EQ(9u, HVCGetCRC32ChecksumW(file.c_str(), &crc));
    EXPECT_EQ(0x340BC6D9u, crc);
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    // The same path without the prefix: whatever the system says, the call
    // answers consistently and the code matches the result.
    const std::wstring bare = file.substr(4);
    const BOOL found = HVCGetFileExistW(bare.c_str());
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(found ? 9u : 0u, HVCGetFileLengthW(bare.c_str()));
    EXPECT_EQ(found ? HVCERR_SUCCESS : HVCERR_NOT_FOUND, HVCGetLastError());
}

class RemoveFolder : public Files {
protected:
    // A tree with read-only, hidden and system files, a read-only folder and
    // a nested level.
    void MakeTree()
    {
        top_ = Folder(L"top");
        Write(L"top\\plain.txt", "1");
        Write(L"top\\readonly.txt", "2", FILE_ATTRIBUTE_READONLY);
        Write(L"top\\hidden.txt", "3", FILE_ATTRIBUTE_HIDDEN);
        Folder(L"top\\sub");
        Write(L"top\\sub\\system.txt", "4", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
        Folder(L"top\\sub\\deeper");
        Write(L"top\\sub\\deeper\\deep.txt", "5", FILE_ATTRIBUTE_READONLY);
        Folder(L"top\\rofolder");
        Write(L"top\\rofolder\\x.txt", "6");
        SetFileAttributesW(Path(L"top\\rofolder").c_str(), FILE_ATTRIBUTE_READONLY);
        Write(L"beside.txt", "keep");
    }
    bool IsEmptyFolder(const std::wstring& path)
    {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        int entries = 0;
        do
            entries += wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L"..");
        while (FindNextFileW(find, &data));
        FindClose(find);
        return entries == 0;
    }
    std::wstring top_;
};

TEST_F(RemoveFolder, EmptiesTheTreeAndKeepsTheTopFolder)
{
    MakeTree();
    DWORD left = kUntouched;
    EXPECT_TRUE(HVCRemoveFolderW(top_.c_str(), 0, &left));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_EQ(0u, left);
    EXPECT_TRUE(IsEmptyFolder(top_));
    EXPECT_TRUE(Exists(Path(L"beside.txt")));
    EXPECT_EQ(cwd_, CurrentDir());
}

TEST_F(RemoveFolder, RemovesTheTopFolderToo)
{
    MakeTree();
    EXPECT_TRUE(HVCRemoveFolderW(top_.c_str(), 1, nullptr));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    EXPECT_FALSE(Exists(top_));
    EXPECT_TRUE(Exists(Path(L"beside.txt")));
    EXPECT_EQ(cwd_, CurrentDir());

    // A relative path resolves against the caller's current directory, which
    // is restored before the folder itself goes; the narrow form likewise.
    MakeTree();
    ASSERT_TRUE(SetCurrentDirectoryW(root_.c_str()));
    EXPECT_TRUE(HVCRemoveFolderA("top", 1, nullptr));
    EXPECT_FALSE(Exists(top_));
    EXPECT_EQ(root_, CurrentDir());
}

TEST_F(RemoveFolder, OnlyExactlyOneRemovesTheTopFolder)
{
    MakeTree();
    EXPECT_TRUE(HVCRemoveFolderW(top_.c_str(), 2, nullptr));
    EXPECT_TRUE(IsEmptyFolder(top_));
}

// A file that cannot be deleted is skipped and counted; the call still
// succeeds, and so does everything else.
TEST_F(RemoveFolder, ReportsWhatCouldNotBeDeleted)
{
    MakeTree();
    const std::wstring locked = Path(L"top\\sub\\locked.txt");
    Write(L"top\\sub\\locked.txt", "busy");
    HANDLE hold = CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    DWORD left = kUntouched;
    EXPECT_TRUE(HVCRemoveFolderW(top_.c_str(), 1, &left));
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
    // The locked file, and the two folders that therefore could not go.
    EXPECT_EQ(3u, left);
    EXPECT_TRUE(Exists(locked));
    EXPECT_FALSE(Exists(Path(L"top\\plain.txt")));
    EXPECT_FALSE(Exists(Path(L"top\\sub\\deeper")));
    EXPECT_EQ(cwd_, CurrentDir());
    CloseHandle(hold);
}

TEST_F(RemoveFolder, RefusesWhatItCannotEnter)
{
    MakeTree();
    const std::wstring longPath = root_ + L"\\" + std::wstring(300 - root_.size(), L'x');
    struct Case {
        const wchar_t* what;
        std::wstring path;
    } cases[] = {
        {L"missing", Path(L"missing")},
        {L"a file", Path(L"beside.txt")},
        {L"too long", longPath},
    };
    for (const Case& c : cases) {
        DWORD left = kUntouched;
        EXPECT_FALSE(HVCRemoveFolderW(c.path.c_str(), 1, &left)) << c.what;
        EXPECT_EQ(HVCERR_NOT_FOUND, HVCGetLastError()) << c.what;
        EXPECT_EQ(kUntouched, left) << c.what;
        EXPECT_EQ(cwd_, CurrentDir()) << c.what;
    }
    EXPECT_FALSE(HVCRemoveFolderW(nullptr, 1, nullptr));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
    // Nothing anywhere was touched.
    EXPECT_TRUE(Exists(Path(L"top\\sub\\deeper\\deep.txt")));
    EXPECT_TRUE(Exists(Path(L"beside.txt")));
}

// A folder link inside the tree goes, but what it points to stays, with its
// attributes: clearing them through the link would reach outside the tree.
TEST_F(RemoveFolder, LinksAreRemovedNotFollowed)
{
    MakeTree();
    const std::wstring outside = Folder(L"outside");
    Write(L"outside\\precious.txt", "keep");
    const std::wstring link = Path(L"top\\link");
    if (!CreateSymbolicLinkW(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        !(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !Exists(link + L"\\precious.txt"))
        GTEST_SKIP() << "folder links cannot be made or followed here";
    const DWORD guarded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
    SetFileAttributesW(outside.c_str(), guarded);
    EXPECT_TRUE(HVCRemoveFolderW(top_.c_str(), 1, nullptr));
    EXPECT_FALSE(Exists(top_));
    EXPECT_TRUE(Exists(Path(L"outside\\precious.txt")));
    EXPECT_EQ(guarded, GetFileAttributesW(outside.c_str()) & guarded);
    SetFileAttributesW(outside.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
