// Bytes into the build-time readers of tools/lcdgen: the PCF font reader
// (first byte odd) and the icon art reader. Every table offset and count
// comes from the input; a glyph's pixels always match its box, and art is
// either refused with a reason or gives exactly the icons asked for.
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_target.h"
#include "tools/lcdgen/icon_art.h"
#include "tools/lcdgen/pcf_reader.h"

TALVIO_FUZZ_TARGET(lcdgen) {
    using namespace talvio::lcdgen;
    if (size < 1) return 0;
    if (data[0] & 1) {
        const auto font = ReadPcf({data + 1, size - 1});
        if (font) {
            for (const auto& [code, glyph] : font->glyphs)
                TALVIO_FUZZ_CHECK(glyph.pixels.size() ==
                                  static_cast<std::size_t>(glyph.width) * glyph.height);
        }
        return 0;
    }
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto icons = ReadIconArt(text, 2, error);
    TALVIO_FUZZ_CHECK(icons ? icons->size() == 2 && error.empty() : !error.empty());
    return 0;
}
