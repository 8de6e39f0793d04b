#include "foundation/utf8_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "foundation/text_convert.h"

namespace talvio {
namespace {

TEST(Utf8String, EmptyStringsShareOneStaticBlock) {
    const Utf8String a;
    const Utf8String b(static_cast<const char*>(nullptr));
    const Utf8String c("", 0);
    const Utf8String d("xyz", -3);
    for (const Utf8String* s : {&a, &b, &c, &d}) {
        EXPECT_TRUE(s->isEmpty());
        EXPECT_EQ(s->length(), 0);
        EXPECT_STREQ(s->c_str(), "");
    }
    EXPECT_EQ(a.c_str(), b.c_str());
    EXPECT_EQ(a.c_str(), Utf8String(std::wstring()).c_str());
}

TEST(Utf8String, CopiesShareTheBlockAndChangesMakeNewOnes) {
    Utf8String original("hello");
    Utf8String copy(original);
    Utf8String assigned;
    assigned = original;
    EXPECT_EQ(copy.c_str(), original.c_str());
    EXPECT_EQ(assigned.c_str(), original.c_str());

    assigned.assign("other");
    EXPECT_STREQ(original.c_str(), "hello");
    EXPECT_STREQ(assigned.c_str(), "other");

    // Self-assignment and assigning from the handle's own bytes.
    copy = copy;
    copy.assign(copy.c_str() + 1);
    EXPECT_STREQ(copy.c_str(), "ello");
    EXPECT_STREQ(original.c_str(), "hello");

    Utf8String moved(std::move(original));
    EXPECT_STREQ(moved.c_str(), "hello");
    EXPECT_TRUE(original.isEmpty());  // NOLINT(bugprone-use-after-move)
}

TEST(Utf8String, LengthCountsBytesIncludingEmbeddedNuls) {
    const Utf8String s("a\0b", 3);
    EXPECT_EQ(s.length(), 3);
    EXPECT_EQ(s.view(), std::string_view("a\0b", 3));
    EXPECT_FALSE(s.equals(Utf8String("a")));
    EXPECT_TRUE(s.equals(Utf8String("a\0b", 3)));
}

TEST(Utf8String, ConcatKeepsBothTexts) {
    const Utf8String a("ab");
    const Utf8String empty;
    EXPECT_STREQ(a.concat(Utf8String("cd")).c_str(), "abcd");
    EXPECT_EQ(a.concat(empty).c_str(), a.c_str());
    EXPECT_STREQ(empty.concat(a).c_str(), "ab");
    EXPECT_STREQ(a.c_str(), "ab");
}

TEST(Utf8String, CompareAndCompareNoCase) {
    const Utf8String s("Abc");
    EXPECT_EQ(s.compare("Abc"), 0);
    EXPECT_LT(s.compare("abc"), 0);
    EXPECT_GT(s.compare("Ab"), 0);
    EXPECT_EQ(s.compare(nullptr), -1);
    EXPECT_EQ(s.compareNoCase("aBC"), 0);
    EXPECT_LT(s.compareNoCase("abd"), 0);
    EXPECT_GT(s.compareNoCase("AB"), 0);
    EXPECT_EQ(s.compareNoCase(nullptr), -1);
    // Only ASCII letters fold.
    EXPECT_NE(Utf8String("\xC3\xA9").compareNoCase("\xC3\x89"), 0);
}

TEST(Utf8String, ToLongParsesLikeAtolAndClamps) {
    EXPECT_EQ(Utf8String("  42abc").toLong(), 42);
    EXPECT_EQ(Utf8String("-17").toLong(), -17);
    EXPECT_EQ(Utf8String("+8").toLong(), 8);
    EXPECT_EQ(Utf8String("x1").toLong(), 0);
    EXPECT_EQ(Utf8String().toLong(), 0);
    EXPECT_EQ(Utf8String("99999999999999999999999").toLong(), LONG_MAX);
    EXPECT_EQ(Utf8String("-99999999999999999999999").toLong(), LONG_MIN);
}

TEST(Utf8String, EscapingUsesTheFiveXmlEntities) {
    const Utf8String s("a<b & 'c'");
    const Utf8String e = s.escaped();
    EXPECT_STREQ(e.c_str(), "a&lt;b &amp; &apos;c&apos;");
    EXPECT_EQ(e.length(), 26);
    EXPECT_STREQ(Utf8String("\"x\">").escaped().c_str(), "&quot;x&quot;&gt;");

    const Utf8String plain("nothing here");
    EXPECT_EQ(plain.escaped().c_str(), plain.c_str());
    EXPECT_TRUE(Utf8String().escaped().isEmpty());

    Utf8String shared("<");
    const Utf8String keep(shared);
    shared.escapeInPlace();
    EXPECT_STREQ(shared.c_str(), "&lt;");
    EXPECT_STREQ(keep.c_str(), "<");
}

TEST(Utf8String, WideRoundTripAndAnsi) {
    const std::wstring eAcute = W("\xC3\xA9");
    ASSERT_EQ(eAcute.size(), 1u);
    const Utf8String s(eAcute);
    EXPECT_EQ(s.length(), 2);
    EXPECT_EQ(s.view(), "\xC3\xA9");
    EXPECT_EQ(s.toWide(), eAcute);
    EXPECT_EQ(s.toAnsi(), "\xE9");

    Utf8String assigned("x");
    assigned.assign(W("\xE2\x82\xAC"));  // euro sign
    EXPECT_EQ(assigned.length(), 3);
    EXPECT_EQ(assigned.toAnsi(), "\x80");
}

}  // namespace
}  // namespace talvio
