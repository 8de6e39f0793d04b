#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/memory_registry.h"
#include "settings/rate_table.h"
#include "tests/settings/settings_test_support.h"

namespace talvio {
namespace {

using testing::ReadText;

std::vector<std::string> Prefixes(const RateList& list) {
    std::vector<std::string> prefixes;
    for (const RateEntry& entry : list) prefixes.push_back(entry.prefix);
    return prefixes;
}

TEST(ComparePrefixesTest, LettersCompareAsLowerCaseAndShorterFirst) {
    EXPECT_LT(ComparePrefixes("44", "441"), 0);
    EXPECT_LT(ComparePrefixes("441", "4420"), 0);
    EXPECT_EQ(ComparePrefixes("4aB", "4Ab"), 0);
    // '_' (0x5F) lies between 'A' (0x41) and 'a' (0x61): only folding puts
    // "A" after it.
    EXPECT_GT(ComparePrefixes("A", "_"), 0);
    EXPECT_GT(ComparePrefixes("\xE9", "z"), 0) << "bytes above 127 compare unsigned";
    EXPECT_EQ(ComparePrefixes("", ""), 0);
}

TEST(RateListTest, KeepsAscendingOrderAndTheFirstRate) {
    RateList list;
    list.add("4420", 0.008);
    list.add("44", 0.01);
    list.add("441", 0.02);
    list.add("44", 0.5);
    EXPECT_EQ(Prefixes(list), (std::vector<std::string>{"44", "441", "4420"}));
    EXPECT_DOUBLE_EQ(list[0].rate, 0.01);

    // Entries added after a read merge behind the ones already there.
    list.add("x1", 1.0);
    list.add("X1", 2.0);
    list.add("441", 3.0);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[3].prefix, "x1");
    EXPECT_DOUBLE_EQ(list[3].rate, 1.0);
    EXPECT_DOUBLE_EQ(list[1].rate, 0.02);
}

// The rule the table follows: walk from the front to the first entry not
// below the prefix; equal keeps the list, otherwise insert there.
std::vector<RateEntry> LinearInsertions(const std::vector<std::pair<std::string, double>>& input) {
    std::vector<RateEntry> list;
    for (const auto& [prefix, rate] : input) {
        auto place = list.begin();
        while (place != list.end() && ComparePrefixes(place->prefix, prefix) < 0) ++place;
        if (place != list.end() && ComparePrefixes(place->prefix, prefix) == 0) continue;
        list.insert(place, RateEntry{prefix, rate, 0});
    }
    return list;
}

TEST(RateListTest, MatchesTheLinearRuleOnRandomInput) {
    std::mt19937 random(1234);
    const std::string alphabet = "0123456789aAbB_";
    std::vector<std::pair<std::string, double>> input;
    for (int i = 0; i < 3000; ++i) {
        std::string prefix(1 + random() % 4, ' ');
        for (char& c : prefix) c = alphabet[random() % alphabet.size()];
        input.emplace_back(prefix, i);
    }
    RateList list;
    for (std::size_t i = 0; i < input.size(); ++i) {
        list.add(input[i].first, input[i].second);
        if (i % 1000 == 0) list.size();  // reads in between merge in batches
    }
    const std::vector<RateEntry> expected = LinearInsertions(input);
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list[i].prefix, expected[i].prefix) << i;
        EXPECT_EQ(list[i].rate, expected[i].rate) << i;
        EXPECT_EQ(list[i].mark, 0);
    }
}

class FeeConfTest : public ::testing::Test {
protected:
    MemoryRegistry registry;
    AppSettings settings{registry, nullptr};

    std::vector<std::string> prefixesOf(int id) { return Prefixes(*settings.RatesOf(id)); }
};

TEST_F(FeeConfTest, ItemsBelongToTheLastProgramNamed) {
    ReadText(settings, "<Fees><AppItem item='voipbuster'>"
                       "<FeeItem item='4420' value='0.008'/><FeeItem item='44' value='0.01'/>"
                       "<FeeItem item='441' value='0.02'/><FeeItem item='44' value='9'/>"
                       "</AppItem><FeeItem item='1' value='0.5'/>"
                       "<AppItem item='2'><FeeItem item='33' value='0.1'/></AppItem></Fees>");
    EXPECT_EQ(prefixesOf(2), (std::vector<std::string>{"1", "44", "441", "4420"}));
    EXPECT_DOUBLE_EQ((*settings.RatesOf(2))[1].rate, 0.01);
    EXPECT_EQ(prefixesOf(3), (std::vector<std::string>{"33"})) << "item='2' is program 3";
}

TEST_F(FeeConfTest, ItemsWithoutAProgramOrPrefixAreIgnored) {
    ReadText(settings, "<Fees><FeeItem item='1' value='1'/>"
                       "<AppItem item='12'><FeeItem item='2' value='1'/></AppItem>"
                       "<AppItem><FeeItem item='3' value='1'/></AppItem>"
                       "<AppItem item='skype'><FeeItem value='1'/><FeeItem item='' value='1'/>"
                       "<FeeItem item='4' value='cheap'/><FeeItem item='5'/>"
                       "<FeeItem item='6' value=' 1.5e1x'/></AppItem></Fees>");
    for (int id = 2; id <= kProgramCount; ++id) EXPECT_TRUE(settings.RatesOf(id)->empty()) << id;
    const RateList& skype = *settings.RatesOf(1);
    EXPECT_EQ(Prefixes(skype), (std::vector<std::string>{"4", "5", "6"}));
    EXPECT_DOUBLE_EQ(skype[0].rate, 0.0);
    EXPECT_DOUBLE_EQ(skype[1].rate, 0.0);
    EXPECT_DOUBLE_EQ(skype[2].rate, 15.0);
    EXPECT_EQ(settings.RatesOf(0), nullptr);
    EXPECT_EQ(settings.RatesOf(13), nullptr);
}

TEST_F(FeeConfTest, TheSharedHandlerWorksBothWays) {
    // Settings elements in the rate file take effect...
    ReadText(settings, "<Fees><LCDLogo val='From fees'/><AppItem item='poivy'/></Fees>");
    EXPECT_EQ(settings.lcdLogo, L"From fees");
    // ...and a rate item in config.xml fills the table for the program of the
    // last AppItem, whether that stood inside AppSwitch or not.
    ReadText(settings, "<Config><AppSwitch><AppItem item='netappel'/></AppSwitch>"
                       "<FeeItem item='7' value='1'/></Config>");
    EXPECT_EQ(prefixesOf(8), (std::vector<std::string>{"7"}));
    ReadText(settings, "<Config><AppItem item='freecall'/><FeeItem item='8' value='1'/></Config>");
    EXPECT_EQ(prefixesOf(9), (std::vector<std::string>{"8"}));
}

TEST_F(FeeConfTest, EachFileStartsWithoutAProgram) {
    ReadText(settings, "<Fees><AppItem item='poivy'/></Fees>");
    ReadText(settings, "<Fees><FeeItem item='9' value='1'/></Fees>");
    for (int id = 1; id <= kProgramCount; ++id) EXPECT_TRUE(settings.RatesOf(id)->empty()) << id;
}

}  // namespace
}  // namespace talvio
