// Status codes and their texts, version strings and the WOW64 test of
// hvCommon.dll, under Wine with code page 932 as the ANSI code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hvCommon.h"
#include "status_texts.h"

namespace {

const wchar_t* const kTexts[] = {
    L"処理は正常に終了しました。",
    L"引数の指定が正しくありません。",
    L"ファイルまたはフォルダが見つかりません。",
    L"ファイル サイズが 4 GB を超過しています。",
    L"対象ファイルにバージョン リソースはありません。",
    L"リソース文字列が見つからないか、失敗しました。",
    L"フォルダを作成できませんでした。",
    L"ベースとなるパスを取得できませんでした。",
    L"この機能はお使いの環境ではサポートされていません。",
    L"ファイルを開くことができません。",
};

std::string Cp932(const std::wstring& s)
{
    char buf[1024];
    const int n = WideCharToMultiByte(932, 0, s.c_str(), -1, buf, sizeof buf, nullptr, nullptr);
    return n > 0 ? std::string(buf, n - 1) : std::string();
}

std::wstring TempFile(const wchar_t* name, const char* content)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + name;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(f, content, static_cast<DWORD>(strlen(content)), &written, nullptr);
    CloseHandle(f);
    return path;
}

std::wstring CommonDllPath()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(GetModuleHandleW(L"hvCommon.dll"), path, MAX_PATH);
    return std::wstring(path, n);
}

TEST(StatusText, EightBitTableIsTheCodePage932FormOfTheWideTable)
{
    for (int i = 0; i < hv::kStatusTextCount; ++i)
        EXPECT_EQ(Cp932(kTexts[i]), hv::kStatusTextsA[i]) << "code " << i;
}

// Each code as a real call leaves it, with the text the library points to.
TEST(StatusText, CallsLeaveTheirCodeAndText)
{
    const std::wstring missing = TempFile(L"hvc-gone.txt", "");
    DeleteFileW(missing.c_str());
    const std::wstring plain = TempFile(L"hvc-plain.txt", "no version here");
    const std::wstring dll = CommonDllPath();
    LPWSTR value = nullptr;
    DWORD crc;
    struct Case {
        DWORD code;
        bool (*provoke)(const std::wstring& missing, const std::wstring& plain, const std::wstring& dll, LPWSTR* v,
                        DWORD* crc);
    } cases[] = {
        {HVCERR_SUCCESS, [](auto&, auto& p, auto&, LPWSTR*, DWORD*) { return !!HVCGetFileExistW(p.c_str()); }},
        {HVCERR_INVALID_ARGUMENT, [](auto&, auto&, auto&, LPWSTR*, DWORD*) { return !HVCGetFileExistW(L""); }},
        {HVCERR_NOT_FOUND, [](auto& m, auto&, auto&, LPWSTR*, DWORD*) { return !HVCGetFileLengthW(m.c_str()); }},
        {HVCERR_NO_VERSION_RESOURCE,
         [](auto&, auto& p, auto&, LPWSTR* v, DWORD*) {
             return !HVCGetVersionResourceStringW(p.c_str(), nullptr, L"FileVersion", v);
         }},
        {HVCERR_RESOURCE_STRING,
         [](auto&, auto&, auto& d, LPWSTR* v, DWORD*) {
             return !HVCGetVersionResourceStringW(d.c_str(), nullptr, L"NoSuchValue", v);
         }},
        {HVCERR_CREATE_FOLDER, [](auto& m, auto&, auto&, LPWSTR*, DWORD*) {
             return !HVCMakeFolderW(0, (m + L"\\a\\b").c_str());
         }},
        {HVCERR_OPEN_FILE,
         [](auto& m, auto&, auto&, LPWSTR*, DWORD* c) { return !HVCGetCRC32ChecksumW(m.c_str(), c); }},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.provoke(missing, plain, dll, &value, &crc)) << "code " << c.code;
        LPCWSTR wide = nullptr;
        LPCSTR narrow = nullptr;
        EXPECT_EQ(c.code, HVCGetLastErrorExW(&wide));
        EXPECT_EQ(c.code, HVCGetLastErrorExA(&narrow));
        EXPECT_EQ(c.code, HVCGetLastError());  // reading it changes nothing
        ASSERT_NE(nullptr, wide);
        ASSERT_NE(nullptr, narrow);
        EXPECT_STREQ(kTexts[c.code], wide);
        EXPECT_EQ(Cp932(kTexts[c.code]), narrow);
    }
    EXPECT_EQ(nullptr, value);
}

