#include "accounting_logic.h"

#include "evaluation.h"

namespace svc {
namespace {

void Put(std::vector<uint8_t>& out, uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint64_t Get(const uint8_t* p, int bytes)
{
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

int64_t DayOf(int64_t halfDay) { return halfDay >> 1; }

uint32_t WithSeconds(uint32_t value, uint32_t seconds) { return (value & 0xFFFF0000u) | (seconds & 0xFFFF); }

}  // namespace

std::vector<uint8_t> EncodeCopy(const TimerCopy& copy)
{
    std::vector<uint8_t> out;
    Put(out, copy.value, 4);
    Put(out, 0, 4);
    Put(out, static_cast<uint64_t>(copy.halfDay), 8);
    Put(out, static_cast<uint64_t>(copy.when), 8);
    return out;
}

bool DecodeCopy(const uint8_t* data, size_t size, TimerCopy& out)
{
    if (!data || size != kTimerCopyBytes || Get(data + 4, 4) != 0)
        return false;
    out.value = static_cast<uint32_t>(Get(data, 4));
    out.halfDay = static_cast<int64_t>(Get(data + 8, 8));
    out.when = static_cast<int64_t>(Get(data + 16, 8));
    return true;
}

Period PeriodOf(const UserData& user, int64_t now)
{
    const limiter::LocalTime local = limiter::ToLocalTime(now);
    Period p;
    p.halfDay = limiter::HalfDayKey(local);
    p.halfDayMode = user.LimitModeFlag == 1;
    p.freshSeconds = limiter::FreshAllowance(user, local) & 0xFFFF;
    p.now = now;
    return p;
}

Merged MergeReport(const TimerCopy* copy, uint32_t reported, const Period& period)
{
    // The copy's period is the current one, or one ahead of the clock (set
    // back since): either way a report may not raise it.
    const bool current = copy && (copy->halfDay >= period.halfDay ||
                                  (!period.halfDayMode && DayOf(copy->halfDay) == DayOf(period.halfDay)));
    const uint32_t seconds = reported & 0xFFFF;
    Merged m;
    if (current) {
        m.accepted = seconds <= (copy->value & 0xFFFF);
        m.copy = *copy;
        if (m.accepted) {
            m.copy.value = reported;
            m.copy.when = period.now;
        }
        return m;
    }
    // A later period, as the service's clock has it: what the limiter granted,
    // up to what a grant now gives, or, later the same day, what it counted
    // on from before noon (a count resumed today gets no noon grant).
    uint32_t limit = period.freshSeconds;
    if (copy && DayOf(copy->halfDay) == DayOf(period.halfDay) && (copy->value & 0xFFFF) > limit)
        limit = copy->value & 0xFFFF;
    m.accepted = seconds <= limit;
    m.copy.halfDay = period.halfDay;
    m.copy.value = WithSeconds(reported, m.accepted ? seconds : limit);
    m.copy.when = period.now;
    return m;
}

bool ResumeValue(const TimerCopy* copy, const Period& period, uint32_t& value)
{
    if (!copy || DayOf(copy->halfDay) < DayOf(period.halfDay))
        return false;
    int64_t seconds = copy->value & 0xFFFF;
    const int64_t gap = period.now - copy->when;
    if (gap > 0 && gap <= limiter::kRestartCharge)
        seconds = seconds > gap ? seconds - gap : 0;
    if (seconds > period.freshSeconds)
        seconds = period.freshSeconds;
    value = WithSeconds(copy->value, static_cast<uint32_t>(seconds));
    return true;
}

}  // namespace svc
