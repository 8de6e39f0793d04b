// Random bytes into the XML reader under all four flag combinations. The
// handler reads every byte it is given and checks the call order.
#include <cstring>

#include "foundation/xml_reader.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

using talvio::Utf8String;
using talvio::XmlAttributes;

class TouchingHandler : public talvio::XmlHandler {
public:
    void startDocument() override {
        TALVIO_FUZZ_CHECK(!started_ && elements_ == 0 && !ended_);
        started_ = true;
    }
    // The value and its NUL lie inside the pool or inside one overflow entry.
    static bool InBlock(const XmlAttributes& block, const char* value) {
        const char* end = value + std::strlen(value);
        if (value >= block.pool && end < block.pool + XmlAttributes::kPoolSize) return true;
        for (const std::string& spill : block.overflow) {
            if (value >= spill.data() && end < spill.data() + spill.size()) return true;
        }
        return false;
    }
    void startElement(const Utf8String& name, const XmlAttributes* attributes) override {
        TALVIO_FUZZ_CHECK(started_ && !ended_ && name.length() > 0);
        touch(name);
        TALVIO_FUZZ_CHECK(attributes->count >= 0 && attributes->count <= XmlAttributes::kMaxAttributes);
        for (int i = 0; i < attributes->count; ++i) {
            touch(attributes->names[i], std::strlen(attributes->names[i]) + 1);
            touch(attributes->values[i], std::strlen(attributes->values[i]) + 1);
            TALVIO_FUZZ_CHECK(InBlock(*attributes, attributes->values[i]));
        }
        ++elements_;
    }
    void characters(const char* text, int length) override {
        TALVIO_FUZZ_CHECK(!ended_ && length >= 0);
        touch(text, static_cast<std::size_t>(length) + 1);
        TALVIO_FUZZ_CHECK(text[length] == '\0');
    }
    void endElement(const Utf8String& name) override {
        TALVIO_FUZZ_CHECK(!ended_);
        touch(name);
    }
    void endDocument() override {
        TALVIO_FUZZ_CHECK(started_ && !ended_);
        ended_ = true;
    }

    unsigned sum() const { return sum_; }

private:
    void touch(const char* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) sum_ += static_cast<unsigned char>(bytes[i]);
    }
    void touch(const Utf8String& name) {
        TALVIO_FUZZ_CHECK(name.length() >= 0 && name.c_str()[name.length()] == '\0');
        touch(name.c_str(), static_cast<std::size_t>(name.length()) + 1);
    }

    bool started_ = false;
    bool ended_ = false;
    int elements_ = 0;
    unsigned sum_ = 0;
};

}  // namespace

TALVIO_FUZZ_TARGET(xml_reader) {
    for (int flags = 0; flags < 4; ++flags) {
        TouchingHandler handler;
        talvio::XmlReader reader(handler);
        talvio::MemoryStream input(data, static_cast<int>(size), talvio::MemoryStream::Borrowed);
        try {
            reader.parse(input, (flags & 1) != 0, (flags & 2) != 0);
        } catch (talvio::SAXException* error) {
            delete error;
        }
        volatile unsigned sink = handler.sum();
        (void)sink;
    }
    return 0;
}