TEST(StatusText, NullAddressGetsTheCodeOnly)
{
    DWORD crc;
    HVCGetCRC32ChecksumW(L"C:\\hvc-no-such-file", &crc);
    EXPECT_EQ(HVCERR_OPEN_FILE, HVCGetLastErrorExW(nullptr));
    EXPECT_EQ(HVCERR_OPEN_FILE, HVCGetLastErrorExA(nullptr));
    // Neither do these touch it.
    HVCPointerFree(nullptr);
    HVCSetCenterDialogWindow(nullptr);
    EXPECT_EQ(HVCERR_OPEN_FILE, HVCGetLastError());
}

TEST(VersionString, ReadsOurOwnDll)
{
    const std::wstring dll = CommonDllPath();
    struct Case {
        const wchar_t* block;
        const wchar_t* name;
        const wchar_t* want;
    } cases[] = {
        {L"041104b0", L"FileDescription", L"Halvern Curfew 共通ライブラリ"},
        {nullptr, L"FileDescription", L"Halvern Curfew 共通ライブラリ"},  // the default block
        {nullptr, L"OriginalFilename", L"hvCommon.dll"},
        {nullptr, L"CompanyName", L"Halvern Software"},
    };
    for (const Case& c : cases) {
        LPWSTR value = nullptr;
        ASSERT_TRUE(HVCGetVersionResourceStringW(dll.c_str(), c.block, c.name, &value)) << c.name;
        EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
        EXPECT_STREQ(c.want, value);
        // A zero-filled block of the process heap, just big enough.
        EXPECT_EQ((wcslen(c.want) + 1) * sizeof(wchar_t), HeapSize(GetProcessHeap(), 0, value));
        EXPECT_TRUE(HVCPointerFree(value));
    }
    LPWSTR version = nullptr;
    ASSERT_TRUE(HVCGetVersionResourceStringW(dll.c_str(), nullptr, L"FileVersion", &version));
    EXPECT_STREQ(L"2.00", version);
    HVCPointerFree(version);

    // The narrow form in code page 932.
    const std::string dllA(dll.begin(), dll.end());
    LPSTR narrow = nullptr;
    ASSERT_TRUE(HVCGetVersionResourceStringA(dllA.c_str(), "041104b0", "FileDescription", &narrow));
    EXPECT_EQ(Cp932(L"Halvern Curfew 共通ライブラリ"), narrow);
    EXPECT_EQ(strlen(narrow) + 1, HeapSize(GetProcessHeap(), 0, narrow));
    HVCPointerFree(narrow);
}

TEST(VersionString, NullFileReadsTheCallingProgram)
{
    LPWSTR value = nullptr;
    ASSERT_TRUE(HVCGetVersionResourceStringW(nullptr, nullptr, L"FileDescription", &value));
    EXPECT_STREQ(L"共通ライブラリ テスト", value);
    HVCPointerFree(value);
    LPSTR narrow = nullptr;
    ASSERT_TRUE(HVCGetVersionResourceStringA(nullptr, nullptr, "OriginalFilename", &narrow));
    EXPECT_STREQ("common_text_test.exe", narrow);
    HVCPointerFree(narrow);
}

