#include "directory/lcd_text.h"

#include "foundation/text_convert.h"

namespace talvio {

// The hosted code page has no default-character report; a character it
// lacks does not survive the round trip.
std::string AnsiBytesForLcd(char16_t codeUnit) {
    const std::wstring wide(1, static_cast<wchar_t>(codeUnit));
    std::string bytes = WideToAnsi(wide);
    if (bytes.empty() || AnsiToWide(bytes) != wide) return {};
    return bytes;
}

}  // namespace talvio
