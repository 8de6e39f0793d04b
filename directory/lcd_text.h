// Texts shown on the handset's LCD are bytes: code units up to 255 as one
// byte, CJK ideographs as their GBK code, other characters through the
// system ANSI code page when it has them. Any thread.
#pragma once

#include <string>
#include <string_view>

namespace talvio {

std::string EncodeLcdText(std::string_view utf8);

// The two bytes (first byte first) the LCD table holds for U+4E00..U+9FFF.
// Built from the build machine's GBK conversion.
inline constexpr char16_t kFirstTableIdeograph = 0x4E00;
inline constexpr int kIdeographTableSize = 20992;
extern const unsigned char kIdeographTable[kIdeographTableSize][2];

// The system ANSI code page's bytes for one UTF-16 code unit, or empty when
// it has no mapping (the conversion would need the default character).
std::string AnsiBytesForLcd(char16_t codeUnit);

}  // namespace talvio
