#include "dialog_logic.h"

#include <wchar.h>

namespace limiter {

PasswordVerdict JudgePassword(int& failures, bool empty, uint32_t typedHash, uint32_t lockHash)
{
    if (empty)
        return PasswordVerdict::Empty;
    if (typedHash == lockHash)
        return PasswordVerdict::Accepted;
    ++failures;
    return failures >= kPasswordMaxFailures ? PasswordVerdict::GiveUp : PasswordVerdict::Wrong;
}

std::wstring FormatInfoClock(const LocalTime& t)
{
    static const wchar_t* const kWeekdays[7] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
    const wchar_t* day = (t.weekday >= 0 && t.weekday < 7) ? kWeekdays[t.weekday] : L"?";
    wchar_t text[64];
    swprintf(text, sizeof text / sizeof text[0], L"%04d/%02d/%02d (%ls) %02d:%02d:%02d", t.year, t.month, t.day,
             day, t.hour, t.minute, t.second);
    return text;
}

std::wstring FormatUserLabel(const wchar_t* name, const wchar_t* fullName)
{
    std::wstring label = name ? name : L"";
    if (fullName && *fullName) {
        label += L" (";
        label += fullName;
        label += L")";
    }
    return label;
}

bool IsUnlimitedNow(const UserData& user, const GroupData& group, const LocalTime& now)
{
    if ((user.LimitMode & 0xFFFFu) == LIMIT_TIMER)
        return false;
    return GetRemainSchedule(user, group, now) == REMAIN_UNLIMITED;
}

const wchar_t* ModeDescription(bool unlimited, uint32_t limitMode)
{
    if (unlimited)
        return L"制限なし\n(常にログイン可能)";
    switch (limitMode & 0xFFFFu) {
    case LIMIT_DAILY:
        return L"制限あり : 毎日モード\n(毎日決まった時間帯のみログイン可能)";
    case LIMIT_WEEKDAY_WEEKEND:
        return L"制限あり : 平日/週末切り替えモード\n(平日・週末で指定された時間帯のみログイン可能)";
    case LIMIT_DAY_OF_WEEK:
        return L"制限あり : 曜日別モード\n(曜日ごとに決められた時間帯のみログイン可能)";
    case LIMIT_GROUP:
        return L"制限あり : グループ モード\n(所属グループに対して設定された時間帯のみログイン可能)";
    case LIMIT_TIMER:
        return L"制限あり : リミット モード\n(時間帯にかかわらないタイマー方式)";
    default:
        return nullptr;
    }
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

bool IsAbsolutePath(const std::wstring& path)
{
    if (path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
        path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'))
        return true;
    return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

std::wstring FolderOfPath(const std::wstring& modulePath)
{
    size_t slash = modulePath.find_last_of(L"\\/");
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

}  // namespace limiter
