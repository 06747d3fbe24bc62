// The generated status text tables: every slot of the UTF-16 table holds its
// code's text and the 8-bit table the same text in code page 932.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "status_texts.h"

namespace {

#ifdef _WIN32
#define U16(s) L##s
#else
#define U16(s) u##s
#endif

const hv::StatusChar16* const kExpected[] = {
    U16("処理は正常に終了しました。"),
    U16("引数の指定が正しくありません。"),
    U16("ファイルまたはフォルダが見つかりません。"),
    U16("ファイル サイズが 4 GB を超過しています。"),
    U16("対象ファイルにバージョン リソースはありません。"),
    U16("リソース文字列が見つからないか、失敗しました。"),
    U16("フォルダを作成できませんでした。"),
    U16("ベースとなるパスを取得できませんでした。"),
    U16("この機能はお使いの環境ではサポートされていません。"),
    U16("ファイルを開くことができません。"),
};
static_assert(sizeof kExpected / sizeof kExpected[0] == hv::kStatusTextCount, "one text per code");

std::basic_string<hv::StatusChar16> Slot16(int i)
{
    return std::basic_string<hv::StatusChar16>(hv::kStatusTextsW[i]);
}

TEST(StatusTexts, WideTableHoldsEachCodesText)
{
    for (int i = 0; i < hv::kStatusTextCount; ++i) {
        EXPECT_TRUE(Slot16(i) == kExpected[i]) << "code " << i;
        // The rest of the slot is zero: nothing of a longer text left behind.
        for (int k = static_cast<int>(Slot16(i).size()); k < hv::kStatusTextSlot; ++k)
            ASSERT_EQ(0, hv::kStatusTextsW[i][k]) << "code " << i << " at " << k;
    }
}

// Code page 932 spot checks independent of any converter: "処" is 0x8F 0x88,
// the full stop "。" is 0x81 0x42, ASCII passes through.
TEST(StatusTexts, NarrowTableIsShiftJis)
{
    EXPECT_EQ(0, std::memcmp("\x8F\x88\x97\x9D", hv::kStatusTextsA[0], 4));
    EXPECT_STREQ("\x83t\x83@\x83" "C\x83\x8B \x83T\x83" "C\x83Y\x82\xAA 4 GB \x82\xF0\x92\xB4\x89\xDF\x82\xB5\x82\xC4"
                 "\x82\xA2\x82\xDC\x82\xB7\x81\x42",
                 hv::kStatusTextsA[3]);
    for (int i = 0; i < hv::kStatusTextCount; ++i) {
        const size_t n = std::strlen(hv::kStatusTextsA[i]);
        ASSERT_GE(n, 2u) << "code " << i;
        EXPECT_EQ(0, std::memcmp("\x81\x42", hv::kStatusTextsA[i] + n - 2, 2)) << "code " << i << " ends in 。";
    }
}

}  // namespace
