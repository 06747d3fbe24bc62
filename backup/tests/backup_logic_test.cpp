// The backup tool's decisions: the password-lock reconciliation, what restore
// mode offers, and the completion texts.
#include <gtest/gtest.h>

#include "backup_logic.h"
#include "backup_texts.h"
#include "cfwCommon.h"
#include "resource.h"

using namespace backup;

TEST(LockReconciliation, OneQuestionAtMostAndItsAnswers)
{
    const uint32_t off = PASSWORD_LOCK_OFF, a = 0x1111, b = 0x2222;
    struct Case {
        uint32_t current, backedUp;
        LockQuestion question;
        unsigned text;
        uint32_t onOk, onCancel;
    };
    const Case cases[] = {
        {off, off, LockQuestion::None, 0, off, off},
        {a, a, LockQuestion::None, 0, a, a},
        {a, off, LockQuestion::Removes, IDS_LOCK_REMOVES, off, a},
        {off, b, LockQuestion::Sets, IDS_LOCK_SETS, b, off},
        {a, b, LockQuestion::Replaces, IDS_LOCK_REPLACES, b, a},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LockQuestionFor(c.current, c.backedUp), c.question) << c.current << " " << c.backedUp;
        EXPECT_EQ(LockQuestionText(c.question), c.text);
        EXPECT_EQ(ReconciledLock(c.current, c.backedUp, true), c.onOk);
        EXPECT_EQ(ReconciledLock(c.current, c.backedUp, false), c.onCancel);
    }
}

TEST(Startup, WarningElevationOfferOrNeither)
{
    EXPECT_EQ(StartupStepFor(false, false), StartupStep::WarnBackupOnly);
    EXPECT_EQ(StartupStepFor(false, true), StartupStep::WarnBackupOnly);
    EXPECT_EQ(StartupStepFor(true, false), StartupStep::OfferElevation);
    EXPECT_EQ(StartupStepFor(true, true), StartupStep::Proceed);
    EXPECT_EQ(backup_test::RcText(IDS_NO_ADMIN_START),
              L"現在のユーザー アカウントに対して管理者権限がありません。バックアップのみ行うことができます。");
}

TEST(RestoreMode, OnlyAnElevatedMemberMayStart)
{
    EXPECT_TRUE(RestoreModeFor(true, true).startEnabled);
    EXPECT_EQ(RestoreModeFor(true, true).noteText, 0u);
    EXPECT_FALSE(RestoreModeFor(true, false).startEnabled);
    EXPECT_EQ(RestoreModeFor(true, false).noteText, static_cast<unsigned>(IDS_NOTE_NOT_ELEVATED));
    for (bool elevated : {false, true}) {
        EXPECT_FALSE(RestoreModeFor(false, elevated).startEnabled);
        EXPECT_EQ(RestoreModeFor(false, elevated).noteText, static_cast<unsigned>(IDS_NOTE_NOT_MEMBER));
    }
    EXPECT_EQ(backup_test::RcText(IDS_NOTE_NOT_MEMBER),
              L"現在ログイン中のユーザー アカウントに対して管理者権限がないため、バックアップの復元は行えません。"
              L"(ただし、バックアップすることはできます。)");
}

TEST(CompletionTexts, BackupNamesWhatItLeftOut)
{
    EXPECT_EQ(BackupDoneText(backup_test::RcText, {}), L"バックアップが完了しました。");
    const std::wstring text = BackupDoneText(backup_test::RcText, {u"averyveryverylongname", u"ああああああああああ"});
    EXPECT_EQ(text.find(L"バックアップが完了しましたが、"), 0u);
    EXPECT_NE(text.find(L"\n\naveryveryverylongname\nああああああああああ"), std::wstring::npos);
    EXPECT_EQ(text.find(L"%s"), std::wstring::npos);
}

TEST(CompletionTexts, RestorePartialOrDone)
{
    EXPECT_EQ(RestoreOutcomeFor(true).text, static_cast<unsigned>(IDS_RESTORE_DONE));
    EXPECT_FALSE(RestoreOutcomeFor(true).warning);
    EXPECT_EQ(RestoreOutcomeFor(false).text, static_cast<unsigned>(IDS_RESTORE_PARTIAL));
    EXPECT_TRUE(RestoreOutcomeFor(false).warning);
    EXPECT_NE(backup_test::RcText(IDS_RESTORE_PARTIAL).find(L"復元できなかった項目が一部あります。\n"), std::wstring::npos);
}
