#include "shared_logic.h"

#include <wchar.h>

namespace hv {

PasswordVerdict JudgePassword(int& failures, bool empty, uint32_t typedHash, uint32_t lockHash)
{
    if (empty)
        return PasswordVerdict::Empty;
    if (typedHash == lockHash)
        return PasswordVerdict::Accepted;
    ++failures;
    return failures >= kPasswordMaxFailures ? PasswordVerdict::GiveUp : PasswordVerdict::Wrong;
}

std::wstring FormatVersionLine(const wchar_t* fileVersion, const wchar_t* productVersion)
{
    std::wstring line = L"Version ";
    line += fileVersion ? fileVersion : L"";
    line += L" (";
    line += productVersion ? productVersion : L"";
    line += L")";
    return line;
}

int AdministratorsVerdict(bool lookupOk, const wchar_t* const* groups, size_t count)
{
    if (!lookupOk)
        return -1;
    for (size_t i = 0; i < count; ++i) {
        if (groups[i] && wcscmp(groups[i], L"Administrators") == 0)
            return 1;
    }
    return 0;
}

bool CountsAsAdministrator(int verdict, LookupFailure onFailure)
{
    if (verdict < 0)
        return onFailure == LookupFailure::CountsAsMember;
    return verdict == 1;
}

bool IsAbsolutePath(const std::wstring& path)
{
    if (path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
        path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'))
        return true;
    return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

std::wstring FolderOfPath(const std::wstring& modulePath)
{
    const size_t slash = modulePath.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return std::wstring();
    std::wstring folder = modulePath.substr(0, slash + 1);
    return IsAbsolutePath(folder) ? folder : std::wstring();
}

std::wstring PathInFolder(const std::wstring& folder, const wchar_t* file)
{
    if (folder.empty() || !file || !*file || !IsAbsolutePath(folder))
        return std::wstring();
    std::wstring path = folder;
    if (path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    path += file;
    return path.size() < kMaxPath ? path : std::wstring();
}

std::wstring ChooseHtmlHelpModule(const std::wstring& registered, const std::wstring& systemFolder)
{
    if (IsAbsolutePath(registered) && registered.size() < kMaxPath)
        return registered;
    return PathInFolder(systemFolder, L"hhctrl.ocx");
}

}  // namespace hv

#include "text_source.h"

namespace hv {

std::wstring ReplacePlaceholder(std::wstring format, const wchar_t* value)
{
    const size_t at = format.find(L"%s");
    if (at != std::wstring::npos)
        format.replace(at, 2, value ? value : L"");
    return format;
}

}  // namespace hv
