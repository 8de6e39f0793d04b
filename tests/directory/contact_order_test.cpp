#include <gtest/gtest.h>

#include "directory/contact_record.h"

namespace talvio {
namespace {

ContactRecord Contact(std::string handle, int status = 1, std::string name = {}) {
    ContactRecord contact;
    contact.handle = std::move(handle);
    contact.onlineStatus = status;
    contact.displayName = std::move(name);
    return contact;
}

int Order(const ContactRecord& a, const ContactRecord& b) { return CompareForDisplay(a, b); }

TEST(ContactOrder, StatusGroupDecidesBeforeTheName) {
    ContactRecord online = Contact("zz", 1);
    ContactRecord forwarded = Contact("aa", 0);
    forwarded.callForwardActive = 1;
    ContactRecord offline = Contact("aa", 0);
    EXPECT_LT(Order(online, forwarded), 0);
    EXPECT_LT(Order(forwarded, offline), 0);
    EXPECT_LT(Order(online, offline), 0);
    EXPECT_EQ(Order(online, forwarded), -5);
    EXPECT_EQ(Order(offline, online), 9);

    ContactRecord skypeOut = Contact("aa", 6);
    EXPECT_EQ(Order(skypeOut, forwarded), 0) << "SkypeOut shares the call-forwarding group";
    ContactRecord unknown = Contact("aa", -1);
    EXPECT_EQ(Order(unknown, offline), 0);
    for (int status = 1; status <= 5; ++status)
        EXPECT_EQ(Order(Contact("a", status), Contact("a", 1)), 0) << status;
}

TEST(ContactOrder, CollationOfPunctuationDigitsAndCase) {
    EXPECT_LT(Order(Contact("a-b"), Contact("a b")), 0) << "hyphen before space";
    EXPECT_LT(Order(Contact("a'b"), Contact("a-b")), 0) << "apostrophe lightest";
    EXPECT_LT(Order(Contact("a9"), Contact("aa")), 0) << "digit before letter";
    EXPECT_LT(Order(Contact("a>"), Contact("a0")), 0) << "symbols before digits";
    EXPECT_LT(Order(Contact("a~"), Contact("a+")), 0);
    EXPECT_EQ(Order(Contact("ANNA"), Contact("anna")), 0) << "case weighs the same";
    EXPECT_LT(Order(Contact("anna"), Contact("BOB")), 0);
    EXPECT_LT(Order(Contact("bob"), Contact("Bobby")), 0) << "a beginning comes first";
    EXPECT_GT(Order(Contact("Bobby"), Contact("bob")), 0);
    EXPECT_GT(Order(Contact("a\xC3\xA4"), Contact("az")), 0) << "bytes above 127 after letters";
    EXPECT_LT(Order(Contact("a\x01"), Contact("a'")), 0) << "control bytes weigh their value";
}

TEST(ContactOrder, WeightTableMatchesTheFixedSequence) {
    const std::string sequence = "'- !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";
    for (std::size_t i = 0; i < sequence.size(); ++i)
        EXPECT_EQ(CollationWeight(static_cast<unsigned char>(sequence[i])), 32 + static_cast<int>(i))
            << sequence[i];
    EXPECT_EQ(CollationWeight('0'), 80);
    EXPECT_EQ(CollationWeight('9'), 89);
    EXPECT_EQ(CollationWeight('A'), 97);
    EXPECT_EQ(CollationWeight('z'), 122);
    EXPECT_EQ(CollationWeight(31), 31);
    EXPECT_EQ(CollationWeight(127), 127);
    EXPECT_EQ(CollationWeight(255), 255);
}

TEST(ContactOrder, LeadingApostrophesAreSkippedButNotTheLastCharacter) {
    EXPECT_EQ(Order(Contact("''anna"), Contact("anna")), 0);
    EXPECT_LT(Order(Contact("'anna"), Contact("bob")), 0);
    EXPECT_LT(Order(Contact("'"), Contact("a")), 0) << "a lone apostrophe stays a name";
    EXPECT_EQ(Order(Contact("''"), Contact("'")), 0);
}

TEST(ContactOrder, ShownNameFallsBackToTheHandle) {
    ContactRecord named = Contact("zed", 1, "Adam");
    ContactRecord plain = Contact("bert", 1);
    EXPECT_LT(Order(named, plain), 0);
    EXPECT_EQ(ShownName(named), "Adam");
    EXPECT_EQ(ShownName(plain), "bert");
}

TEST(ContactNames, EchoContactShowsTheTestCallName) {
    ContactRecord echo = Contact("echo123");
    SetShownName(echo, "Echo / Sound Test");
    EXPECT_EQ(echo.displayName, "Skype Call Testing");
    SetShownName(echo, "SKYPE test service");
    EXPECT_EQ(echo.displayName, "SKYPE test service");
    SetShownName(echo, "sKyPe");
    EXPECT_EQ(echo.displayName, "sKyPe");
    SetShownName(echo, "Skyp");
    EXPECT_EQ(echo.displayName, "Skype Call Testing");

    ContactRecord other = Contact("echo1234");
    SetShownName(other, "Echo");
    EXPECT_EQ(other.displayName, "Echo");
}

TEST(ContactNames, ShownNameRecomputesTheLcdBytes) {
    ContactRecord contact = Contact("x");
    SetShownName(contact, "J\xC3\xB6rg");
    EXPECT_EQ(contact.lcdName, "J\xF6rg");
    SetShownName(contact, "Li");
    EXPECT_EQ(contact.lcdName, "Li");
}

TEST(ContactLocation, JoinsThePresentPartsWithBareCommas) {
    ContactRecord contact = Contact("x");
    contact.city = "Tampere";
    contact.country = "Finland";
    EXPECT_EQ(ContactLocation(&contact), "Tampere,Finland");
    contact.province = "Pirkanmaa";
    EXPECT_EQ(ContactLocation(&contact), "Tampere,Pirkanmaa,Finland") << "later replies count";
    EXPECT_EQ(contact.locationText, "Tampere,Pirkanmaa,Finland");
    ContactRecord empty = Contact("y");
    EXPECT_EQ(ContactLocation(&empty), "");
    empty.province = "Uusimaa";
    EXPECT_EQ(ContactLocation(&empty), "Uusimaa,");
    EXPECT_EQ(ContactLocation(nullptr), "");
}

TEST(ContactIcon, ByStatusThenBuddyState) {
    // Positions in the status mark group: 0 online, 3 away, 4 not available,
    // 5 do not disturb, 6 open for calls, 7 phone number.
    const int expected[] = {0, 3, 5, 4, 6, 7};
    for (int status = 1; status <= 6; ++status) {
        ContactRecord contact = Contact("x", status);
        contact.buddyStatus = 1;
        EXPECT_EQ(ContactIcon(&contact), expected[status - 1]) << status;
    }
    ContactRecord offline = Contact("x", 0);
    EXPECT_EQ(ContactIcon(&offline), 1);
    offline.buddyStatus = 1;
    EXPECT_EQ(ContactIcon(&offline), 2);
    offline.onlineStatus = -1;
    EXPECT_EQ(ContactIcon(&offline), 2);
    offline.buddyStatus = -1;
    EXPECT_EQ(ContactIcon(&offline), 1);
    EXPECT_EQ(ContactIcon(nullptr), 1);
}

}  // namespace
}  // namespace talvio
