// A wide string of exactly the given UTF-16 code units (wchar_t is 32-bit on
// Linux, so literals cannot be trusted outside ASCII).
#pragma once

#include <initializer_list>
#include <string>

namespace talvio::testing {

inline std::wstring Units(std::initializer_list<unsigned> units) {
    std::wstring out;
    for (unsigned u : units) out += static_cast<wchar_t>(u);
    return out;
}

}  // namespace talvio::testing
