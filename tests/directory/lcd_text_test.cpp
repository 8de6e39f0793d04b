#include <gtest/gtest.h>

#include "directory/lcd_text.h"

namespace talvio {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes.push_back(static_cast<char>(v));
    return bytes;
}

TEST(LcdText, LatinOneCharactersBecomeOneByte) {
    EXPECT_EQ(EncodeLcdText("Anna"), "Anna");
    EXPECT_EQ(EncodeLcdText("J\xC3\xB6rg \xC3\xBF"), Bytes({'J', 0xF6, 'r', 'g', ' ', 0xFF}));
    EXPECT_EQ(EncodeLcdText(""), "");
}

TEST(LcdText, IdeographsUseTheirGbkCode) {
    // U+4E2D U+6587: the GBK codes D6D0 and CEC4.
    EXPECT_EQ(EncodeLcdText("\xE4\xB8\xAD\xE6\x96\x87"), Bytes({0xD6, 0xD0, 0xCE, 0xC4}));
    // The first ideograph, U+4E00, is D2BB; the last GBK has, U+9FA5, FD9B.
    EXPECT_EQ(EncodeLcdText("\xE4\xB8\x80"), Bytes({0xD2, 0xBB}));
    EXPECT_EQ(EncodeLcdText("\xE9\xBE\xA5"), Bytes({0xFD, 0x9B}));
    EXPECT_EQ(EncodeLcdText("A\xE4\xB8\xAD" "B"), Bytes({'A', 0xD6, 0xD0, 'B'}));
}

TEST(LcdText, IdeographsBeyondGbkKeepTheirCodeUnitLowByteFirst) {
    EXPECT_EQ(EncodeLcdText("\xE9\xBE\xA6"), Bytes({0xA6, 0x9F}));  // U+9FA6
    EXPECT_EQ(EncodeLcdText("\xE9\xBF\xBF"), Bytes({0xFF, 0x9F}));  // U+9FFF
}

TEST(LcdText, OtherCharactersOnlyWhenTheCodePageHasThem) {
    // U+20AC is in every Western ANSI code page (0x80); U+0416 and U+3042 are
    // not in the hosted one (Windows-1252) and are left out.
    EXPECT_EQ(EncodeLcdText("\xE2\x82\xAC"), Bytes({0x80}));
#ifndef _WIN32
    EXPECT_EQ(EncodeLcdText("a\xD0\x96" "b\xE3\x81\x82" "c"), "abc");
#endif
}

TEST(LcdText, TableHasAnEntryForEveryIdeograph) {
    for (int i = 0; i < kIdeographTableSize; ++i) {
        const int lead = kIdeographTable[i][0];
        const int trail = kIdeographTable[i][1];
        if (kFirstTableIdeograph + i <= 0x9FA5) {
            ASSERT_GE(lead, 0x81) << i;
            ASSERT_LE(lead, 0xFE) << i;
            ASSERT_GE(trail, 0x40) << i;
            ASSERT_NE(trail, 0x7F) << i;
        } else {
            ASSERT_EQ(lead | trail << 8, kFirstTableIdeograph + i) << i;
        }
    }
}

}  // namespace
}  // namespace talvio
