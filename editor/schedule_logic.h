// Decisions of the registration and schedule dialogs that need no window:
// which names may become keys, which accounts the bulk registration offers,
// the mode buttons of users and groups, the hour tables as check boxes, and
// the timer allowances' checks. No Windows header: the host build tests
// them with the sanitizers.
#pragma once

#include <stdint.h>

#include <array>
#include <string>
#include <vector>

#include "cfwCommon.h"

namespace editor {

// --- names -------------------------------------------------------------------------
constexpr size_t kUserNameChars = 20;   // what an account name may hold
constexpr size_t kGroupNameChars = 31;  // fits the records' 32 characters
// A typed name that must not become a key: a character no account or group
// name may hold (a backslash would make nested keys), a control character,
// or nothing but spaces and dots. The empty name is not refused here: it has
// its own message.
bool NameRefused(const std::wstring& name);

// Accounts the bulk registration never offers: names beginning, in any
// letter case, with a prefix of the system's own accounts.
bool OfferedForBulk(const std::wstring& account);

// After a bulk registration: the accounts that could not be registered are
// named; the dialog ends (and the opener says "added") only when at least
// one account is registered now or nothing failed.
struct BulkOutcome {
    bool tellFailures;
    bool endDialog;
};
BulkOutcome JudgeBulk(size_t registered, size_t failed);

// --- mode buttons ----------------------------------------------------------------------
// The user dialog keeps the carry-over half of LimitMode apart from the mode.
constexpr uint32_t LowHalf(uint32_t limitMode) { return limitMode & 0xFFFFu; }
constexpr uint32_t HighHalf(uint32_t limitMode) { return limitMode >> 16; }
constexpr uint32_t JoinHalves(uint32_t high, uint32_t low) { return (high << 16) | (low & 0xFFFFu); }
// The button of a user's mode (1000 + mode; an unknown mode shows "制限なし").
int UserModeButton(uint32_t lowHalf);
// The user mode of a button 1000..1005; 0 for any other id.
uint32_t UserModeOf(int button);
// The button of a group's mode: 0 -> 1001, 1 -> 1002, 2 -> 1003, anything else 1001.
int GroupModeButton(uint32_t groupMode);
uint32_t GroupModeOf(int button);

// --- hour tables ---------------------------------------------------------------------
// Slot of the hour-table buttons 1009..1018 among a record's ten tables
// (0 every day, 1 weekdays, 2 weekend, 3 + CFW_ROW_MON .. CFW_ROW_SUN), or -1.
int HourSlot(int button);
// String id of the hour dialog's title for that button; 0 for another id.
unsigned HourTitle(int button);
// The slot's table inside a record (both records order their tables alike).
template <class Record>
uint8_t* HourTable(Record& record, int slot)
{
    if (slot == 0)
        return record.TodayLimitTable;
    if (slot == 1)
        return record.WeeklyLimitTable1;
    if (slot == 2)
        return record.WeeklyLimitTable2;
    if (slot >= 3 && slot < 3 + CFW_DAYS)
        return record.DayLimitTable[slot - 3];
    return nullptr;
}
// A box is checked only for a stored 1; confirming writes 1 or 0.
std::array<bool, CFW_HOURS> HourChecks(const uint8_t table[CFW_HOURS]);
void StoreHourChecks(const std::array<bool, CFW_HOURS>& checks, uint8_t table[CFW_HOURS]);

// --- timer allowances --------------------------------------------------------------------
// The message of the first check that fails, in the dialog's order, or 0.
unsigned CheckTimerAllowances(uint32_t day, uint32_t morning, uint32_t afternoon);
// "ログイン禁止" unchecked puts this back into its edit.
constexpr uint32_t kHalfDayDefault = 30;

}  // namespace editor
