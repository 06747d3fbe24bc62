#include "editor_logic.h"

#include <wctype.h>

#include <unordered_map>
#include <unordered_set>

#include "cfwCommon.h"
#include "resource.h"

namespace editor {

namespace {

bool EqualsNoCase(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *b; ++a, ++b)
        if (towlower(static_cast<wint_t>(*a)) != towlower(static_cast<wint_t>(*b)))
            return false;
    return *a == *b;
}

}  // namespace

StartSwitch ParseStartSwitch(const wchar_t* firstArgument)
{
    if (!firstArgument)
        return StartSwitch::None;
    if (EqualsNoCase(firstArgument, L"/Wizard"))
        return StartSwitch::Wizard;
    if (EqualsNoCase(firstArgument, L"/Upgrade"))
        return StartSwitch::Upgrade;
    return StartSwitch::None;
}

Admission DecideAdmission(bool administrator, bool elevated)
{
    if (!administrator)
        return Admission::NotAdministrator;
    return elevated ? Admission::Admit : Admission::FilteredToken;
}

std::vector<ListChange> PlanListRefresh(const std::vector<std::wstring>& items, const std::vector<std::wstring>& names)
{
    std::vector<ListChange> changes;
    std::unordered_map<std::wstring, size_t> held;  // text -> number of items with it
    for (const std::wstring& item : items)
        ++held[item];
    size_t count = items.size();
    for (size_t index = 0; index < names.size(); ++index) {
        size_t& n = held[names[index]];
        if (n > 0)
            continue;
        ++n;
        changes.push_back({ListChange::Insert, index < count ? index : count, names[index]});
        ++count;
    }
    // The list as it stands now, walked from the end: removing the last item
    // first keeps the positions of those still to be looked at.
    std::vector<std::wstring> list = items;
    ApplyListChanges(list, changes);
    const std::unordered_set<std::wstring> present(names.begin(), names.end());
    for (size_t i = list.size(); i-- > 0;)
        if (!present.count(list[i]))
            changes.push_back({ListChange::Delete, i, list[i]});
    return changes;
}

void ApplyListChanges(std::vector<std::wstring>& items, const std::vector<ListChange>& changes)
{
    for (const ListChange& c : changes) {
        if (c.kind == ListChange::Insert)
            items.insert(items.begin() + static_cast<std::ptrdiff_t>(c.position < items.size() ? c.position : items.size()),
                         c.text);
        else if (c.position < items.size())
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(c.position));
    }
}

std::vector<ControlPlace> MainWindowLayout(int w, int h)
{
    const int half = w / 2;
    return {
        {IDC_USERS_LABEL, 5, 5, 160, 12},
        {IDC_USERS_LIST, 5, 18, half - 10, h - 124},
        {IDC_GROUPS_LABEL, half + 5, 5, 160, 12},
        {IDC_GROUPS_LIST, half + 5, 18, half - 10, h - 124},
        {IDC_MENU_GROUP, 5, h - 100, 503, 70},
        {IDC_USERS_BUTTON, 12, h - 86, 160, 21},
        {IDC_GROUPS_BUTTON, 177, h - 86, 160, 21},
        {IDC_TIMEOUT_BUTTON, 342, h - 86, 160, 21},
        {IDC_LOCK_BUTTON, 12, h - 60, 160, 21},
        {IDC_SERVICE_BUTTON, 177, h - 60, 160, 21},
        {IDC_BACKUP_BUTTON, 342, h - 60, 160, 21},
        {IDC_APPLY_BUTTON, w - 202, h - 26, 96, 21},
        {IDC_EXIT_BUTTON, w - 101, h - 26, 96, 21},
        {IDC_ZONE_TEXT, 7, h - 28, w - 214, 12},
        {IDC_ZONE_NOTE, 7, h - 15, w - 214, 12},
    };
}

ZoneLines DescribeZones(const std::wstring& recordedKey, const std::wstring& recordedName,
                        const std::wstring& computerKey, const std::wstring& computerName, hv::TextFn text)
{
    ZoneLines lines;
    const std::wstring& computer = computerName.empty() ? computerKey : computerName;
    if (recordedKey.empty()) {
        lines.kept = text(IDS_ZONE_NONE);
        if (!computerKey.empty())
            lines.note = hv::ReplacePlaceholder(text(IDS_ZONE_WILL_RECORD), computer.c_str());
        return lines;
    }
    const std::wstring& recorded = recordedName.empty() ? recordedKey : recordedName;
    lines.kept = hv::ReplacePlaceholder(text(IDS_ZONE_KEPT), recorded.c_str());
    if (!computerKey.empty() && computerKey != recordedKey)
        lines.note = hv::ReplacePlaceholder(text(IDS_ZONE_DIFFERS), computer.c_str());
    return lines;
}

unsigned TimeoutActionText(int position)
{
    return position >= 0 && position < kTimeoutActionCount ? IDS_TIMEOUT_ACTION_0 + static_cast<unsigned>(position)
                                                           : 0;
}

unsigned TimeoutDescription(int position, bool wizard)
{
    if (position < 0 || position >= kTimeoutActionCount)
        return 0;
    if (wizard && position >= 2)
        return IDS_WIZARD_DESCRIPTION_2 + static_cast<unsigned>(position - 2);
    return IDS_TIMEOUT_DESCRIPTION_0 + static_cast<unsigned>(position);
}

int TimeoutSelection(uint32_t timeOutMode)
{
    return timeOutMode < static_cast<uint32_t>(kTimeoutActionCount) ? static_cast<int>(timeOutMode) : -1;
}

LockVerdict JudgeLockChange(uint32_t lockHash, uint32_t currentHash, const std::wstring& newPassword,
                            const std::wstring& confirmation)
{
    if (lockHash != PASSWORD_LOCK_OFF && currentHash != lockHash)
        return LockVerdict::WrongCurrent;
    if (newPassword != confirmation)
        return LockVerdict::Mismatch;
    return newPassword.empty() ? LockVerdict::Removed : LockVerdict::Set;
}

LockMessage LockVerdictMessage(LockVerdict verdict)
{
    constexpr unsigned kExclamation = 0x30, kInformation = 0x40;  // MB_ICONEXCLAMATION, MB_ICONINFORMATION
    switch (verdict) {
    case LockVerdict::WrongCurrent:
        return {IDS_LOCK_WRONG_CURRENT, IDS_LOCK_ERROR_CAPTION, kExclamation};
    case LockVerdict::Mismatch:
        return {IDS_LOCK_MISMATCH, IDS_LOCK_ERROR_CAPTION, kExclamation};
    case LockVerdict::Removed:
        return {IDS_LOCK_REMOVED, IDS_LOCK_DONE_CAPTION, kInformation};
    case LockVerdict::Set:
        break;
    }
    return {IDS_LOCK_SET, IDS_LOCK_DONE_CAPTION, kInformation};
}

PasswordPageState JudgePasswordPage(const std::wstring& password, const std::wstring& confirmation)
{
    if (password == confirmation)
        return {kWizBack | kWizNext, IDS_WIZARD_MATCH};
    return {kWizBack, IDS_WIZARD_MISMATCH};
}

bool WizardAlreadyRun(bool readOk, uint32_t type, uint32_t value) { return readOk && type == 4 && value == 1; }

}  // namespace editor
