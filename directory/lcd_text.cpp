#include "directory/lcd_text.h"

#include "foundation/text_convert.h"

namespace talvio {

std::string EncodeLcdText(std::string_view utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    std::string bytes;
    bytes.reserve(wide.size());
    for (const wchar_t unit : wide) {
        const auto codeUnit = static_cast<char16_t>(unit);
        if (codeUnit <= 0xFF) {
            bytes.push_back(static_cast<char>(codeUnit));
        } else if (codeUnit >= kFirstTableIdeograph &&
                   codeUnit - kFirstTableIdeograph < kIdeographTableSize) {
            const unsigned char* code = kIdeographTable[codeUnit - kFirstTableIdeograph];
            bytes.push_back(static_cast<char>(code[0]));
            bytes.push_back(static_cast<char>(code[1]));
        } else {
            bytes.append(AnsiBytesForLcd(codeUnit));
        }
    }
    return bytes;
}

}  // namespace talvio
