// The CRC-32 core: the documented values of the running checksum without its
// final inversion, and that feeding data in pieces changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crc32.h"

namespace {

uint32_t Crc(const std::string& s)
{
    uint32_t table[256];
    hv::Crc32BuildTable(table);
    return hv::Crc32Update(table, 0xFFFFFFFFu, s.data(), s.size());
}

TEST(Crc32, DocumentedValuesAreTheComplementOfTheStandardCrc)
{
    struct Case {
        const char* text;
        uint32_t value;
    } cases[] = {
        {"", 0xFFFFFFFFu},
        {"123456789", 0x340BC6D9u},
        {"abc", 0xCADBBE3Du},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.value, Crc(c.text)) << c.text;
    }
    EXPECT_EQ(0xCBF43926u, ~Crc("123456789"));  // the usual CRC-32 check value
}

TEST(Crc32, TableIsTheReflectedIeeeTable)
{
    uint32_t table[256];
    hv::Crc32BuildTable(table);
    EXPECT_EQ(0x00000000u, table[0]);
    EXPECT_EQ(0x77073096u, table[1]);
    EXPECT_EQ(0xEDB88320u, table[128]);
    EXPECT_EQ(0x2D02EF8Du, table[255]);
}

TEST(Crc32, PiecesGiveTheSameValueAsTheWhole)
{
    std::vector<uint8_t> data(70000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    uint32_t table[256];
    hv::Crc32BuildTable(table);
    const uint32_t whole = hv::Crc32Update(table, 0xFFFFFFFFu, data.data(), data.size());
    uint32_t pieces = 0xFFFFFFFFu;
    for (size_t at = 0; at < data.size(); at += 4096) {
        const size_t n = std::min<size_t>(4096, data.size() - at);
        pieces = hv::Crc32Update(table, pieces, data.data() + at, n);
    }
    EXPECT_EQ(whole, pieces);
    EXPECT_EQ(0xFFFFFFFFu, hv::Crc32Update(table, 0xFFFFFFFFu, nullptr, 0));
}

}  // namespace
