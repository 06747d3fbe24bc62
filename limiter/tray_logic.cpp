#include "tray_logic.h"

#include <stdio.h>
#include <wchar.h>

#include <iterator>

#include "resource.h"

namespace tray {

namespace {

const StateTexts kTexts[] = {
    {IDS_TIP_INIT, IDS_STATE_INIT},       {IDS_TIP_NOLIMIT, IDS_STATE_NOLIMIT}, {IDS_TIP_PLENTY, IDS_STATE_PLENTY},
    {IDS_TIP_LITTLE, IDS_STATE_LITTLE}, {IDS_TIP_OUT, IDS_STATE_OUT},
};

// Most urgent last, so that a search from the end finds it first.
const Warning kWarnings[] = {
    {600, BALLOON_INFO, IDS_WARN_10MIN_TITLE, IDS_WARN_10MIN_TEXT, 64},
    {300, BALLOON_WARNING, IDS_WARN_5MIN_TITLE, IDS_WARN_5MIN_TEXT, 48},
    {180, BALLOON_WARNING, IDS_WARN_3MIN_TITLE, IDS_WARN_3MIN_TEXT, 48},
    {60, BALLOON_WARNING, IDS_WARN_1MIN_TITLE, IDS_WARN_1MIN_TEXT, 48},
    {0, BALLOON_ERROR, IDS_WARN_TIMEOUT_TITLE, IDS_WARN_TIMEOUT_TEXT, 0},
};

struct Forward {
    const wchar_t* argument;
    int command;
};
const Forward kForwards[] = {
    {L"/Monitor", IDM_MONITOR}, {L"/UseInfo", IDM_USERINFO}, {L"/Apply", IDM_APPLY},
    {L"/Help", IDM_HELP},       {L"/About", IDM_ABOUT},
};

}  // namespace

DisplayState StateFor(int32_t remain)
{
    if (remain == 0)
        return STATE_OUT;
    if (remain < 0)
        return STATE_NOLIMIT;
    return remain > 300 ? STATE_PLENTY : STATE_LITTLE;
}

std::wstring FormatRemain(int32_t remain)
{
    if (remain < 0)
        return L"-:--:--";
    wchar_t text[32];
    swprintf(text, std::size(text), L"%01d:%02d:%02d", remain / 3600, (remain / 60) % 60, remain % 60);
    return text;
}

const StateTexts& TextsOf(DisplayState state) { return kTexts[state]; }

std::wstring TipFor(DisplayState state, const wchar_t* userName, hv::TextFn text)
{
    return hv::ReplacePlaceholder(text(kTexts[state].tip), userName);
}

const Warning& WarningOf(WarningId id) { return kWarnings[id]; }

static WarningId FirstPassed(int32_t previous, int32_t remain)
{
    // No limit before this tick is further away than any threshold.
    const int64_t before = previous < 0 ? INT64_MAX : previous;
    for (int id = WARN_1MIN; id >= WARN_10MIN; --id) {
        const int32_t t = kWarnings[id].threshold;
        if (remain <= t && before > t)
            return static_cast<WarningId>(id);
    }
    return WARN_NONE;
}

WarningId WarningTracker::Next(int32_t remain)
{
    const int32_t previous = hasPrevious_ ? previous_ : remain + 1;
    hasPrevious_ = true;
    previous_ = remain;
    if (remain <= 0)  // out of time or no limit: the time-out or nothing
        return WARN_NONE;
    return FirstPassed(previous, remain);
}

bool ShouldStoreState(const StateStore& last, uint32_t remain, int64_t now)
{
    if (!last.stored)
        return true;
    return remain != last.remain && (now >= last.when + kStoreEverySeconds || now < last.when);
}

int ExitFlagsFor(uint32_t timeOutMode, bool countdownShown, uint32_t osVersion)
{
    // Without the countdown every action falls back to a log-off, forced
    // where a forced log-off would have been made anyway.
    const int logOff = timeOutMode == 1 && osVersion < 0x500 ? 4 : 0;
    if (!countdownShown)
        return logOff;
    switch (timeOutMode) {
    case 0:
    case 1:
        return logOff;
    case 2:
        return 9;
    case 3:
        return 13;
    default:
        return -1;
    }
}

int ForwardedCommand(const wchar_t* argument)
{
    if (!argument)
        return 0;
    for (const Forward& f : kForwards)
        if (wcscmp(argument, f.argument) == 0)
            return f.command;
    return 0;
}

}  // namespace tray
