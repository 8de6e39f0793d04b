#include <gtest/gtest.h>

#include <string_view>

#include "foundation/byte_stream.h"
#include "foundation/text_convert.h"
#include "ui/locale_table.h"

namespace talvio {
namespace {

void Read(LocaleTable& table, std::string_view xml) {
    MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
    table.read(input);
}

std::vector<std::wstring> Names(const LocaleTable& table) {
    std::vector<std::wstring> names;
    for (const Language& language : table.languages()) names.push_back(language.displayName);
    return names;
}

TEST(LocaleTableTest, ItemsAloneGetTheSevenBuiltInLanguages) {
    LocaleTable table;
    Read(table, "<Locale><Item ID='2052' Enable='1' Name='about'><English value='About'/>"
                "<Korea value='K'/></Item></Locale>");
    ASSERT_EQ(table.languages().size(), 7u);
    EXPECT_EQ(Names(table),
              (std::vector<std::wstring>{L"English", L"Simple Chinese", L"Traditional Chinese",
                                         L"Portuguese", L"Polish", L"Japanese", L"Korea"}));
    for (int i = 0; i < 7; ++i) EXPECT_EQ(table.languages()[i].index, i);
    EXPECT_EQ(table.languages()[2].tag, L"TraditionalChinese");
    const LocaleItem* item = table.findItem(2052);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->enable, 1);
    EXPECT_EQ(item->texts.size(), 7u);
    EXPECT_EQ(table.getText(2052, L"fallback"), L"About");
    table.setLanguage(6);
    EXPECT_EQ(table.text(2052), L"K");
}

TEST(LocaleTableTest, DeclaredLanguagesReplaceTheBuiltIns) {
    LocaleTable table;
    Read(table, "<L><Language id='0' tag='English' name='English'/>"
                "<Language id='7' tag='Suomi' name='Suomi'/>"
                "<Item ID='5'><English value='Five'/><Text id='7' value='Viisi'/></Item></L>");
    EXPECT_EQ(Names(table), (std::vector<std::wstring>{L"English", L"Suomi"}));
    EXPECT_EQ(table.languages()[1].index, 7);
    EXPECT_EQ(table.findItem(5)->texts.size(), 2u);
    EXPECT_TRUE(table.setLanguage(7));
    EXPECT_FALSE(table.setLanguage(7));
    EXPECT_EQ(table.text(5), L"Viisi");
}

TEST(LocaleTableTest, AnUntranslatedTextLeavesTheCallersEnglishText) {
    LocaleTable table;
    Read(table, "<L><Item ID='1'><English value='One'/></Item>"
                "<Item ID='2'><English value='Two'/><Text id='9' value='Kaksi'/></Item>"
                "<Item ID='3'><Japanese value='San'/></Item></L>");
    table.setLanguage(5);  // Japanese: item 1 has no Japanese text
    EXPECT_FALSE(table.text(1)) << "a control would go blank";
    EXPECT_EQ(table.getText(1, L"caller's"), L"caller's");
    table.setLanguage(9);
    EXPECT_EQ(table.text(2), L"Kaksi");
    table.setLanguage(42);  // no entry at all: language 0
    EXPECT_EQ(table.text(2), L"Two");
    EXPECT_FALSE(table.text(3));
    EXPECT_EQ(table.getText(3, L"Three"), L"Three");
    EXPECT_FALSE(table.text(4));
    EXPECT_EQ(table.getText(4, L"Help"), L"Help");
}

TEST(LocaleTableTest, ALanguageDeclaredAfterTheItemsHasNoTexts) {
    LocaleTable table;
    Read(table, "<L><Item ID='1'><English value='One'/></Item>"
                "<Language id='8' tag='Late' name='Late'/></L>");
    EXPECT_EQ(table.languages().size(), 8u);
    table.setLanguage(8);
    EXPECT_EQ(table.text(1), L"One");
}

TEST(LocaleTableTest, TheFirstItemOfAnIdWins) {
    LocaleTable table;
    Read(table, "<L><Item ID='7'><English value='first'/></Item>"
                "<Item ID='7'><English value='second'/></Item></L>");
    EXPECT_EQ(table.text(7), L"first");
    EXPECT_EQ(table.items().size(), 1u);
}

TEST(LocaleTableTest, TextsOutsideItemsAndUnknownElementsAreIgnored) {
    LocaleTable table;
    Read(table, "<L><English value='stray'/><Text id='0' value='stray'/>"
                "<Item><Text value='no id'/><Other value='x'/><english value='lower'/></Item>"
                "<Item ID='9'>character data<Text id='-1' value='x'/></Item></L>");
    ASSERT_NE(table.findItem(0), nullptr) << "an Item without ID has id 0";
    EXPECT_FALSE(table.text(0));
    EXPECT_FALSE(table.text(9));
}

TEST(LocaleTableTest, TextsAreDecodedFromUtf8) {
    LocaleTable table;
    Read(table, "<L><Item ID='1'><SimpleChinese value='\xE5\x85\xB3\xE4\xBA\x8E &amp; \xC3\xA9'/>"
                "</Item></L>");
    table.setLanguage(1);
    EXPECT_EQ(table.text(1), W("关于 & é"));
}

TEST(LocaleTableTest, AReadReplacesTheItemsAndKeepsTheLanguages) {
    LocaleTable table;
    Read(table, "<L><Item ID='1'><English value='One'/></Item></L>");
    Read(table, "<L><Language id='3' tag='x' name='x'/><Item ID='2'/></L>");
    EXPECT_FALSE(table.findItem(1));
    EXPECT_TRUE(table.findItem(2));
    EXPECT_EQ(table.languages().size(), 8u) << "built-ins are not reset, the declaration appends";
}

TEST(LocaleTableTest, MalformedXmlKeepsTheItemsCompletedBefore) {
    LocaleTable table;
    Read(table, "<L><Item ID='1'><English value='One'/></Item>"
                "<Item ID='2'><English value='Two'/><!-- broken --></Item></L>");
    EXPECT_EQ(table.text(1), L"One");
    EXPECT_FALSE(table.findItem(2));
}

}  // namespace
}  // namespace talvio
