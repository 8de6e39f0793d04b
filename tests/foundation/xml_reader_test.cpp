#include "foundation/xml_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace talvio {
namespace {

// Records every call as one line, attributes and text included.
class RecordingHandler : public XmlHandler {
public:
    void startDocument() override { log += "start-document\n"; }
    void startElement(const Utf8String& name, const XmlAttributes* attributes) override {
        log += "start " + std::string(name.view());
        for (int i = 0; i < attributes->count; ++i)
            log += std::string(" ") + attributes->names[i] + "=" + attributes->values[i];
        log += "\n";
        if (onStart) onStart(*attributes);
    }
    void characters(const char* text, int length) override {
        EXPECT_EQ(text[length], '\0');
        log += "text [" + std::string(text, static_cast<std::size_t>(length)) + "]\n";
    }
    void endElement(const Utf8String& name) override {
        log += "end " + std::string(name.view()) + "\n";
    }
    void endDocument() override { log += "end-document\n"; }

    std::string log;
    std::function<void(const XmlAttributes&)> onStart;  // sees the block while it is valid
};

struct Parsed {
    std::string log;
    bool threw = false;
};

Parsed Parse(const std::string& xml, bool decodeEntities = true, bool skipWhitespace = true) {
    RecordingHandler handler;
    XmlReader reader(handler);
    MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
    Parsed result;
    try {
        reader.parse(input, decodeEntities, skipWhitespace);
    } catch (SAXException* error) {
        delete error;
        result.threw = true;
    }
    result.log = handler.log;
    return result;
}

void ExpectParses(const std::string& xml, const std::string& expected) {
    const Parsed parsed = Parse(xml);
    EXPECT_FALSE(parsed.threw) << xml;
    EXPECT_EQ(parsed.log, expected) << xml;
}

void ExpectThrows(const std::string& xml, const std::string& prefix = "") {
    const Parsed parsed = Parse(xml);
    EXPECT_TRUE(parsed.threw) << xml;
    EXPECT_EQ(parsed.log, prefix) << xml;
}

TEST(XmlReader, CallOrderForASmallDocument) {
    ExpectParses("<?xml version='1.0'?><a x='1'><b>t</b></a>",
                 "start-document\nstart a x=1\nstart b\ntext [t]\nend b\nend a\nend-document\n");
}

TEST(XmlReader, ByteOrderMarkAndTextBeforeTheFirstTagAreIgnored) {
    ExpectParses("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a/>",
                 "start-document\nstart a\nend a\n");
    ExpectParses("junk > here<a></a>", "start-document\nstart a\nend a\nend-document\n");
    ExpectParses("", "");
    ExpectParses("no markup at all", "");
}

TEST(XmlReader, PredefinedEntitiesDecodeInTextAndValues) {
    ExpectParses("<a>x &amp; y</a>", "start-document\nstart a\ntext [x & y]\nend a\nend-document\n");
    ExpectParses("<a v='&lt;&gt;&quot;&apos;&amp;'>&lt;&gt;&quot;&apos;</a>",
                 "start-document\nstart a v=<>\"'&\ntext [<>\"']\nend a\nend-document\n");
}

TEST(XmlReader, NumericReferencesBecomeUtf8AtEveryLengthBoundary) {
    ExpectParses("<a>&#65;&#x42;&#X43;</a>", "start-document\nstart a\ntext [ABC]\nend a\nend-document\n");
    // e-acute, the ideograph for "middle", then the first and last code
    // point of each UTF-8 length, in text and in an attribute value.
    ExpectParses("<a v='&#233;&#x4E2D;'>&#x7F;&#x80;&#x7FF;&#x800;&#xFFFF;&#x10000;&#x10FFFF;</a>",
                 "start-document\nstart a v=\xC3\xA9\xE4\xB8\xAD\n"
                 "text [\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80"
                 "\xF4\x8F\xBF\xBF]\nend a\nend-document\n");
}

TEST(XmlReader, NumericReferencesThatAreNoCharacterThrow) {
    for (const char* reference : {"&#0;", "&#x0;", "&#xD800;", "&#xDFFF;", "&#x110000;", "&#1114112;",
                                  "&#99999999999;", "&#zz;", "&#;", "&#x;", "&#65a;", "&#-65;", "&#+65;",
                                  "&# 65;"}) {
        std::string xml = "<a>";
        xml.append(reference).append("</a>");
        ExpectThrows(xml, "start-document\nstart a\n");
    }
    ExpectThrows("<a v='&#xD83D;'/>", "start-document\n");
}

TEST(XmlReader, EntitiesStayLiteralWhenDecodingIsOff) {
    const Parsed parsed = Parse("<a v='&bogus;'>&amp; &x</a>", false, true);
    EXPECT_FALSE(parsed.threw);
    EXPECT_EQ(parsed.log, "start-document\nstart a v=&bogus;\ntext [&amp; &x]\nend a\nend-document\n");
}

TEST(XmlReader, BadEntitiesThrow) {
    ExpectThrows("<a>& amp;</a>", "start-document\nstart a\n");
    ExpectThrows("<a>&AMP;</a>", "start-document\nstart a\n");
    ExpectThrows("<a>&amp</a>", "start-document\nstart a\n");
    ExpectThrows("<a>&amp", "start-document\nstart a\n");
    ExpectThrows("<a v='&amp'/>", "start-document\n");
    ExpectThrows("<a v=\"&a'b;\"/>", "start-document\n");  // the other quote does not cut it
}

TEST(XmlReader, LeadingWhitespaceIsDroppedOrReportedApart) {
    ExpectParses("<a>  text  </a>", "start-document\nstart a\ntext [text  ]\nend a\nend-document\n");
    const Parsed kept = Parse("<a>\n <b/> x</a>", true, false);
    EXPECT_EQ(kept.log, "start-document\nstart a\ntext [\n ]\nstart b\nend b\ntext [ ]\ntext [x]\n"
                        "end a\nend-document\n");
}

TEST(XmlReader, AttributeValuesTakeOtherQuotesAndAngles) {
    ExpectParses("<a b='x>y'/>", "start-document\nstart a b=x>y\nend a\n");
    ExpectParses("<a b=\"it's <ok>\" c = 'say \"hi\"'/>",
                 "start-document\nstart a b=it's <ok> c=say \"hi\"\nend a\n");
    ExpectParses("<a x='1'y='2'/>", "start-document\nstart a x=1 y=2\nend a\n");
    ExpectParses("<a x='1' x='2'/>", "start-document\nstart a x=1 x=2\nend a\n");
}

TEST(XmlReader, FindReturnsTheFirstOfDuplicateNames) {
    RecordingHandler handler;
    int calls = 0;
    handler.onStart = [&](const XmlAttributes& block) {
        ++calls;
        ASSERT_EQ(block.count, 3);
        EXPECT_STREQ(block.find("x"), "1");
        EXPECT_STREQ(block.find("y"), "");
        EXPECT_EQ(block.find("z"), nullptr);
        EXPECT_EQ(block.find(nullptr), nullptr);
    };
    XmlReader reader(handler);
    const std::string xml = "<a x='1' y='' x='2'/>";
    MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
    reader.parse(input, true, true);
    EXPECT_EQ(calls, 1);
}

TEST(XmlReader, CommentsAndDoctypeAreRejected) {
    ExpectThrows("<a><!-- c --></a>", "start-document\nstart a\n");
    ExpectThrows("<!DOCTYPE a><a/>");
    ExpectThrows("<a><![CDATA[", "start-document\nstart a\n");
    ExpectThrows("<a><![CDA", "start-document\nstart a\n");
}

TEST(XmlReader, CdataIsLiteralUpToTheFirstClose) {
    ExpectParses("<a><![CDATA[<b>&amp;]]></a>",
                 "start-document\nstart a\ntext [<b>&amp;]\nend a\nend-document\n");
    ExpectParses("<a><![CDATA[x]]]></a>", "start-document\nstart a\ntext [x]]\nend a\nend-document\n");
    ExpectParses("<a><![CDATA[]]></a>", "start-document\nstart a\ntext []\nend a\nend-document\n");
    ExpectParses("<a><![CDATA[a]b]]c]]>d]]></a>",
                 "start-document\nstart a\ntext [a]b]]c]\ntext [d]]>]\nend a\nend-document\n");
    ExpectParses("<a><![CDATA[cut]]", "start-document\nstart a\ntext [cut]]]\n");
}

TEST(XmlReader, ParsingStopsAtTheRootsEndTag) {
    ExpectParses("<a>1</a><b>2</b>", "start-document\nstart a\ntext [1]\nend a\nend-document\n");
    ExpectParses("<a>1</a><<<", "start-document\nstart a\ntext [1]\nend a\nend-document\n");
}

TEST(XmlReader, ContentAfterASelfClosingRootIsRead) {
    ExpectParses("<a/><b>2</b><a>3</a>",
                 "start-document\nstart a\nend a\nstart b\ntext [2]\nend b\nstart a\ntext [3]\n"
                 "end a\nend-document\n");
}

TEST(XmlReader, AStartTagWithoutEqualsIsDropped) {
    ExpectParses("<a x></a>", "start-document\nend a\nend-document\n");
    ExpectParses("<r><a x y='1'>t</a></r>",
                 "start-document\nstart r\ntext [='1'>t]\nend a\nend r\nend-document\n");
}

TEST(XmlReader, EndTagsAreReportedAsWritten) {
    ExpectParses("<a></b></a >text</a>",
                 "start-document\nstart a\nend b\nend a \ntext [text]\nend a\nend-document\n");
    ExpectParses("</x><a/>", "end x\nstart-document\nstart a\nend a\n");
}

TEST(XmlReader, SyntaxErrorsThrowAfterThePrefixWasDelivered) {
    ExpectThrows("<a><1/></a>", "start-document\nstart a\n");
    ExpectThrows("<a>< b/></a>", "start-document\nstart a\n");
    ExpectThrows("<a/ >", "start-document\n");
    ExpectThrows("<a x=1/>", "start-document\n");
    ExpectThrows("<a x = \n 1/>", "start-document\n");
}

TEST(XmlReader, InputEndingInsideMarkupEndsQuietly) {
    ExpectParses("<a", "");
    ExpectParses("<a x='1'", "start-document\n");
    ExpectParses("<a x='1'/", "start-document\n");
    ExpectParses("<a x='1", "start-document\n");
    ExpectParses("<a x=", "start-document\n");
    ExpectParses("<a><b", "start-document\nstart a\n");
    ExpectParses("<a></a", "start-document\nstart a\n");  // a cut end tag is not reported
    ExpectParses("<a><?pi", "start-document\nstart a\n");
    ExpectParses("<a>text", "start-document\nstart a\ntext [text]\n");
    ExpectParses("<", "");
}

TEST(XmlReader, ProcessingInstructionsEndAtQuestionMarkAngle) {
    ExpectParses("<?pi a > b ?><a/>", "start-document\nstart a\nend a\n");
    ExpectParses("<a><?x?" "?>t</a>", "start-document\nstart a\ntext [t]\nend a\nend-document\n");
}

TEST(XmlReader, TokensHaveNoLengthLimit) {
    const std::string longName(5000, 'n');
    const std::string longText(70000, 't');
    ExpectParses("<" + longName + ">" + longText + "</" + longName + ">",
                 "start-document\nstart " + longName + "\ntext [" + longText + "]\nend " + longName +
                     "\nend-document\n");
}

// 20 attributes "aNN" = 44 value bytes: 20 * (3 + 1 + 45 + 1) = 1000 bytes.
std::string AttributeTag(int count, int valueLength) {
    std::string tag = "<e";
    for (int i = 0; i < count; ++i) {
        // Appended piece by piece: GCC 12 at -O3 misreads the operator+ chain
        // as an overlapping copy (-Wrestrict).
        tag.append(" a").append(std::to_string(i / 10)).append(std::to_string(i % 10));
        tag.append("='").append(static_cast<std::size_t>(valueLength), 'v').append("'");
    }
    return tag + "/>";
}

TEST(XmlReader, AFullAttributeBlockIsDeliveredWhole) {
    RecordingHandler handler;
    int calls = 0;
    handler.onStart = [&](const XmlAttributes& block) {
        ++calls;
        ASSERT_EQ(block.count, 20);
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(block.names[i], block.pool + 50 * i);
            EXPECT_EQ(block.values[i], block.names[i] + 4);
            EXPECT_EQ(std::string(block.values[i]), std::string(45, 'v'));
        }
        EXPECT_STREQ(block.names[19], "a19");
        EXPECT_EQ(block.values[19] + 46, block.pool + XmlAttributes::kPoolSize);
    };
    XmlReader reader(handler);
    const std::string xml = AttributeTag(20, 45);
    MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
    reader.parse(input, true, true);
    EXPECT_EQ(calls, 1);
}

