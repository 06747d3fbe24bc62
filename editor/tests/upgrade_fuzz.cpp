// libFuzzer target on the upgrade's reading of the previous version's files.
// Input: seven little-endian 32-bit values (the old numbers; missing bytes
// read as zero), then UTF-16LE text whose lines are the old time ranges.
// Every table must hold only 0 and 1 and never be written past its 24 bytes
// (each range goes into a table of exactly that size on the heap, where
// AddressSanitizer sees one byte too far); every mapped value must be one
// the current records know.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "upgrade_logic.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        abort();
}

void CheckTable(const uint8_t* table)
{
    for (int h = 0; h < CFW_HOURS; ++h)
        Check(table[h] <= 1);
}

uint32_t FakeHash(const wchar_t* text) { return static_cast<uint32_t>(wcslen(text)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t numbers[7] = {};
    const size_t head = size < sizeof numbers ? size : sizeof numbers;
    for (size_t i = 0; i < head; ++i)
        numbers[i / 4] |= static_cast<uint32_t>(data[i]) << (8 * (i % 4));

    std::vector<std::wstring> lines(1);
    for (size_t i = head; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == L'\n')
            lines.emplace_back();
        else
            lines.back().push_back(unit);
    }

    for (const std::wstring& line : lines) {
        std::unique_ptr<uint8_t[]> table(new uint8_t[CFW_HOURS]());
        const bool converted = editor::ApplyOldRange(line, table.get());
        CheckTable(table.get());
        const editor::OldRange range = editor::ParseOldRange(line);
        Check(converted == (range.parsed && line != editor::kOldNoLimit));
        bool any = false;
        for (int h = 0; h < CFW_HOURS; ++h)
            any = any || table[h];
        Check(converted || !any);
        if (range.parsed)
            Check(range.start >= -9 && range.start <= 99 && range.end >= -9 && range.end <= 99);
    }

    editor::OldUser old;
    old.limitMode = numbers[0];
    old.half = numbers[1];
    old.dayMinute = numbers[2];
    old.amMinute = numbers[3];
    old.pmMinute = numbers[4];
    old.halfExt = numbers[5];
    old.exceptionFlag = numbers[6];
    for (size_t i = 0; i < lines.size() && i < static_cast<size_t>(editor::kOldRangeCount); ++i)
        old.ranges[i] = lines[i];
    editor::UpgradeNotes notes;
    const UserData user = editor::UpgradeUser(old, notes);
    Check((user.LimitMode & 0xFFFFu) <= LIMIT_TIMER);
    Check((user.LimitMode >> 16) <= 1);
    Check(user.Group[CFW_GROUP_CHARS - 1] == 0);
    Check(user.LimitModeFlag <= 1);
    Check(user.LimitModeTimeDay == 0 || (user.LimitModeTimeDay >= 30 && user.LimitModeTimeDay <= 240));
    Check(user.LimitModeTimeHalfAM == 0 || (user.LimitModeTimeHalfAM >= 30 && user.LimitModeTimeHalfAM <= 120));
    Check(user.LimitModeTimeHalfPM == 0 || (user.LimitModeTimeHalfPM >= 30 && user.LimitModeTimeHalfPM <= 120));
    CheckTable(user.TodayLimitTable);
    CheckTable(user.WeeklyLimitTable1);
    CheckTable(user.WeeklyLimitTable2);
    for (int day = 0; day < CFW_DAYS; ++day)
        CheckTable(user.DayLimitTable[day]);
    Check(user.LastLoginDate == 0 && user.LimitModeRemain == 0 && user.HiddenButton == 0);

    editor::OldOptions options;
    options.timeOutAction = numbers[0];
    options.daily = lines[0];
    options.password = lines.size() > 1 ? lines[1] : std::wstring();
    const editor::OptionUpgrade up = editor::UpgradeOptions(options, FakeHash);
    Check(up.options.TimeOutMode <= TIMEOUT_FORCE_SHUTDOWN);
    Check(up.options.Amusement == 0);
    Check(!options.password.empty() || up.options.PasswordLockHash == PASSWORD_LOCK_OFF);
    Check(up.simpleGroup.LimitMode == GROUP_DAILY);
    CheckTable(up.simpleGroup.TodayLimitTable);
    const GroupData empty{};
    Check(memcmp(up.simpleGroup.DayLimitTable, empty.DayLimitTable, sizeof empty.DayLimitTable) == 0);
    Check(!editor::OptionUpgradeMessages(up, true).empty());
    Check(!editor::UserUpgradeMessages(notes).empty());
    return 0;
}
