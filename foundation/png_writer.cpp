#include "foundation/png_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace talvio {
namespace {

constexpr std::size_t kStoredBlockLimit = 65535;

std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              const std::vector<std::uint8_t>& data) {
    PutBig32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored blocks.
std::vector<std::uint8_t> Store(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(kStoredBlockLimit, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(std::uint8_t(length));
        out.push_back(std::uint8_t(length >> 8));
        out.push_back(std::uint8_t(~length));
        out.push_back(std::uint8_t(~length >> 8));
        out.insert(out.end(), raw.begin() + std::ptrdiff_t(offset),
                   raw.begin() + std::ptrdiff_t(offset + length));
        offset += length;
    } while (offset < raw.size());
    PutBig32(out, Adler32(raw));
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint32_t> argb) {
    if (width <= 0 || height <= 0 || argb.size() != std::size_t(width) * std::size_t(height)) return {};
    std::vector<std::uint8_t> raw;
    raw.reserve(std::size_t(height) * (1 + 4 * std::size_t(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = argb[std::size_t(y) * std::size_t(width) + std::size_t(x)];
            raw.push_back(std::uint8_t(pixel >> 16));
            raw.push_back(std::uint8_t(pixel >> 8));
            raw.push_back(std::uint8_t(pixel));
            raw.push_back(std::uint8_t(pixel >> 24));
        }
    }
    std::vector<std::uint8_t> header;
    PutBig32(header, std::uint32_t(width));
    PutBig32(header, std::uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no filter, no interlace

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Store(raw));
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace talvio
