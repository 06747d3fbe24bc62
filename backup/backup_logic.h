// Decisions of the backup tool's dialogs, apart from the windows: the
// password-lock reconciliation of a restore, what restore mode offers to an
// account, and the texts of the completion messages. No Windows header.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "text_source.h"

namespace backup {

// --- start-up -------------------------------------------------------------------
enum class StartupStep {
    WarnBackupOnly,  // not an Administrators member: warn, then back up only
    OfferElevation,  // a member whose rights are withheld: dialog 504
    Proceed,
};
StartupStep StartupStepFor(bool administratorsMember, bool elevated);

// --- password-lock reconciliation -------------------------------------------------
enum class LockQuestion {
    None,      // equal values: the backed-up one is written
    Removes,   // lock on here, off in the backup
    Sets,      // lock off here, on in the backup
    Replaces,  // both on, with different passwords
};
LockQuestion LockQuestionFor(uint32_t current, uint32_t backedUp);
// The text id of a question (0 for None).
unsigned LockQuestionText(LockQuestion question);
// The value to write: the backed-up one when there was no question or the
// answer was OK, else the current one.
uint32_t ReconciledLock(uint32_t current, uint32_t backedUp, bool answeredOk);

// --- restore mode -------------------------------------------------------------------
struct RestoreModeView {
    bool startEnabled;
    unsigned noteText;  // 0: no note (and no warning icon)
};
// Restoring writes machine-wide settings: only an elevated member of the
// Administrators group may start it.
RestoreModeView RestoreModeFor(bool administratorsMember, bool elevated);

// --- completion messages --------------------------------------------------------------
// "Backup finished", or, when names had to be left out, the message that
// lists them, one a line.
std::wstring BackupDoneText(hv::TextFn text, const std::vector<std::u16string>& leftOut);

// The restore's closing message and its icon kind: partial when any ticked
// part did not complete.
struct RestoreOutcome {
    unsigned text;
    bool warning;  // else information
};
RestoreOutcome RestoreOutcomeFor(bool allSucceeded);

}  // namespace backup
