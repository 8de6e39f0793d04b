#include <gtest/gtest.h>
#include <iconv.h>

#include "directory/lcd_text.h"

namespace talvio {
namespace {

// The table was generated from iconv's GBK at build time; this checks it
// against the library's own conversion of every ideograph GBK knows.
TEST(IdeographTable, MatchesIconvForEveryGbkIdeograph) {
    iconv_t converter = iconv_open("GBK", "UTF-16LE");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
    int mismatches = 0;
    for (char16_t unit = 0x4E00; unit <= 0x9FA5; ++unit) {
        char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        char out[4] = {};
        char* inPointer = in;
        char* outPointer = out;
        std::size_t inLeft = 2;
        std::size_t outLeft = sizeof out;
        ASSERT_NE(iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft),
                  static_cast<std::size_t>(-1));
        ASSERT_EQ(sizeof out - outLeft, 2u);
        const unsigned char* entry = kIdeographTable[unit - kFirstTableIdeograph];
        if (entry[0] != static_cast<unsigned char>(out[0]) ||
            entry[1] != static_cast<unsigned char>(out[1]))
            ++mismatches;
    }
    iconv_close(converter);
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace talvio
