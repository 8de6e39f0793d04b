// Attribute values of the settings and locale files: texts, and numbers
// read like the C library's atoi/atof. Header-only so the locale table can
// use it without linking settings.
#pragma once

#include <climits>
#include <cstdlib>

#include "foundation/xml_reader.h"

namespace talvio {

// atoi without its undefined overflow: leading blanks, a sign, digits; no
// digits give 0, and values beyond int clamp to INT_MIN or INT_MAX.
inline int DecimalValue(const char* text) {
    if (text == nullptr) return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    const long long value = negative ? -magnitude : magnitude;
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

inline double DecimalFraction(const char* text) {
    return text == nullptr ? 0.0 : std::strtod(text, nullptr);
}

// The first attribute of that name, or null (also for no attribute block).
inline const char* AttributeText(const XmlAttributes* attributes, const char* name) {
    return attributes == nullptr ? nullptr : attributes->find(name);
}

inline int AttributeNumber(const XmlAttributes* attributes, const char* name, int missing) {
    const char* text = AttributeText(attributes, name);
    return text == nullptr ? missing : DecimalValue(text);
}

}  // namespace talvio
