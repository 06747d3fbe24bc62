#include "backup_logic.h"

#include "cfwCommon.h"
#include "resource.h"

namespace backup {

StartupStep StartupStepFor(bool administratorsMember, bool elevated)
{
    if (!administratorsMember)
        return StartupStep::WarnBackupOnly;
    return elevated ? StartupStep::Proceed : StartupStep::OfferElevation;
}

LockQuestion LockQuestionFor(uint32_t current, uint32_t backedUp)
{
    if (current == backedUp)
        return LockQuestion::None;
    if (backedUp == PASSWORD_LOCK_OFF)
        return LockQuestion::Removes;
    if (current == PASSWORD_LOCK_OFF)
        return LockQuestion::Sets;
    return LockQuestion::Replaces;
}

unsigned LockQuestionText(LockQuestion question)
{
    switch (question) {
    case LockQuestion::Removes:
        return IDS_LOCK_REMOVES;
    case LockQuestion::Sets:
        return IDS_LOCK_SETS;
    case LockQuestion::Replaces:
        return IDS_LOCK_REPLACES;
    case LockQuestion::None:
        break;
    }
    return 0;
}

uint32_t ReconciledLock(uint32_t current, uint32_t backedUp, bool answeredOk)
{
    if (LockQuestionFor(current, backedUp) == LockQuestion::None || answeredOk)
        return backedUp;
    return current;
}

RestoreModeView RestoreModeFor(bool administratorsMember, bool elevated)
{
    if (administratorsMember && elevated)
        return {true, 0};
    return {false, administratorsMember ? static_cast<unsigned>(IDS_NOTE_NOT_ELEVATED)
                                        : static_cast<unsigned>(IDS_NOTE_NOT_MEMBER)};
}

std::wstring BackupDoneText(hv::TextFn text, const std::vector<std::u16string>& leftOut)
{
    if (leftOut.empty())
        return text(IDS_BACKUP_DONE);
    std::wstring names;
    for (const std::u16string& name : leftOut) {
        if (!names.empty())
            names += L'\n';
        names.append(name.begin(), name.end());
    }
    return hv::ReplacePlaceholder(text(IDS_BACKUP_LEFT_OUT), names.c_str());
}

RestoreOutcome RestoreOutcomeFor(bool allSucceeded)
{
    if (allSucceeded)
        return {IDS_RESTORE_DONE, false};
    return {IDS_RESTORE_PARTIAL, true};
}

}  // namespace backup
