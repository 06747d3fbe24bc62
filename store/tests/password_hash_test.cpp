// The password hash, on the host and under Wine (same source).
#include <gtest/gtest.h>

#include <string>

#include "password_hash.h"

namespace {

uint32_t Hash16(const std::u16string& s) { return cfw::PasswordHash16(reinterpret_cast<const uint16_t*>(s.c_str())); }

TEST(PasswordHash, KnownValuesInBothForms)
{
    struct Case {
        const char* narrow;
        uint32_t hash;
    } cases[] = {
        // Reference values: the complement of zlib's CRC-32 over text + NUL.
        {"abc", 0x58A297AFu},
        {"", 0x2DFD1072u},
        {"password", 0xDB71F46Fu},
        {"0123456789abcdef", 0x9245B594u},  // the 16-character entry limit: 17 steps
    };
    for (const auto& c : cases) {
        std::u16string wide(c.narrow, c.narrow + std::char_traits<char>::length(c.narrow));
        EXPECT_EQ(c.hash, cfw::PasswordHash8(c.narrow)) << c.narrow;
        EXPECT_EQ(c.hash, Hash16(wide)) << c.narrow;
    }
}

TEST(PasswordHash, NullIsLockOffButEmptyIsNot)
{
    EXPECT_EQ(cfw::kPasswordLockOff, cfw::PasswordHash8(nullptr));
    EXPECT_EQ(cfw::kPasswordLockOff, cfw::PasswordHash16(nullptr));
    const uint32_t empty = cfw::PasswordHash8("");
    EXPECT_NE(0u, empty);
    EXPECT_NE(cfw::kPasswordLockOff, empty);  // the terminator takes a step
    EXPECT_EQ(empty, Hash16(u""));
}

TEST(PasswordHash, OnlyLowByteOfEachCharacterCounts)
{
    // Characters that differ only in their high byte hash alike.
    EXPECT_EQ(Hash16(u"\u3042b"), Hash16(u"\u0142b"));
    EXPECT_EQ(Hash16(u"\u3042b"), cfw::PasswordHash8("\x42" "b"));
    // High narrow bytes count as unsigned values, not as negative numbers.
    EXPECT_EQ(cfw::PasswordHash8("\x80\xff"), Hash16(u"\u0080\u00ff"));
    EXPECT_NE(cfw::PasswordHash8("\x80"), cfw::PasswordHash8("\x7f"));
}

}  // namespace
