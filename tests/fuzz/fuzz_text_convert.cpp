// Random bytes through the text conversions and the XML escaping:
// - as UTF-8: the wide result holds no lone surrogate and survives a round
//   trip through UTF-8 unchanged;
// - as UTF-16 code units: UTF-8 and back gives the units with every lone
//   surrogate replaced;
// - as ANSI bytes: the code page maps both ways without loss;
// - escaped into an attribute value and into character data, the XML
//   reader gives back the original bytes.
#include <string>

#include "foundation/text_convert.h"
#include "foundation/utf8_string.h"
#include "foundation/xml_reader.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

using namespace talvio;

bool IsHigh(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void CheckWellFormed(const std::wstring& wide) {
    for (std::size_t i = 0; i < wide.size(); ++i) {
        TALVIO_FUZZ_CHECK(wide[i] >= 0 && wide[i] <= 0xFFFF);
        if (IsHigh(wide[i])) {
            TALVIO_FUZZ_CHECK(i + 1 < wide.size() && IsLow(wide[i + 1]));
            ++i;
        } else {
            TALVIO_FUZZ_CHECK(!IsLow(wide[i]));
        }
    }
}

void CheckUtf8(const std::string& bytes) {
    const std::wstring wide = Utf8ToWide(bytes);
    CheckWellFormed(wide);
    TALVIO_FUZZ_CHECK(Utf8ToWide(WideToUtf8(wide)) == wide);
}

void CheckUtf16(const std::uint8_t* data, std::size_t size) {
    std::wstring units;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        units += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    std::wstring expected = units;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (IsHigh(expected[i]) && i + 1 < expected.size() && IsLow(expected[i + 1])) ++i;
        else if (IsHigh(expected[i]) || IsLow(expected[i])) expected[i] = 0xFFFD;
    }
    TALVIO_FUZZ_CHECK(Utf8ToWide(WideToUtf8(units)) == expected);
}

void CheckAnsi(const std::string& bytes) {
    TALVIO_FUZZ_CHECK(WideToAnsi(AnsiToWide(bytes)) == bytes);
}

class Collector : public XmlHandler {
public:
    void startDocument() override {}
    void startElement(const Utf8String&, const XmlAttributes* attributes) override {
        if (const char* v = attributes->find("v")) value = v;
    }
    void characters(const char* text, int length) override { this->text.append(text, length); }
    void endElement(const Utf8String&) override {}
    void endDocument() override {}
    std::string value;
    std::string text;
};

void CheckEscaping(std::string bytes) {
    std::erase(bytes, '\0');  // attribute values end at a NUL
    const Utf8String escaped = Utf8String(bytes.data(), static_cast<int>(bytes.size())).escaped();
    const std::string xml = "<a v=\"" + std::string(escaped.view()) + "\">" +
                            std::string(escaped.view()) + "</a>";
    Collector collector;
    XmlReader reader(collector);
    MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
    reader.parse(input, true, false);  // throws only on a fault: nothing catches it here
    TALVIO_FUZZ_CHECK(collector.value == bytes);
    TALVIO_FUZZ_CHECK(collector.text == bytes);
}

}  // namespace

TALVIO_FUZZ_TARGET(text_convert) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckUtf8(bytes);
    CheckUtf16(data, size);
    CheckAnsi(bytes);
    CheckEscaping(bytes);
    return 0;
}
