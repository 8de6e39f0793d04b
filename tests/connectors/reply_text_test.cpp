#include "connectors/reply_text.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace talvio::reply_text {
namespace {

TEST(ReplyTextTest, CallNumbersAreDigitsThatLeaveRoomForTheStoredId) {
    EXPECT_EQ(ParseCallNumber("0"), 0);
    EXPECT_EQ(ParseCallNumber("2147483646"), 2147483646);
    EXPECT_FALSE(ParseCallNumber("2147483647"));
    EXPECT_FALSE(ParseCallNumber("99999999999999999999"));
    EXPECT_FALSE(ParseCallNumber(""));
    EXPECT_FALSE(ParseCallNumber("-1"));
    EXPECT_FALSE(ParseCallNumber("12a"));
}

TEST(ReplyTextTest, DecimalsReadLikeAtoiButClamp) {
    EXPECT_EQ(ParseDecimal("  42xyz"), 42);
    EXPECT_EQ(ParseDecimal("-17"), -17);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseDecimal("-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseDecimal("-2147483648"), INT_MIN);
    // A view ends where it ends, whatever follows in memory.
    const std::string text = "12345";
    EXPECT_EQ(ParseDecimal(std::string_view(text).substr(0, 2)), 12);
}

TEST(ReplyTextTest, ListsSplitAtTheirSeparators) {
    std::vector<int> numbers;
    ForEachListedNumber("12, 7,x9 ,,  2147483647 3", [&](int n) { numbers.push_back(n); });
    EXPECT_EQ(numbers, (std::vector<int>{12, 7, 9, 3}));

    std::vector<std::string> handles;
    ForEachListedHandle("  a, b,c d,  ,", false, [&](std::string_view h) { handles.emplace_back(h); });
    EXPECT_EQ(handles, (std::vector<std::string>{"a", "b,c", "d"}));
    // The family's lists split at every comma.
    handles.clear();
    ForEachListedHandle("  a, b,c d,,e,  ,", true, [&](std::string_view h) { handles.emplace_back(h); });
    EXPECT_EQ(handles, (std::vector<std::string>{"a", "b", "c", "d", "e"}));

    std::string_view rest = "  CALL  12 ";
    EXPECT_EQ(NextWord(rest), "CALL");
    EXPECT_EQ(NextWord(rest), "12");
    EXPECT_EQ(NextWord(rest), "");
    EXPECT_TRUE(StartsWithNoCase("mute off", "MUTE OFF"));
    EXPECT_FALSE(StartsWithNoCase("MUTE", "MUTE OFF"));
}

}  // namespace
}  // namespace talvio::reply_text
