#include <windows.h>

#include "directory/lcd_text.h"

namespace talvio {

std::string AnsiBytesForLcd(char16_t codeUnit) {
    const wchar_t wide = static_cast<wchar_t>(codeUnit);
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, 0, &wide, 1, bytes, sizeof bytes, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return {};
    return std::string(bytes, static_cast<std::size_t>(length));
}

}  // namespace talvio
