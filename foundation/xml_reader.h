// Push parser for the program's XML files (config.xml, FeeConf.xml,
// locale.xml): elements, attributes, character data, the five predefined
// entities, numeric references (as UTF-8), CDATA; processing
// instructions are skipped. No validation, no namespaces, no nesting check.
// One reader serves one parse on one thread. Malformed input throws a new
// SAXException by pointer; the catcher owns it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "foundation/byte_stream.h"
#include "foundation/utf8_string.h"

namespace talvio {

class SAXException {};

// The attribute block of one start tag, in document order, duplicates kept;
// valid only during startElement. More than kMaxAttributes attributes are
// refused with SAXException, never truncated. Names and values go back to
// back into the pool; an attribute that no longer fits there is kept whole
// in the block's overflow store instead, because the settings writer puts
// texts of any length into one attribute and must read them back.
struct XmlAttributes {
    static constexpr int kMaxAttributes = 20;
    static constexpr int kPoolSize = 1000;  // names and values with their NULs

    std::int32_t count = 0;
    const char* names[kMaxAttributes] = {};
    const char* values[kMaxAttributes] = {};
    char pool[kPoolSize] = {};
    std::deque<std::string> overflow;  // elements never move, so pointers stay valid

    // The value of the first attribute of that name, or nullptr.
    const char* find(const char* name) const;
};

// Names and text arrive as UTF-8 bytes, decoded only for entities. The
// handler is not owned and must outlive the parse.
class XmlHandler {
public:
    virtual void startDocument() = 0;  // just before the first startElement
    virtual void startElement(const Utf8String& name, const XmlAttributes* attributes) = 0;
    virtual void characters(const char* text, int length) = 0;  // NUL at text[length]
    virtual void endElement(const Utf8String& name) = 0;
    virtual void endDocument() = 0;  // after the root's end tag; parsing stops there

protected:
    ~XmlHandler() = default;
};

class XmlReader {
public:
    explicit XmlReader(XmlHandler& handler) : handler_(handler) {}

    // Reads input to its end or to the root's end tag. Throws SAXException*
    // on malformed input; the calls already made to the handler stand.
    void parse(ByteStream& input, bool decodeEntities, bool skipWhitespace);
    // parse() that deletes the exception and returns false on malformed input.
    bool tryParse(ByteStream& input, bool decodeEntities, bool skipWhitespace);

    // The first start tag's name; kept after the parse.
    const Utf8String& rootName() const { return rootName_; }

private:
    int next() { return input_->readByte(); }
    int skipSpace(int c);
    int readWhitespaceRun(int c);
    int readCharacterData(int c);
    void readEntity(int forbidden, std::string& out);
    int readStartTag(int c);
    bool readEndTag();
    void readCdata();
    void skipProcessingInstruction();

    XmlHandler& handler_;
    Utf8String rootName_;
    bool decodeEntities_ = true;
    bool skipWhitespace_ = true;
    ByteStream* input_ = nullptr;
    // Token buffers, reused across tokens; no length limit.
    std::string text_;
    std::string name_;
    std::string attributeName_;
    std::string value_;
    std::string entity_;
};

}  // namespace talvio
