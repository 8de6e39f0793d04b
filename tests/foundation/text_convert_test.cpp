// Behaviour shared by our hosted codec and the Windows converters.
#include "foundation/text_convert.h"
#include "tests/foundation/code_units.h"

#include <gtest/gtest.h>

#include <string>

namespace talvio {
namespace {

using testing::Units;

TEST(TextConvert, Utf8RoundTripsAcrossAllLengths) {
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
    const std::wstring wide = Units({0x41, 0xE9, 0x20AC, 0xD83D, 0xDE00, 0xDBFF, 0xDFFF});
    EXPECT_EQ(Utf8ToWide(utf8), wide);
    EXPECT_EQ(WideToUtf8(wide), utf8);
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)), Units({'a', 0, 'b'}));
}

TEST(TextConvert, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), Units({'a', 0xFFFD, 'b'}));
    EXPECT_EQ(Utf8ToWide("\x80x"), Units({0xFFFD, 'x'}));
    EXPECT_EQ(Utf8ToWide("x\xC3"), Units({'x', 0xFFFD}));
    EXPECT_EQ(Utf8ToWide("\xE2\x82" "x"), Units({0xFFFD, 'x'}));
}

TEST(TextConvert, LoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(WideToUtf8(Units({'a', 0xD800, 'b'})), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(WideToUtf8(Units({0xDC00})), "\xEF\xBF\xBD");
    EXPECT_EQ(WideToUtf8(Units({'x', 0xD83D})), "x\xEF\xBF\xBD");
}

TEST(TextConvert, AnsiIsTheWesternCodePage) {
    EXPECT_EQ(WideToAnsi(Units({'A', 0xE9, 0x20AC, 0x2122})), "A\xE9\x80\x99");
    EXPECT_EQ(AnsiToWide("A\xE9\x80\x99\xFF"), Units({'A', 0xE9, 0x20AC, 0x2122, 0xFF}));
    EXPECT_EQ(WideToAnsi(Units({0x4E2D})), "?");
    EXPECT_EQ(AnsiToWide(""), L"");
}

TEST(TextConvert, AnsiAndUtf8MeetThroughTheCodePage) {
    EXPECT_EQ(AnsiToUtf8("J\xF6rg,\x80 5"), "J\xC3\xB6rg,\xE2\x82\xAC 5");
    EXPECT_EQ(Utf8ToAnsi("J\xC3\xB6rg \xE2\x82\xAC \xE4\xB8\xAD"), "J\xF6rg \x80 ?");
}

}  // namespace
}  // namespace talvio
