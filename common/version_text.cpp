// Strings from a file's version resource, and the WOW64 test.
#include <windows.h>

#include <cwchar>
#include <string>

#include "hvCommon.h"
#include "narrow.h"
#include "raii.h"
#include "status.h"

using hvc::Done;

namespace {

constexpr size_t kFilePathChars = MAX_PATH;  // terminator included
constexpr size_t kQueryChars = 256;          // terminator included
const wchar_t kDefaultBlock[] = L"041104b0";

// The full path of the calling program, however long.
std::wstring OwnProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

template <typename Char>
Char* HeapCopy(const Char* text, size_t length)
{
    Char* copy = static_cast<Char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (length + 1) * sizeof(Char)));
    if (copy)
        memcpy(copy, text, length * sizeof(Char));
    return copy;
}

// The value as UTF-16 (into `value`). Paths and names that do not fit the
// fixed buffers are refused up front rather than cut short.
BOOL VersionString(LPCWSTR file, LPCWSTR block, LPCWSTR name, std::wstring* value)
{
    if (!name || !*name)
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    std::wstring path;
    if (file) {
        if (wcslen(file) >= kFilePathChars)
            return Done(HVCERR_INVALID_ARGUMENT, FALSE);
        path = file;
    } else {
        path = OwnProgramPath();
    }
    if (!block)
        block = kDefaultBlock;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
    if (query.size() >= kQueryChars)
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return Done(HVCERR_NO_VERSION_RESOURCE, FALSE);
    hv::UniqueHeap info(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + sizeof(wchar_t)));
    void* found = nullptr;
    UINT length = 0;
    if (!info || !GetFileVersionInfoW(path.c_str(), 0, size, info.get()) ||
        !VerQueryValueW(info.get(), query.c_str(), &found, &length) || !found)
        return Done(HVCERR_RESOURCE_STRING, FALSE);
    // The length counts characters, sometimes with the terminator: stop at it.
    const wchar_t* text = static_cast<const wchar_t*>(found);
    value->assign(text, wcsnlen(text, length));
    return TRUE;
}

}  // namespace

extern "C" {

BOOL WINAPI HVCGetVersionResourceStringW(LPCWSTR file, LPCWSTR block, LPCWSTR value, LPWSTR* out)
{
    if (!out)
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    std::wstring text;
    if (!VersionString(file, block, value, &text))
        return FALSE;
    wchar_t* copy = HeapCopy(text.c_str(), text.size());
    if (!copy)
        return Done(HVCERR_RESOURCE_STRING, FALSE);
    *out = copy;
    return Done(HVCERR_SUCCESS, TRUE);
}

BOOL WINAPI HVCGetVersionResourceStringA(LPCSTR file, LPCSTR block, LPCSTR value, LPSTR* out)
{
    if (!out)
        return Done(HVCERR_INVALID_ARGUMENT, FALSE);
    std::wstring text;
    if (!VersionString(hvc::WideArg(file).get(), hvc::WideArg(block).get(), hvc::WideArg(value).get(), &text))
        return FALSE;
    std::string narrow;
    if (!text.empty()) {
        const int wide = static_cast<int>(text.size());
        const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, nullptr, 0, nullptr, nullptr);
        narrow.resize(static_cast<size_t>(n));
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, &narrow[0], n, nullptr, nullptr);
    }
    char* copy = HeapCopy(narrow.c_str(), narrow.size());
    if (!copy)
        return Done(HVCERR_RESOURCE_STRING, FALSE);
    *out = copy;
    return Done(HVCERR_SUCCESS, TRUE);
}

BOOL WINAPI HVCCheckWOW64(void)
{
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleW(L"Kernel32.dll");
    const auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "IsWow64Process")))
                                : nullptr;
    if (!isWow64)
        return Done(HVCERR_SUCCESS, FALSE);
    BOOL wow64 = FALSE;
    if (!isWow64(GetCurrentProcess(), &wow64))
        return Done(HVCERR_NOT_SUPPORTED, FALSE);
    return Done(HVCERR_SUCCESS, wow64);
}

}  // extern "C"
