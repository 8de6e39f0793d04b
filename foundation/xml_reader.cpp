#include "foundation/xml_reader.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "foundation/text_convert.h"

namespace talvio {
namespace {

// Character classes on byte values, "C" locale.
bool IsSpace(int c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }
bool IsAlpha(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsNameStart(int c) { return IsAlpha(c) || c == '_' || c == ':'; }
bool IsNameChar(int c) {
    return IsAlpha(c) || (c >= '0' && c <= '9') || c == '-' || c == ':' || c == '_';
}

[[noreturn]] void Fail() { throw new SAXException; }

// Appends name and value to the block; too many attributes are refused.
void AddAttribute(XmlAttributes& attributes, int& used, const std::string& name,
                  const std::string& value) {
    if (attributes.count >= XmlAttributes::kMaxAttributes) Fail();
    const std::size_t needed = name.size() + 1 + value.size() + 1;
    char* slot;
    if (needed <= static_cast<std::size_t>(XmlAttributes::kPoolSize - used)) {
        slot = attributes.pool + used;
        used += static_cast<int>(needed);
    } else {
        std::string& spill = attributes.overflow.emplace_back(needed, '\0');
        slot = spill.data();
    }
    std::memcpy(slot, name.c_str(), name.size() + 1);
    std::memcpy(slot + name.size() + 1, value.c_str(), value.size() + 1);
    attributes.names[attributes.count] = slot;
    attributes.values[attributes.count] = slot + name.size() + 1;
    ++attributes.count;
}

// "#233" or "#xE9" (the text between "&" and ";"): the character's UTF-8
// bytes. Digits that do not all parse, and numbers that are no character
// (0, a surrogate, beyond U+10FFFF), are malformed.
void AppendCharacterReference(std::string_view reference, std::string& out) {
    const bool hex = reference.size() >= 2 && (reference[1] == 'x' || reference[1] == 'X');
    const std::string_view digits = reference.substr(hex ? 2 : 1);
    std::uint32_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, hex ? 16 : 10);
    if (error != std::errc() || stop != end) Fail();
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) Fail();
    AppendUtf8(out, static_cast<char32_t>(value));
}

}  // namespace

const char* XmlAttributes::find(const char* name) const {
    if (!name) return nullptr;
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(names[i], name) == 0) return values[i];
    }
    return nullptr;
}

bool XmlReader::tryParse(ByteStream& input, bool decodeEntities, bool skipWhitespace) {
    try {
        parse(input, decodeEntities, skipWhitespace);
        return true;
    } catch (SAXException* error) {
        delete error;
        return false;
    }
}

void XmlReader::parse(ByteStream& input, bool decodeEntities, bool skipWhitespace) {
    decodeEntities_ = decodeEntities;
    skipWhitespace_ = skipWhitespace;
    input_ = &input;
    // A reused reader must see its new root, not the last parse's.
    rootName_ = Utf8String();

    int c;
    do {
        c = next();
        if (c == -1) return;
    } while (c != '<');

    while (c != -1) {
        if (IsSpace(c)) c = readWhitespaceRun(c);
        if (c == -1) return;
        if (c != '<') {
            c = readCharacterData(c);
            continue;
        }
        c = next();
        if (c == -1) return;
        if (c == '?') {
            skipProcessingInstruction();
            c = next();
        } else if (c == '!') {
            readCdata();
            c = next();
        } else if (c == '/') {
            if (readEndTag()) return;
            c = next();
        } else if (IsNameStart(c)) {
            c = readStartTag(c);
        } else {
            Fail();
        }
    }
}

int XmlReader::skipSpace(int c) {
    while (IsSpace(c)) c = next();
    return c;
}

int XmlReader::readWhitespaceRun(int c) {
    text_.clear();
    while (IsSpace(c)) {
        if (!skipWhitespace_) text_ += static_cast<char>(c);
        c = next();
    }
    if (!text_.empty()) handler_.characters(text_.c_str(), static_cast<int>(text_.size()));
    return c;
}

