// Decisions behind the shared parts: the password prompt's attempts, the
// About box's version line, the Administrators test and the paths of started
// programs and modules.
#include <gtest/gtest.h>

#include "shared_logic.h"
#include "text_source.h"

using namespace hv;

TEST(PasswordJudge, ThreeWrongEntriesGiveUpAndEmptyOnesDoNotCount)
{
    struct Step {
        bool empty;
        uint32_t hash;
        PasswordVerdict expected;
        int failuresAfter;
    };
    const uint32_t lock = 0x12345678;
    const Step steps[] = {
        {false, 1, PasswordVerdict::Wrong, 1},
        {true, 0, PasswordVerdict::Empty, 1},
        {false, 2, PasswordVerdict::Wrong, 2},
        {true, lock, PasswordVerdict::Empty, 2},  // an empty field never matches, whatever the hash
        {false, 3, PasswordVerdict::GiveUp, 3},
    };
    int failures = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(JudgePassword(failures, s.empty, s.hash, lock), s.expected);
        EXPECT_EQ(failures, s.failuresAfter);
    }
}

TEST(PasswordJudge, CorrectOnTheThirdAttemptIsAccepted)
{
    int failures = 0;
    EXPECT_EQ(JudgePassword(failures, false, 7, 9), PasswordVerdict::Wrong);
    EXPECT_EQ(JudgePassword(failures, false, 8, 9), PasswordVerdict::Wrong);
    EXPECT_EQ(JudgePassword(failures, false, 9, 9), PasswordVerdict::Accepted);
    EXPECT_EQ(failures, 2);
}

TEST(AboutTexts, VersionLine)
{
    EXPECT_EQ(FormatVersionLine(L"2.00", L"2.00.2026.1210"), L"Version 2.00 (2.00.2026.1210)");
    EXPECT_EQ(FormatVersionLine(nullptr, L""), L"Version  ()");
}

TEST(Administrators, ExactWholeCaseSensitiveName)
{
    const wchar_t* member[] = {L"Users", L"Administrators"};
    const wchar_t* lookalikes[] = {L"administrators", L"Administrators2", L"Administrator", L"BUILTIN\\Administrators"};
    EXPECT_EQ(AdministratorsVerdict(true, member, 2), 1);
    EXPECT_EQ(AdministratorsVerdict(true, lookalikes, 4), 0);
    EXPECT_EQ(AdministratorsVerdict(true, nullptr, 0), 0);
    EXPECT_EQ(AdministratorsVerdict(false, member, 2), -1);

}

TEST(Administrators, WhatAFailedLookupCountsAsIsTheProgramsChoice)
{
    struct Case {
        int verdict;
        LookupFailure policy;
        bool counts;
    };
    const Case cases[] = {
        {1, LookupFailure::CountsAsMember, true},     {1, LookupFailure::CountsAsNonMember, true},
        {0, LookupFailure::CountsAsMember, false},    {0, LookupFailure::CountsAsNonMember, false},
        {-1, LookupFailure::CountsAsMember, true},    // the limiter: its exit stays possible
        {-1, LookupFailure::CountsAsNonMember, false},  // the settings programs
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountsAsAdministrator(c.verdict, c.policy), c.counts) << c.verdict;
}

TEST(Paths, ProgramsAreNamedByFullPathOnly)
{
    EXPECT_EQ(FolderOfPath(L"C:\\Program Files\\Halvern\\hvCurfew.exe"), L"C:\\Program Files\\Halvern\\");
    EXPECT_EQ(FolderOfPath(L"\\\\server\\share\\hvCurfew.exe"), L"\\\\server\\share\\");
    // A bare or relative name must not turn into the current directory.
    EXPECT_EQ(FolderOfPath(L"hvCurfew.exe"), L"");
    EXPECT_EQ(FolderOfPath(L"bin\\hvCurfew.exe"), L"");
    EXPECT_EQ(FolderOfPath(L""), L"");

    EXPECT_EQ(PathInFolder(L"C:\\App\\", L"cfwEdit.exe"), L"C:\\App\\cfwEdit.exe");
    EXPECT_EQ(PathInFolder(L"C:\\App", L"cfwEdit.exe"), L"C:\\App\\cfwEdit.exe");
    EXPECT_EQ(PathInFolder(L"", L"cfwEdit.exe"), L"");

    // 259 characters fit with the terminator; 260 do not.
    const std::wstring file = L"cfwEdit.exe";
    const std::wstring fits = L"C:\\" + std::wstring(259 - 3 - 1 - file.size(), L'a') + L"\\";
    EXPECT_EQ(PathInFolder(fits, file.c_str()).size(), 259u);
    EXPECT_EQ(PathInFolder(fits + L"b\\", file.c_str()), L"");
}

TEST(Paths, HtmlHelpModuleComesFromAnAbsoluteRegistrationOrTheSystemFolder)
{
    EXPECT_EQ(ChooseHtmlHelpModule(L"C:\\Windows\\System32\\hhctrl.ocx", L"C:\\windows\\system32"),
              L"C:\\Windows\\System32\\hhctrl.ocx");
    EXPECT_EQ(ChooseHtmlHelpModule(L"hhctrl.ocx", L"C:\\windows\\system32"), L"C:\\windows\\system32\\hhctrl.ocx");
    EXPECT_EQ(ChooseHtmlHelpModule(L"", L"C:\\windows\\system32"), L"C:\\windows\\system32\\hhctrl.ocx");
    EXPECT_EQ(ChooseHtmlHelpModule(L"", L""), L"");
}

TEST(Texts, PlaceholderTakesTheValueOnce)
{
    EXPECT_EQ(ReplacePlaceholder(L"user : %s (x)", L"taro"), L"user : taro (x)");
    EXPECT_EQ(ReplacePlaceholder(L"user : %s", nullptr), L"user : ");
    EXPECT_EQ(ReplacePlaceholder(L"no name", L"taro"), L"no name");
    EXPECT_EQ(ReplacePlaceholder(L"%s and %s", L"a"), L"a and %s");
}
