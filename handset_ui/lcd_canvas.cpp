#include "handset_ui/lcd_canvas.h"

#include <algorithm>
#include <cstring>

namespace talvio {

LcdCanvas::LcdCanvas(int width, int height, int chunkWidth, std::vector<int> pageHeights)
    : width_(width < 1 ? kDefaultWidth : width),
      height_(height < 1 ? kDefaultHeight : height),
      chunkWidth_(chunkWidth < 1 ? width_ : chunkWidth),
      chunksPerPage_((width_ + chunkWidth_ - 1) / chunkWidth_),
      dibStride_((width_ + 31) / 32 * 4),
      pageHeights_(std::move(pageHeights)) {
    for (int& rows : pageHeights_) rows = std::clamp(rows, 1, 8);
    dibBits_.assign(static_cast<std::size_t>(dibStride_) * height_, 0);
    pageBytes_.assign(pageHeights_.size() * width_, 0);
    sentBytes_.assign(pageBytes_.size(), 0);
    chunkSkips_.assign(pageHeights_.size() * chunksPerPage_, 0);
}

void LcdCanvas::ClearPixels() { std::fill(dibBits_.begin(), dibBits_.end(), 0); }

void LcdCanvas::SetPixel(int x, int y, bool white) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    std::uint8_t& byte = dibBits_[static_cast<std::size_t>(y) * dibStride_ + x / 8];
    const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
    byte = white ? (byte | mask) : (byte & ~mask);
}

void LcdCanvas::Pack() {
    int top = 0;
    for (std::size_t page = 0; page < pageHeights_.size(); ++page) {
        const int rows = pageHeights_[page];
        std::uint8_t* out = pageBytes_.data() + page * width_;
        std::fill(out, out + width_, 0);
        for (int r = 0; r < rows && top + r < height_; ++r) {
            const std::uint8_t* row = dibBits_.data() + static_cast<std::size_t>(top + r) * dibStride_;
            const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> r);
            // Eight pixels per DIB byte; skipping black bytes makes sparse pictures cheap.
            for (int byteIndex = 0; byteIndex * 8 < width_; ++byteIndex) {
                const std::uint8_t pixels = row[byteIndex];
                if (pixels == 0) continue;
                for (int b = 0; b < 8; ++b) {
                    const int x = byteIndex * 8 + b;
                    if (x < width_ && (pixels & (0x80 >> b))) out[width_ - 1 - x] |= bit;
                }
            }
        }
        top += rows;
    }
}

std::span<const std::uint8_t> LcdCanvas::PageRow(int page) const {
    if (page < 0 || page >= pageCount()) return {};
    return {pageBytes_.data() + static_cast<std::size_t>(page) * width_,
            static_cast<std::size_t>(width_)};
}

std::span<const std::uint8_t> LcdCanvas::GetChunk(int page, int column, int threshold) {
    if (page < 0 || page >= pageCount() || column < 0 || column >= width_) return {};
    const std::size_t offset = static_cast<std::size_t>(page) * width_ + column;
    const std::size_t length = std::min(chunkWidth_, width_ - column);
    std::span<const std::uint8_t> chunk(pageBytes_.data() + offset, length);
    if (threshold <= 0) return chunk;
    int& skips = chunkSkips_[page * chunksPerPage_ + column / chunkWidth_];
    if (std::memcmp(chunk.data(), sentBytes_.data() + offset, length) == 0 && skips < threshold) {
        ++skips;
        return {};
    }
    skips = 0;
    std::memcpy(sentBytes_.data() + offset, chunk.data(), length);
    return chunk;
}

}  // namespace talvio
