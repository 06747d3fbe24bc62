// "/Upgrade": the previous version's settings files carried over once. The
// files are read through the profile functions, which take them as that
// version wrote them (in the ANSI code page); what they hold is mapped in
// upgrade_logic. Its messages are plain message boxes, not the hook
// library's.
#include "editor.h"

#include <shlobj.h>

#include "upgrade_logic.h"

namespace {

std::wstring OldSettingsFolder()
{
    wchar_t common[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common)))
        return std::wstring();
    return std::wstring(common) + L"\\" + editor::kOldSettingsFolder;
}

std::wstring ReadText(const std::wstring& file, const wchar_t* section, const wchar_t* key, const wchar_t* fallback)
{
    wchar_t text[editor::kOldTextChars] = {};
    GetPrivateProfileStringW(section, key, fallback, text, ARRAYSIZE(text), file.c_str());
    return text;
}

uint32_t ReadNumber(const std::wstring& file, const wchar_t* section, const wchar_t* key, uint32_t fallback)
{
    return GetPrivateProfileIntW(section, key, static_cast<INT>(fallback), file.c_str());
}

int Show(HWND owner, const editor::UpgradeMessage& m)
{
    return MessageBoxW(owner, hv::LoadText(m.text).c_str(), hv::LoadText(m.caption).c_str(), m.style);
}

void ShowAll(HWND owner, const std::vector<editor::UpgradeMessage>& messages)
{
    for (const editor::UpgradeMessage& m : messages)
        Show(owner, m);
}

editor::OldOptions ReadOldOptions(const std::wstring& file)
{
    editor::OldOptions old;
    old.timeOutAction = ReadNumber(file, L"Options", L"TimeOutActionMode", old.timeOutAction);
    old.password = ReadText(file, L"Option", L"Password", L"");
    old.daily = ReadText(file, L"LimitSettings", L"Daily", editor::kOldNoLimit);
    return old;
}

// A missing "Global.ini" reads as its defaults: log off, no lock, an empty
// group for the simple mode.
void UpgradeOptions(HWND owner, const std::wstring& folder)
{
    const editor::OldOptions old =
        folder.empty() ? editor::OldOptions{} : ReadOldOptions(folder + L"\\" + editor::kOldOptionsFile);
    const editor::OptionUpgrade upgrade = editor::UpgradeOptions(old, GetPasswordHashW);
    const bool written = WriteOptionRecord(upgrade.options) == 1;
    if (written)
        WriteGroupDataW(editor::kSimpleModeGroup, &upgrade.simpleGroup);
    ShowAll(owner, editor::OptionUpgradeMessages(upgrade, written));
}

editor::OldUser ReadOldUser(const std::wstring& file)
{
    editor::OldUser old;
    old.limitMode = ReadNumber(file, L"Option", L"LimitMode", old.limitMode);
    for (int i = 0; i < editor::kOldRangeCount; ++i)
        old.ranges[i] = ReadText(file, L"LimitSettings", editor::kOldRangeKeys[i], editor::kOldNoLimit);
    old.half = ReadNumber(file, L"LimitModeSetting", L"Half", old.half);
    old.dayMinute = ReadNumber(file, L"LimitModeSetting", L"DayMinute", old.dayMinute);
    old.amMinute = ReadNumber(file, L"LimitModeSetting", L"AMMinute", old.amMinute);
    old.pmMinute = ReadNumber(file, L"LimitModeSetting", L"PMMinute", old.pmMinute);
    old.halfExt = ReadNumber(file, L"LimitModeSetting", L"HalfExt", old.halfExt);
    old.exceptionFlag = ReadNumber(file, L"Exception", L"ExceptionFlag", old.exceptionFlag);
    return old;
}

// Every file of the "Users" folder is one account, named as the file is
// listed (with any extension). A missing folder writes nothing.
void UpgradeUsers(HWND owner, const std::wstring& folder)
{
    editor::UpgradeNotes notes;
    const std::wstring users = folder + L"\\" + editor::kOldUsersFolder;
    WIN32_FIND_DATAW entry;
    hv::UniqueFind find(folder.empty() ? INVALID_HANDLE_VALUE : FindFirstFileW((users + L"\\*.*").c_str(), &entry));
    if (find) {
        do {
            // "." and "..", and any folder: none of them is a user's file.
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const UserData user = editor::UpgradeUser(ReadOldUser(users + L"\\" + entry.cFileName), notes);
            WriteUserDataW(entry.cFileName, &user, 0);  // a record that cannot be written is skipped
        } while (FindNextFileW(find.get(), &entry));
    }
    ShowAll(owner, editor::UserUpgradeMessages(notes));
}

}  // namespace

void RunSettingsUpgrade(HWND owner)
{
    const std::wstring folder = OldSettingsFolder();
    if (Show(owner, editor::OptionsQuestion()) == IDYES)
        UpgradeOptions(owner, folder);
    if (Show(owner, editor::UsersQuestion()) == IDYES)
        UpgradeUsers(owner, folder);
}