int XmlReader::readCharacterData(int c) {
    text_.clear();
    while (c != '<' && c != -1) {
        if (c == '&' && decodeEntities_) readEntity('<', text_);
        else text_ += static_cast<char>(c);
        c = next();
    }
    handler_.characters(text_.c_str(), static_cast<int>(text_.size()));
    return c;
}

void XmlReader::readEntity(int forbidden, std::string& out) {
    entity_.clear();
    for (int c = next(); c != ';'; c = next()) {
        if (c == forbidden || c == -1) Fail();
        entity_ += static_cast<char>(c);
    }
    if (entity_ == "amp") out += '&';
    else if (entity_ == "apos") out += '\'';
    else if (entity_ == "quot") out += '"';
    else if (entity_ == "lt") out += '<';
    else if (entity_ == "gt") out += '>';
    else if (!entity_.empty() && entity_[0] == '#')
        AppendCharacterReference(entity_, out);
    else
        Fail();
}

// Returns the byte after the tag, for the main loop.
int XmlReader::readStartTag(int c) {
    name_.clear();
    while (IsNameChar(c)) {
        name_ += static_cast<char>(c);
        c = next();
    }
    if (c == -1) return -1;
    const Utf8String name(name_.data(), static_cast<int>(name_.size()));
    if (rootName_.isEmpty()) {
        rootName_ = name;
        handler_.startDocument();
    }

    XmlAttributes attributes;
    int used = 0;
    for (;;) {
        c = skipSpace(c);
        if (c == -1) return -1;
        if (c == '>') {
            handler_.startElement(name, &attributes);
            return next();
        }
        if (c == '/') {
            c = next();
            if (c == -1) return -1;
            if (c != '>') Fail();
            handler_.startElement(name, &attributes);
            handler_.endElement(name);
            return next();
        }

        attributeName_.clear();
        while (IsNameChar(c)) {
            attributeName_ += static_cast<char>(c);
            c = next();
        }
        c = skipSpace(c);
        // Not an attribute after all: drop the tag, consuming this byte.
        if (c != '=') return c == -1 ? -1 : next();

        c = skipSpace(next());
        if (c == -1) return -1;
        if (c != '\'' && c != '"') Fail();
        const int quote = c;
        value_.clear();
        for (c = next(); c != quote && c != -1; c = next()) {
            if (c == '&' && decodeEntities_) readEntity(quote, value_);
            else value_ += static_cast<char>(c);
        }
        AddAttribute(attributes, used, attributeName_, value_);
        if (c == -1) return -1;
        c = next();
    }
}

// Returns true when the root element ended.
bool XmlReader::readEndTag() {
    name_.clear();
    int c = next();
    for (; c != '>' && c != -1; c = next()) name_ += static_cast<char>(c);
    // A cut-off end tag is not reported: a truncated file must not look complete.
    if (c == -1) return false;
    const Utf8String name(name_.data(), static_cast<int>(name_.size()));
    handler_.endElement(name);
    if (rootName_.isEmpty() || !name.equals(rootName_)) return false;
    handler_.endDocument();
    return true;
}

void XmlReader::readCdata() {
    for (const char* expected = "[CDATA["; *expected; ++expected) {
        if (next() != static_cast<unsigned char>(*expected)) Fail();
    }
    text_.clear();
    int c = next();
    if (c == -1) Fail();
    for (; c != -1; c = next()) {
        const std::size_t n = text_.size();
        if (c == '>' && n >= 2 && text_[n - 1] == ']' && text_[n - 2] == ']') {
            text_.resize(n - 2);
            break;
        }
        text_ += static_cast<char>(c);
    }
    handler_.characters(text_.c_str(), static_cast<int>(text_.size()));
}

void XmlReader::skipProcessingInstruction() {
    int previous = 0;
    for (int c = next(); c != -1; c = next()) {
        if (c == '>' && previous == '?') return;
        previous = c;
    }
}

}  // namespace talvio
