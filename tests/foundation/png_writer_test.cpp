// Our PNG files, read back with libpng (which checks every CRC and the
// zlib stream's checksum).
#include "foundation/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

namespace talvio {
namespace {

std::vector<std::uint32_t> Decode(const std::vector<std::uint8_t>& file, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
    image.format = PNG_FORMAT_BGRA;  // on a little-endian machine: 0xAARRGGBB words
    std::vector<std::uint32_t> pixels(std::size_t(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    *width = int(image.width);
    *height = int(image.height);
    return pixels;
}

TEST(PngWriter, LibpngReadsBackEveryPixelOfAPictureSpanningSeveralStoredBlocks) {
    // 200 x 90 RGBA is 72 090 bytes of image data: two stored blocks.
    const int width = 200;
    const int height = 90;
    std::vector<std::uint32_t> argb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            argb.push_back(0xFF000000u | std::uint32_t(x) << 16 | std::uint32_t(y) << 8 |
                           std::uint32_t((x * 7 + y) & 0xFF));
    argb[0] = 0x80FF0000;  // half-transparent red, not premultiplied
    argb.back() = 0x00000000;

    int readWidth = 0;
    int readHeight = 0;
    EXPECT_EQ(Decode(EncodePng(width, height, argb), &readWidth, &readHeight), argb);
    EXPECT_EQ(readWidth, width);
    EXPECT_EQ(readHeight, height);

    EXPECT_TRUE(EncodePng(width, height + 1, argb).empty()) << "sizes that do not match the pixels";
    EXPECT_TRUE(EncodePng(0, 0, {}).empty());
}

}  // namespace
}  // namespace talvio
