#include "settings/registry.h"

namespace talvio {

RegistryValue StringValue(std::wstring_view text, bool withTerminator) {
    RegistryValue value{kRegSz, {}};
    value.data.reserve((text.size() + 1) * 2);
    auto append = [&](std::uint32_t unit) {
        value.data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        value.data.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
    };
    for (wchar_t unit : text) append(static_cast<std::uint32_t>(unit));
    if (withTerminator) append(0);
    return value;
}

RegistryValue DwordValue(std::uint32_t number) {
    return RegistryValue{kRegDword,
                         {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                          static_cast<std::uint8_t>(number >> 16),
                          static_cast<std::uint8_t>(number >> 24)}};
}

std::wstring TextOf(const RegistryValue& value) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(value.data[i] | (value.data[i + 1] << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

}  // namespace talvio
