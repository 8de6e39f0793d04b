// Push parser for the program's XML files (config.xml, FeeConf.xml,
// locale.xml). One reader serves one parse on one thread. Malformed input
// throws a new SAXException by pointer; the catcher owns it.
#pragma once

#include <cstdint>

#include "foundation/byte_stream.h"
#include "foundation/utf8_string.h"

namespace talvio {

class SAXException {};

// The attribute block of one start tag; valid only during startElement.
struct XmlAttributes {
    static constexpr int kMaxAttributes = 20;
    static constexpr int kPoolSize = 1000;

    std::int32_t count = 0;
    const char* names[kMaxAttributes] = {};
    const char* values[kMaxAttributes] = {};
    char pool[kPoolSize] = {};

    // The value of the first attribute of that name, or nullptr.
    const char* find(const char* name) const;
};

class XmlHandler {
public:
    virtual void startDocument() = 0;
    virtual void startElement(const Utf8String& name, const XmlAttributes* attributes) = 0;
    virtual void characters(const char* text, int length) = 0;
    virtual void endElement(const Utf8String& name) = 0;
    virtual void endDocument() = 0;

protected:
    ~XmlHandler() = default;
};

class XmlReader {
public:
    explicit XmlReader(XmlHandler& handler) : handler_(handler) {}

    void parse(ByteStream& input, bool decodeEntities, bool skipWhitespace);
    const Utf8String& rootName() const { return rootName_; }

private:
    XmlHandler& handler_;
    Utf8String rootName_;
    bool decodeEntities_ = true;
    bool skipWhitespace_ = true;
};

}  // namespace talvio
