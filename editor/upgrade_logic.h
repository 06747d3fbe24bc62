// Carrying the previous version's settings files over: its time ranges, its
// option and user values mapped onto the current records, and the messages
// the upgrade shows, in their order. The files themselves are read elsewhere;
// no Windows header here, so the host build tests and fuzzes it.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "cfwCommon.h"

namespace editor {

// Where the previous version kept its files: below the common application
// data folder, "Global.ini" for the options and one file per user, named
// after the account, in "Users".
inline constexpr wchar_t kOldSettingsFolder[] = L"Halvern Software\\Halvern Curfew";
inline constexpr wchar_t kOldOptionsFile[] = L"Global.ini";
inline constexpr wchar_t kOldUsersFolder[] = L"Users";
// The group that takes over the old simple mode.
inline constexpr wchar_t kSimpleModeGroup[] = L"SimpleModeUsers";
// An old range that allows nothing.
inline constexpr wchar_t kOldNoLimit[] = L"No Limit";
// The old files' strings were read into buffers of this many characters.
constexpr unsigned kOldTextChars = 16;

// --- time ranges ------------------------------------------------------------------
// "08:30 ～ 17:30" (hours, minutes, a space, a full-width tilde, a space,
// hours, minutes; the minutes are skipped): parsed when both hours were read.
struct OldRange {
    bool parsed = false;
    int start = 0;
    int end = 0;
};
OldRange ParseOldRange(const std::wstring& text);
// Allows the hours from the start up to, but not including, the end hour,
// clipped to the table (a range ending at 30 allows up to hour 23). True
// when the range counts as converted: it parsed, even when it allows
// nothing. "No Limit" and text that does not parse change nothing.
bool ApplyOldRange(const std::wstring& text, uint8_t table[CFW_HOURS]);

// --- option upgrade -----------------------------------------------------------------
// "Global.ini" as read, each key at its default when missing.
struct OldOptions {
    uint32_t timeOutAction = 1;      // [Options] TimeOutActionMode, counted from 1
    std::wstring password;           // [Option] Password, plain text
    std::wstring daily = kOldNoLimit;  // [LimitSettings] Daily, the simple mode's range
};
struct OptionUpgrade {
    OptionData options{TIMEOUT_LOGOFF, 0, PASSWORD_LOCK_OFF};
    GroupData simpleGroup{};         // GROUP_DAILY, written as kSimpleModeGroup
    bool simpleModeFound = false;    // the old simple mode had a range
    bool timeOutReset = false;       // an unknown old action became log off
};
using PasswordHashFn = uint32_t (*)(const wchar_t* text);
OptionUpgrade UpgradeOptions(const OldOptions& old, PasswordHashFn hash);

// --- user upgrade ---------------------------------------------------------------------
// The ten range keys of [LimitSettings] in a user file.
constexpr int kOldRangeCount = 10;
extern const wchar_t* const kOldRangeKeys[kOldRangeCount];
// One user file as read, each key at its default when missing.
struct OldUser {
    uint32_t limitMode = 0;          // [Option] LimitMode
    std::wstring ranges[kOldRangeCount] = {kOldNoLimit, kOldNoLimit, kOldNoLimit, kOldNoLimit, kOldNoLimit,
                                           kOldNoLimit, kOldNoLimit, kOldNoLimit, kOldNoLimit, kOldNoLimit};
    uint32_t half = 0;               // [LimitModeSetting] Half
    uint32_t dayMinute = 60;         // [LimitModeSetting] DayMinute
    uint32_t amMinute = 30;          // [LimitModeSetting] AMMinute
    uint32_t pmMinute = 30;          // [LimitModeSetting] PMMinute
    uint32_t halfExt = 0;            // [LimitModeSetting] HalfExt
    uint32_t exceptionFlag = 0;      // [Exception] ExceptionFlag
};
// What the user upgrade noticed on its way, for the closing notices.
struct UpgradeNotes {
    bool simpleModeUser = false;
    bool rangesConverted = false;
    bool exceptions = false;
};
// The user's new record (running state 0); `notes` collects what was noticed.
UserData UpgradeUser(const OldUser& old, UpgradeNotes& notes);

// --- messages -------------------------------------------------------------------------
// One plain message box: text and caption string ids, MB_* style bits.
struct UpgradeMessage {
    unsigned text;
    unsigned caption;
    unsigned style;
};
UpgradeMessage OptionsQuestion();
UpgradeMessage UsersQuestion();
// After the option upgrade: the completion, then the notices; a failed write
// of the option record is reported as such instead.
std::vector<UpgradeMessage> OptionUpgradeMessages(const OptionUpgrade& upgrade, bool written);
// After the user upgrade: the completion, then each notice taken.
std::vector<UpgradeMessage> UserUpgradeMessages(const UpgradeNotes& notes);

}  // namespace editor
