// Decisions of the monitor window (see monitor_logic.h).
#include "monitor_logic.h"

#include <stdio.h>
#include <wchar.h>

#include <iterator>
#include <unordered_map>

#include "resource.h"

namespace monitor {

ListImage ImageFor(int32_t seconds)
{
    if (seconds < 0)
        return IMAGE_NOLIMIT;
    if (seconds == 0)
        return IMAGE_OUT;
    if (seconds <= 300)
        return IMAGE_LITTLE;
    return IMAGE_PLENTY;
}

std::wstring ModeText(uint32_t limitMode, hv::TextFn text)
{
    const uint32_t mode = limitMode & 0xFFFF;
    if (mode <= 5)
        return text(IDS_MONITOR_MODE_NONE + mode);
    // Evaluated as no limit; say so plainly, with the stored number.
    wchar_t out[96];
    swprintf(out, std::size(out), text(IDS_MONITOR_MODE_UNKNOWN).c_str(), static_cast<unsigned>(mode));
    return out;
}

std::wstring RemainText(int32_t seconds, hv::TextFn text)
{
    if (seconds < 0)
        return text(IDS_MONITOR_UNLIMITED);
    if (seconds == 0)
        return text(IDS_MONITOR_OUT);
    wchar_t out[32];
    swprintf(out, std::size(out), L"%01d:%02d:%02d", static_cast<int>(seconds / 3600),
             static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return out;
}

std::wstring FullNameText(bool queried, const std::wstring& fullName, hv::TextFn text)
{
    if (!queried)
        return text(IDS_MONITOR_NAME_FAILED);
    if (fullName.empty())
        return text(IDS_MONITOR_NAME_UNSET);
    return fullName;
}

std::wstring ClockText(const limiter::LocalTime& t)
{
    wchar_t text[64];
    swprintf(text, std::size(text), L"%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
             t.second);
    return text;
}

std::wstring AsOfText(const limiter::LocalTime& t, hv::TextFn text)
{
    wchar_t out[128];
    swprintf(out, std::size(out), text(IDS_MONITOR_AS_OF).c_str(), t.year, t.month, t.day, t.hour, t.minute);
    return out;
}

unsigned MenuHelp(unsigned commandId)
{
    // The help texts are kept under the commands' own ids.
    static const unsigned kWithHelp[] = {IDM_HELP, IDM_ABOUT, IDM_MONITOR_CLOSE, IDM_MONITOR_SHOWALL,
                                         IDM_MONITOR_REFRESH};
    for (unsigned id : kWithHelp)
        if (id == commandId)
            return id;
    return 0;
}

namespace {
wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
int Sign(long d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }
}  // namespace

int CompareNames(const std::wstring& a, const std::wstring& b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const wchar_t x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y)
            return Sign(static_cast<long>(x) - static_cast<long>(y));
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

Layout ComputeLayout(int clientWidth, int clientHeight, int statusHeight, bool allUsers)
{
    const int w = clientWidth > 0 ? clientWidth : 0;
    const int above = clientHeight - statusHeight;  // room above the status bar
    Layout l{};
    if (allUsers) {
        l.list = {0, 0, w, above > 0 ? above : 0};
    } else {
        l.list = {0, 0, w, above - 32 > 0 ? above - 32 : 0};
        l.button = {w - 260, above - 28, 256, 24};
    }
    l.statusParts[0] = w - kStatusClockWidth > 0 ? w - kStatusClockWidth : 0;
    l.statusParts[1] = -1;
    return l;
}

SyncPlan PlanSync(const std::vector<std::wstring>& items, const std::vector<std::wstring>* registered,
                  const std::wstring& current)
{
    SyncPlan plan;
    const int existing = static_cast<int>(items.size());
    std::unordered_map<std::wstring, int> itemOf;
    itemOf.reserve(items.size());
    for (int i = 0; i < existing; ++i)
        itemOf.emplace(items[i], i);

    // Names of every item once the appends are done, and which survive.
    std::vector<const std::wstring*> names;
    names.reserve(items.size() + (registered ? registered->size() : 0) + 1);
    for (const auto& n : items)
        names.push_back(&n);
    std::vector<char> keep(items.size(), registered ? 0 : 1);

    if (registered) {
        plan.registeredItem.reserve(registered->size());
        for (const auto& name : *registered) {
            auto found = itemOf.find(name);
            if (found == itemOf.end()) {
                const int appended = static_cast<int>(names.size());
                itemOf.emplace(name, appended);
                names.push_back(&name);
                keep.push_back(1);
                plan.registeredItem.push_back(-1);
            } else {
                keep[found->second] = 1;
                // A name seen twice in one enumeration is refreshed once.
                plan.registeredItem.push_back(found->second < existing ? found->second : -2);
            }
        }
    }

    auto cur = itemOf.find(current);
    const int currentBefore = cur == itemOf.end() ? -1 : cur->second;
    if (currentBefore >= 0)
        keep[currentBefore] = 1;

    int removedBelowCurrent = 0;
    for (int i = existing - 1; i >= 0; --i) {
        if (keep[i])
            continue;
        plan.deletions.push_back(i);
        if (currentBefore > i)
            ++removedBelowCurrent;
    }
    plan.currentItem = currentBefore < 0 ? -1 : currentBefore - removedBelowCurrent;
    return plan;
}

}  // namespace monitor
