// Text pixel art for the LCD icon strips. A file holds numbered icons in
// order, each a header line "icon <n> <description>" followed by 16 rows of
// 16 characters, '#' lit and '.' dark; blank lines and lines starting with
// ';' are ignored. Build machine only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::lcdgen {

using IconRows = std::array<std::uint16_t, 16>;  // leftmost pixel in bit 15

// Exactly `count` icons numbered 0 to count - 1, or nothing with `error`
// naming the line at fault.
std::optional<std::vector<IconRows>> ReadIconArt(std::string_view text, int count,
                                                 std::string& error);

// A strip of icons side by side as a bottom-up Windows bitmap file: 1 bit
// per pixel with palette black, white; or 24 bits per pixel, white on black.
std::vector<std::uint8_t> StripBitmap(const std::vector<IconRows>& icons, int bitsPerPixel);

// C++ source defining `name` (an array of LcdIcon) from the icons.
std::string IconSource(const std::vector<IconRows>& icons, const std::string& name);

}  // namespace talvio::lcdgen
