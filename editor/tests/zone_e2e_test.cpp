// The zone the limits are kept in, as the settings utility records and shows
// it: nothing recorded yet, Apply recording the computer's zone, and the line
// following a recorded zone that differs from the computer's.
#include <windows.h>

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "editor_logic.h"
#include "editor_texts.h"
#include "hvShared.h"
#include "resource.h"

namespace {

using namespace editor_test;

constexpr wchar_t kZones[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\";
constexpr wchar_t kLongZone[] = L"Halvern Test Standard Time";

void RecordZone(const wchar_t* keyName)
{
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(HKEY_LOCAL_MACHINE, CFW_REG_ROOT_W, L"TimeZoneKeyName", REG_SZ, keyName,
                              static_cast<DWORD>((wcslen(keyName) + 1) * sizeof(wchar_t))));
}

class ZoneLine : public EditorTest {
protected:
    void TearDown() override
    {
        e2e::DeleteTree(HKEY_LOCAL_MACHINE, (std::wstring(kZones) + kLongZone).c_str());
        EditorTest::TearDown();
    }
    std::wstring Kept() const { return e2e::ControlText(main_, IDC_ZONE_TEXT); }
    std::wstring Note() const { return e2e::ControlText(main_, IDC_ZONE_NOTE); }
    editor::ZoneLines Expected(const std::wstring& recorded) const
    {
        const std::wstring computer = hv::ComputerZoneKeyName();
        return editor::DescribeZones(recorded, recorded.empty() ? L"" : hv::ZoneDisplayName(recorded), computer,
                                     hv::ZoneDisplayName(computer), editor::RcText);
    }
    void ExpectLines(const std::wstring& recorded)
    {
        const editor::ZoneLines lines = Expected(recorded);
        EXPECT_TRUE(e2e::WaitUntil([&] { return Kept() == lines.kept && Note() == lines.note; }, 5s))
            << testing::PrintToString(Kept()) << " / " << testing::PrintToString(Note());
    }
};

TEST_F(ZoneLine, ApplyRecordsTheComputersZoneAndTheLineFollowsTheRecord)
{
    WriteOptions(7, PASSWORD_LOCK_OFF);  // a time-out never ends the test's session
    ASSERT_TRUE(StartLimiter());
    ASSERT_TRUE(StartEditor());
    const std::wstring computer = hv::ComputerZoneKeyName();
    ASSERT_EQ(L"Tokyo Standard Time", computer);  // TZ=JST-9 for the run

    // Nothing recorded yet: said so, and what Apply will record.
    ExpectLines(L"");
    EXPECT_NE(std::wstring::npos, Note().find(hv::ZoneDisplayName(computer)));
    Shot(L"editor_zone_none");

    e2e::Click(main_, IDC_APPLY_BUTTON);
    EXPECT_TRUE(e2e::Answer(AwaitBox(L"確認"), IDYES));
    auto box = AwaitBox(kTitle);
    EXPECT_EQ(computer, hv::RecordedZoneKeyName());
    EXPECT_TRUE(e2e::Answer(box, IDOK));
    ExpectLines(computer);
    EXPECT_EQ(L"", Note());
    Shot(L"editor_zone_recorded");

    // Recorded elsewhere (another administrator, a restore): both zones are
    // shown once the utility hears of a change.
    RecordZone(L"Eastern Standard Time");
    SendMessageW(main_, WM_TIMECHANGE, 0, 0);
    ExpectLines(L"Eastern Standard Time");
    EXPECT_NE(L"", Note());
    Shot(L"editor_zone_differs");

    // A long display text is cut, the layout stays.
    const std::wstring zoneKey = std::wstring(kZones) + kLongZone;
    const wchar_t display[] = L"(UTC+09:00) 大阪、札幌、東京、名古屋、福岡、広島、仙台、那覇、金沢、新潟、"
                              L"静岡、熊本、鹿児島、長崎 (テスト用のとても長いタイム ゾーン名)";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, zoneKey.c_str(), L"Display", REG_SZ, display,
                                             static_cast<DWORD>(sizeof display)));
    RecordZone(kLongZone);
    SendMessageW(main_, WM_SETTINGCHANGE, 0, 0);
    ExpectLines(kLongZone);
    EXPECT_NE(std::wstring::npos, Kept().find(display));
    Shot(L"editor_zone_long");

    // Closing writes the option record, and the computer's zone with it.
    CloseWithOk();
    EXPECT_EQ(computer, hv::RecordedZoneKeyName());
}

}  // namespace
