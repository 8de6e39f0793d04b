// Encodes a picture as a PNG file: 8-bit RGBA without filtering, the image
// data in stored (uncompressed) deflate blocks, so no compression library is
// needed. Meant for pictures of the program's own windows. Any thread.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace talvio {

// `argb` holds width x height pixels as 0xAARRGGBB, the top row first.
// Returns no bytes when the sizes do not match or are not positive.
std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint32_t> argb);

}  // namespace talvio
