// Details of our own codec that the Windows converters need not share.
#include "foundation/text_convert.h"
#include "tests/foundation/code_units.h"

#include <gtest/gtest.h>

namespace talvio {
namespace {

using testing::Units;

TEST(HostedTextConvert, OneReplacementPerMaximalIllFormedSubpart) {
    // Overlong forms, encoded surrogates and values past U+10FFFF.
    EXPECT_EQ(Utf8ToWide("\xC0\x80"), Units({0xFFFD, 0xFFFD}));
    EXPECT_EQ(Utf8ToWide("\xE0\x80\x80"), Units({0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), Units({0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(Utf8ToWide("\xF4\x90\x80\x80"), Units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98" "a"), Units({0xFFFD, 'a'}));
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\xC3\xA9"), Units({0xFFFD, 0xE9}));
}

TEST(HostedTextConvert, UnitsBeyondUtf16AreNotCodeUnits) {
    EXPECT_EQ(WideToUtf8(Units({0x1F600})), "\xEF\xBF\xBD");
}

TEST(HostedTextConvert, UndefinedWindows1252BytesMapToC1Controls) {
    EXPECT_EQ(AnsiToWide("\x81\x8D\x8F\x90\x9D"), Units({0x81, 0x8D, 0x8F, 0x90, 0x9D}));
    EXPECT_EQ(WideToAnsi(Units({0x81, 0x9D})), "\x81\x9D");
    EXPECT_EQ(WideToAnsi(Units({0xD83D, 0xDE00})), "??");
    EXPECT_EQ(WideToAnsi(Units({0x0100})), "?");
}

}  // namespace
}  // namespace talvio
