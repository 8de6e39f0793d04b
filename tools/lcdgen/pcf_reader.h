// Reads X11 PCF bitmap fonts (uncompressed) as Debian ships them in
// xfonts-base and xfonts-wqy: glyph bitmaps with their metrics, by
// encoding (Unicode for the iso10646-1 fonts). Build machine only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace talvio::lcdgen {

struct PcfGlyph {
    int left = 0;     // first bitmap column, relative to the origin
    int ascent = 0;   // bitmap rows above the baseline
    int width = 0;    // bitmap columns
    int height = 0;   // bitmap rows
    int advance = 0;  // pen movement
    std::vector<bool> pixels;  // row-major, width x height, true = ink

    bool Ink(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && pixels[y * width + x];
    }
};

struct PcfFont {
    int ascent = 0;
    int descent = 0;
    std::map<std::uint32_t, PcfGlyph> glyphs;  // by encoding
};

// Nothing when the data is not a well-formed PCF font with metrics,
// bitmaps and encodings; every table offset and count is checked.
std::optional<PcfFont> ReadPcf(std::span<const std::uint8_t> data);

}  // namespace talvio::lcdgen
