// Settings store of Halvern Curfew: the registry layout, the user, group and
// option records, and the password hash, exported by cfwCommon.dll.
//
// The records are declared with fixed-width types only, so that code without
// Windows headers (the backup file codec, host tests) shares their layout.
// Their byte layout, padding included, is stored verbatim in backup files.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
typedef wchar_t CfwWideChar;
#else
typedef char16_t CfwWideChar;
#endif

#define CFW_REG_ROOT_W L"Software\\Halvern Software\\Halvern Curfew\\2.0"
#define CFW_REG_ROOT_A "Software\\Halvern Software\\Halvern Curfew\\2.0"
#define CFW_REG_USERS_W CFW_REG_ROOT_W L"\\Users"
#define CFW_REG_GROUPS_W CFW_REG_ROOT_W L"\\Groups"

// Limit modes of a user: low 16 bits of UserData::LimitMode.
enum {
    LIMIT_NONE = 0,
    LIMIT_DAILY = 1,
    LIMIT_WEEKDAY_WEEKEND = 2,
    LIMIT_DAY_OF_WEEK = 3,
    LIMIT_GROUP = 4,
    LIMIT_TIMER = 5,
};
// High 16 bits of UserData::LimitMode: carry the unused morning time over.
#define LIMIT_CARRY_OVER_FLAG 0x00010000u

// A group's own mode numbering.
enum {
    GROUP_DAILY = 0,
    GROUP_WEEKDAY_WEEKEND = 1,
    GROUP_DAY_OF_WEEK = 2,
};

enum {
    TIMEOUT_LOGOFF = 0,
    TIMEOUT_FORCE_LOGOFF = 1,
    TIMEOUT_SHUTDOWN = 2,
    TIMEOUT_FORCE_SHUTDOWN = 3,
};

#define PASSWORD_LOCK_OFF 0xFFFFFFFFu

#define CFW_HOURS 24
#define CFW_DAYS 7
#define CFW_GROUP_CHARS 32

// Day tables in stored row order: Monday first, Sunday last. Pick a table by
// weekday with CfwDayRow(), never by value name ("LimitTable (Thu)" holds
// Tuesday and "LimitTable (The)" Thursday).
enum {
    CFW_ROW_MON, CFW_ROW_TUE, CFW_ROW_WED, CFW_ROW_THU, CFW_ROW_FRI, CFW_ROW_SAT, CFW_ROW_SUN
};
// weekday: 0 = Sunday ... 6 = Saturday, as struct tm counts.
static inline int CfwDayRow(int weekday) { return (weekday + 6) % 7; }

#define CFW_USER_RECORD(GroupChar)                                                    \
    uint32_t LimitMode;                                                               \
    GroupChar Group[CFW_GROUP_CHARS];                                                 \
    uint8_t TodayLimitTable[CFW_HOURS];                                               \
    uint8_t WeeklyLimitTable1[CFW_HOURS]; /* Monday to Friday */                     \
    uint8_t WeeklyLimitTable2[CFW_HOURS]; /* Saturday and Sunday */                  \
    uint8_t DayLimitTable[CFW_DAYS][CFW_HOURS]; /* CFW_ROW_MON .. CFW_ROW_SUN */      \
    uint32_t LimitModeFlag;                                                           \
    uint32_t LimitModeTimeDay;    /* minutes */                                       \
    uint32_t LimitModeTimeHalfAM; /* minutes */                                       \
    uint32_t LimitModeTimeHalfPM; /* minutes */                                       \
    /* Running state, kept in the calling account's HKEY_CURRENT_USER. */             \
    int64_t LastLoginDate;                                                            \
    uint32_t LimitModeRemain;                                                         \
    uint32_t HiddenButton;

typedef struct UserData {
    CFW_USER_RECORD(CfwWideChar)
} UserData;

typedef struct UserDataA {
    CFW_USER_RECORD(char)
} UserDataA;

#undef CFW_USER_RECORD

typedef struct GroupData {
    uint32_t LimitMode;
    uint8_t TodayLimitTable[CFW_HOURS];
    uint8_t WeeklyLimitTable1[CFW_HOURS];
    uint8_t WeeklyLimitTable2[CFW_HOURS];
    uint8_t DayLimitTable[CFW_DAYS][CFW_HOURS];
} GroupData;

typedef struct OptionData {
    uint32_t TimeOutMode;
    uint32_t Amusement;
    uint32_t PasswordLockHash;
} OptionData;

#ifdef __cplusplus
static_assert(sizeof(CfwWideChar) == 2, "the stored layout needs 16-bit characters");
static_assert(sizeof(UserData) == 344, "UserData layout");
static_assert(offsetof(UserData, LastLoginDate) == 328, "UserData layout");
static_assert(offsetof(UserData, LimitModeFlag) == 308, "UserData layout");
static_assert(sizeof(UserDataA) == 312, "UserDataA layout");
static_assert(offsetof(UserDataA, LastLoginDate) == 296, "UserDataA layout");
static_assert(sizeof(GroupData) == 244, "GroupData layout");
static_assert(sizeof(OptionData) == 12, "OptionData layout");
#endif

#ifdef _WIN32
#ifdef __cplusplus
extern "C" {
#endif

#ifdef CFWCOMMON_BUILD
#define CFWAPI __declspec(dllexport)
#else
#define CFWAPI __declspec(dllimport)
#endif

// Reads return -1 for a null pointer, else the number of values read; writes
// return -1 for a null pointer, 0 when the key cannot be opened or created,
// else 1. A non-zero state flag writes only the running state to
// HKEY_CURRENT_USER.
CFWAPI int ReadUserDataW(const wchar_t* user, UserData* data);
CFWAPI int ReadUserDataA(const char* user, UserDataA* data);
CFWAPI int WriteUserDataW(const wchar_t* user, const UserData* data, int state);
CFWAPI int WriteUserDataA(const char* user, const UserDataA* data, int state);
CFWAPI int ReadGroupDataW(const wchar_t* group, GroupData* data);
CFWAPI int ReadGroupDataA(const char* group, GroupData* data);
CFWAPI int WriteGroupDataW(const wchar_t* group, const GroupData* data);
CFWAPI int WriteGroupDataA(const char* group, const GroupData* data);
CFWAPI int ReadOptionDataW(OptionData* data);
CFWAPI int ReadOptionDataA(OptionData* data);
CFWAPI int WriteOptionDataW(const OptionData* data);
CFWAPI int WriteOptionDataA(const OptionData* data);
CFWAPI uint32_t GetPasswordHashW(const wchar_t* text);
CFWAPI uint32_t GetPasswordHashA(const char* text);

#ifdef __cplusplus
}
#endif
#endif  // _WIN32
