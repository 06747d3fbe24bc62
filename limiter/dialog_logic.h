// Decisions behind the limiter's user information dialog: its clock line and
// the description of the account's limit mode. No Windows header, so the
// host build tests them with the sanitizers.
#pragma once

#include <stdint.h>

#include <string>

#include "cfwCommon.h"
#include "evaluation.h"
#include "text_source.h"

namespace limiter {

// "2010/01/01 (金) 00:00:00"
std::wstring FormatInfoClock(const LocalTime& t, hv::TextFn text);
// "name", or "name (full name)" when the full name is not empty.
std::wstring FormatUserLabel(const wchar_t* name, const wchar_t* fullName);
// Whether the account is free of any limit right now: its schedule gives
// REMAIN_UNLIMITED. The timer mode always counts down, so it never is.
bool IsUnlimitedNow(const UserData& user, const GroupData& group, const LocalTime& now);
// String id of the two-line description of the mode, or 0 for an unknown
// mode (the dialog then leaves its text alone).
unsigned ModeDescription(bool unlimited, uint32_t limitMode);

}  // namespace limiter
