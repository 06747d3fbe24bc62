// The guardian: a limiter in every session that needs one. The limiter and
// its helper restart each other, but both run as the session's user, who can
// end both at once; the service cannot be ended by that user, so it starts
// the limiter again. It waits on the processes of the limiters it knows and
// on wake-ups (session changes, settings applied, release requests), with a
// safety check every kSafetyCheckMs for whatever no notification announced.
#include "service.h"

#include <tlhelp32.h>

#include <time.h>

#include <map>
#include <mutex>

#include "cfwCommon.h"
#include "evaluation.h"
#include "zone_logic.h"

namespace {

constexpr DWORD kSafetyCheckMs = 30000;
// A limiter that ends as soon as it was started is not started again faster.
constexpr ULONGLONG kMinRestartGapMs = 1000;

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// A limiter already running in `session` from the installed program (one
// the user cannot replace), to be watched instead of starting another. After
// a limiter's end its helper may have started one already; one started here
// at the same moment ends by itself (the automatic start's switch).
hv::UniqueHandle RunningLimiter(uint32_t session, const std::wstring& limiterPath)
{
    hv::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return {};
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, hv::names::kLimiterFile, -1, TRUE) != CSTR_EQUAL)
            continue;
        DWORD processSession = 0;
        if (!ProcessIdToSessionId(entry.th32ProcessID, &processSession) || processSession != session)
            continue;
        hv::UniqueHandle process(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (!process)
            continue;
        wchar_t image[MAX_PATH];
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameW(process.get(), 0, image, &size) && SamePath(image, limiterPath) &&
            WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT)
            return process;
    }
    return {};
}

}  // namespace

struct SessionGuard::State {
    SessionList sessions;
    std::wstring limiterPath;
    hv::UniqueHandle stop, wake, thread;

    std::mutex lock;  // guards `releases` and `changes`
    svc::ReleaseBook releases;
    std::vector<std::pair<uint32_t, uint32_t>> changes;  // session events not yet seen

    // The guardian thread's own.
    struct Watch {
        hv::UniqueHandle process;  // none while a restart waits for its gap
        ULONGLONG startedAt = 0;   // 0 when taken over
    };
    std::map<uint32_t, Watch> watched;

    void Run();
    DWORD Evaluate();
    void Release(uint32_t session);
    std::vector<uint8_t> Answer(const hv::pipe::Message& request, const PipeClient& client);
    std::vector<uint8_t> AnswerTimer(const hv::pipe::Message& request, const PipeClient& client);
};

void SessionGuard::State::Release(uint32_t session)
{
    hv::UniqueHandle token = SessionUserToken(session);
    const std::wstring account = token ? AccountOfToken(token.get()) : std::wstring();
    {
        std::lock_guard<std::mutex> guard(lock);
        releases.Release(session, account);
    }
    SetEvent(wake.get());
}

// Looks at every session; returns how soon to look again.
DWORD SessionGuard::State::Evaluate()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        for (const auto& [event, session] : changes)
            if (svc::EventEndsRelease(event))
                releases.Forget(session);
        changes.clear();
    }
    DWORD next = kSafetyCheckMs;
    std::map<uint32_t, Watch> kept;
    for (uint32_t session : sessions()) {
        if (kept.count(session))
            continue;
        hv::UniqueHandle token = SessionUserToken(session);
        svc::SessionView view;
        view.hasUser = static_cast<bool>(token);
        std::wstring account;
        if (view.hasUser) {
            account = AccountOfToken(token.get());
            UserData user{};
            view.registered = !account.empty() && ReadUserDataW(account.c_str(), &user) > 0;
            view.limitMode = user.LimitMode;
            std::lock_guard<std::mutex> guard(lock);
            view.released = releases.Released(session, account);
        }
        if (!svc::NeedsLimiter(view))
            continue;
        auto it = watched.find(session);
        const bool known = it != watched.end();
        if (known && it->second.process && WaitForSingleObject(it->second.process.get(), 0) == WAIT_TIMEOUT) {
            kept[session] = std::move(it->second);
            continue;
        }
        const ULONGLONG now = GetTickCount64();
        Watch watch;
        watch.startedAt = known ? it->second.startedAt : 0;
        if (hv::UniqueHandle running = RunningLimiter(session, limiterPath)) {
            kept[session] = Watch{std::move(running), 0};
            continue;
        }
        if (watch.startedAt != 0 && now - watch.startedAt < kMinRestartGapMs) {
            // Looked at again once the gap has passed.
            next = (std::min)(next, static_cast<DWORD>(kMinRestartGapMs - (now - watch.startedAt)));
            kept[session] = std::move(watch);
            continue;
        }
        watch.process = StartAsSessionUser(token.get(), limiterPath, hv::names::kAutoStartSwitch);
        if (watch.process) {
            watch.startedAt = now;
        } else {
            next = (std::min)(next, static_cast<DWORD>(kMinRestartGapMs));
        }
        kept[session] = std::move(watch);
    }
    watched = std::move(kept);
    return next;
}