// Failures leave the caller's pointer as it was. A file path too long for
// the 260-character buffer, or a query too long for its 256, is refused as
// an invalid argument rather than cut short.
TEST(VersionString, FailuresKeepThePointer)
{
    const std::wstring dll = CommonDllPath();
    const std::wstring plain = TempFile(L"hvc-plain2.txt", "text");
    const std::wstring longMissing = L"C:\\" + std::wstring(MAX_PATH - 4, L'x');  // 259 characters
    const std::wstring tooLong = longMissing + L"y";                              // 260
    // "\StringFileInfo\" 16 + block 8 + "\" 1 + name, with the terminator: 256 at most.
    const std::wstring fits(256 - 1 - 16 - 8 - 1, L'n');
    const std::wstring overlong = fits + L"n";
    struct Case {
        const wchar_t* what;
        const wchar_t* file;
        const wchar_t* block;
        const wchar_t* name;
        DWORD code;
    } cases[] = {
        {L"no version resource", plain.c_str(), nullptr, L"FileVersion", HVCERR_NO_VERSION_RESOURCE},
        {L"missing file", L"C:\\hvc-no-such.dll", nullptr, L"FileVersion", HVCERR_NO_VERSION_RESOURCE},
        {L"259-character path is taken", longMissing.c_str(), nullptr, L"FileVersion", HVCERR_NO_VERSION_RESOURCE},
        {L"unknown value", dll.c_str(), nullptr, L"Comments", HVCERR_RESOURCE_STRING},
        {L"unknown block", dll.c_str(), L"040904b0", L"FileVersion", HVCERR_RESOURCE_STRING},
        {L"longest query is taken", dll.c_str(), nullptr, fits.c_str(), HVCERR_RESOURCE_STRING},
        {L"260-character path", tooLong.c_str(), nullptr, L"FileVersion", HVCERR_INVALID_ARGUMENT},
        {L"query too long", dll.c_str(), nullptr, overlong.c_str(), HVCERR_INVALID_ARGUMENT},
        {L"no value name", dll.c_str(), nullptr, nullptr, HVCERR_INVALID_ARGUMENT},
    };
    LPWSTR const kSentinel = reinterpret_cast<LPWSTR>(0x1234);
    for (const Case& c : cases) {
        LPWSTR value = kSentinel;
        EXPECT_FALSE(HVCGetVersionResourceStringW(c.file, c.block, c.name, &value)) << c.what;
        EXPECT_EQ(c.code, HVCGetLastError()) << c.what;
        EXPECT_EQ(kSentinel, value) << c.what;
    }
    EXPECT_FALSE(HVCGetVersionResourceStringW(dll.c_str(), nullptr, L"FileVersion", nullptr));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());

    const std::string tooLongA(tooLong.begin(), tooLong.end());
    LPSTR narrow = reinterpret_cast<LPSTR>(0x1234);
    EXPECT_FALSE(HVCGetVersionResourceStringA(tooLongA.c_str(), nullptr, "FileVersion", &narrow));
    EXPECT_EQ(HVCERR_INVALID_ARGUMENT, HVCGetLastError());
    EXPECT_FALSE(HVCGetVersionResourceStringA("C:\\hvc-no-such.dll", nullptr, "FileVersion", &narrow));
    EXPECT_EQ(HVCERR_NO_VERSION_RESOURCE, HVCGetLastError());
    EXPECT_EQ(reinterpret_cast<LPSTR>(0x1234), narrow);
}

// The library carries its own manifest as resource 2 (for its windows):
// common controls 6, run as the invoker.
TEST(Manifest, ResourceTwoAsksForCommonControlsSix)
{
    const HMODULE dll = GetModuleHandleW(L"hvCommon.dll");
    HRSRC res = FindResourceW(dll, MAKEINTRESOURCEW(2), RT_MANIFEST);
    ASSERT_NE(nullptr, res);
    const char* data = static_cast<const char*>(LockResource(LoadResource(dll, res)));
    ASSERT_NE(nullptr, data);
    const std::string xml(data, SizeofResource(dll, res));
    for (const char* part : {"<description>Halvern Software Common Library</description>",
                             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\"",
                             "language=\"*\"", "level=\"asInvoker\" uiAccess=\"false\""})
        EXPECT_NE(std::string::npos, xml.find(part)) << part;
}

TEST(Wow64, SixtyFourBitProcessIsNotUnderWow64)
{
    HVCGetFileExistW(L"");  // leave a code for the call to overwrite
    EXPECT_FALSE(HVCCheckWOW64());
    EXPECT_EQ(HVCERR_SUCCESS, HVCGetLastError());
}

}  // namespace