TEST(XmlReader, TooManyAttributesAreRefused) {
    ExpectThrows(AttributeTag(21, 1), "start-document\n");
}

TEST(XmlReader, AttributesBeyondThePoolAreDeliveredWhole) {
    RecordingHandler handler;
    std::vector<std::string> seen;
    handler.onStart = [&](const XmlAttributes& block) {
        for (int i = 0; i < block.count; ++i) seen.push_back(block.values[i]);
    };
    XmlReader reader(handler);
    const std::string longValue(5000, 'v');
    const std::string xml = "<e a='" + std::string(990, 'p') + "' b='" + longValue + "' c='x'/>";
    MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
    reader.parse(input, true, true);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::string(990, 'p'));
    EXPECT_EQ(seen[1], longValue);
    EXPECT_EQ(seen[2], "x");
    ExpectParses("<e a='" + std::string(998, 'v') + "'/>",
                 "start-document\nstart e a=" + std::string(998, 'v') + "\nend e\n");
}

TEST(XmlReader, TryParseOwnsTheException) {
    RecordingHandler handler;
    XmlReader reader(handler);
    const std::string bad = "<a><!-- --></a>";
    MemoryStream input(bad.data(), static_cast<int>(bad.size()), MemoryStream::Borrowed);
    EXPECT_FALSE(reader.tryParse(input, true, true));
    const std::string good = "<b/>";
    input.open(good.data(), static_cast<int>(good.size()), MemoryStream::Borrowed);
    EXPECT_TRUE(reader.tryParse(input, true, true));
    EXPECT_EQ(reader.rootName().compare("b"), 0);
}

TEST(XmlReader, AReusedReaderTakesTheNewRoot) {
    RecordingHandler handler;
    XmlReader reader(handler);
    const std::string first = "<a/>";
    const std::string second = "<b></b><c/>";
    MemoryStream input(first.data(), static_cast<int>(first.size()), MemoryStream::Borrowed);
    reader.parse(input, true, true);
    input.open(second.data(), static_cast<int>(second.size()), MemoryStream::Borrowed);
    handler.log.clear();
    reader.parse(input, true, true);
    EXPECT_EQ(handler.log, "start-document\nstart b\nend b\nend-document\n");
}

}  // namespace
}  // namespace talvio