void SessionGuard::State::Run()
{
    for (;;) {
        const DWORD timeout = Evaluate();
        std::vector<HANDLE> waits = {stop.get(), wake.get()};
        for (const auto& entry : watched)
            if (entry.second.process && waits.size() < MAXIMUM_WAIT_OBJECTS)
                waits.push_back(entry.second.process.get());
        const DWORD r = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, timeout);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED)
            return;
    }
}

std::vector<uint8_t> SessionGuard::State::Answer(const hv::pipe::Message& request, const PipeClient& client)
{
    using hv::pipe::Status;
    switch (static_cast<hv::pipe::Kind>(request.kind)) {
    case hv::pipe::Kind::ReleaseSession: {
        std::wstring password;
        if (!hv::pipe::DecodePassword(request.payload, password))
            return hv::pipe::EncodeAnswer(request.kind, Status::Malformed);
        OptionData options{};
        options.PasswordLockHash = PASSWORD_LOCK_OFF;
        ReadOptionDataW(&options);
        const uint32_t hash = password.empty() ? 0 : GetPasswordHashW(password.c_str());
        SecureZeroMemory(password.data(), password.size() * sizeof(wchar_t));
        if (!svc::AcceptRelease(options.PasswordLockHash, !password.empty(), hash, client.administrator))
            return hv::pipe::EncodeAnswer(request.kind, Status::Refused);
        Release(client.session);
        return hv::pipe::EncodeAnswer(request.kind, Status::Accepted);
    }
    case hv::pipe::Kind::ReportTimer:
    case hv::pipe::Kind::ResumeTimer:
        return AnswerTimer(request, client);
    default:
        return hv::pipe::EncodeAnswer(request.kind, Status::UnknownKind);
    }
}

// The timer-mode copy of the caller's own account (from its token): a report
// may lower it, a resume reads it. Accounts not in the timer mode have none.
std::vector<uint8_t> SessionGuard::State::AnswerTimer(const hv::pipe::Message& request, const PipeClient& client)
{
    using hv::pipe::Status;
    const bool report = request.kind == static_cast<uint16_t>(hv::pipe::Kind::ReportTimer);
    uint32_t reported = 0;
    if (report ? !hv::pipe::DecodeTimerValue(request.payload, reported) : !request.payload.empty())
        return hv::pipe::EncodeAnswer(request.kind, Status::Malformed);
    UserData user{};
    if (client.account.empty() || ReadUserDataW(client.account.c_str(), &user) <= 0 ||
        (user.LimitMode & 0xFFFF) != LIMIT_TIMER)
        return hv::pipe::EncodeAnswer(request.kind, Status::Refused);
    // The service's own clock, in the zone the limits are kept in (the
    // computer's zone can be moved by any user).
    hv::zone::Zone zone;
    limiter::SetEvaluationZone(hv::LoadRecordedZone(zone) ? &zone : nullptr);
    const svc::Period period = svc::PeriodOf(user, static_cast<int64_t>(time(nullptr)));
    svc::TimerCopy copy;
    const bool held = ReadTimerCopy(client.account, copy);
    if (!report) {
        uint32_t value = 0;
        if (!svc::ResumeValue(held ? &copy : nullptr, period, value))
            return hv::pipe::EncodeAnswer(request.kind, Status::Refused);
        return hv::pipe::EncodeAnswer(request.kind, Status::Accepted, hv::pipe::EncodeTimerValue(value));
    }
    const svc::Merged merged = svc::MergeReport(held ? &copy : nullptr, reported, period);
    // A copy that could not be kept holds nothing against the user: refused.
    const bool kept = WriteTimerCopy(client.account, merged.copy);
    return hv::pipe::EncodeAnswer(request.kind, merged.accepted && kept ? Status::Accepted : Status::Refused,
                                  hv::pipe::EncodeTimerValue(merged.copy.value));
}

SessionGuard::SessionGuard() : state_(std::make_unique<State>()) {}

SessionGuard::~SessionGuard() { Stop(); }

bool SessionGuard::Start(SessionList sessions, std::wstring limiterPath)
{
    State& s = *state_;
    s.sessions = std::move(sessions);
    s.limiterPath = std::move(limiterPath);
    s.stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    s.wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!s.stop || !s.wake || s.limiterPath.empty())
        return false;
    // The release must be known before the limiter that asked for it ends.
    pipe_.Start([&s](const hv::pipe::Message& m, const PipeClient& c) { return s.Answer(m, c); });
    s.thread.reset(CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            hv::Guarded([&] { static_cast<State*>(p)->Run(); });
            return 0;
        },
        &s, 0, nullptr));
    return static_cast<bool>(s.thread);
}

void SessionGuard::Stop()
{
    pipe_.Stop();
    State& s = *state_;
    if (!s.thread)
        return;
    SetEvent(s.stop.get());
    WaitForSingleObject(s.thread.get(), INFINITE);
    s.thread.reset();
    s.watched.clear();
}

void SessionGuard::Wake()
{
    if (state_->wake)
        SetEvent(state_->wake.get());
}

void SessionGuard::SessionChanged(uint32_t event, uint32_t session)
{
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        state_->changes.emplace_back(event, session);
    }
    Wake();
}
