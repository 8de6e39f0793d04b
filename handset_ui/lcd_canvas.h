// The LCD frame buffer: a 1-bit top-down picture (white = set bit), packed
// into the LCD controller's page layout and handed out in column chunks.
//
// Threading: the picture (dibBits) belongs to the drawing thread. Pack()
// writes pageBytes and GetChunk() reads them; callers that use them from two
// threads serialise both under the device's writeLock.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace talvio {

class LcdCanvas {
public:
    static constexpr int kDefaultWidth = 128;
    static constexpr int kDefaultHeight = 64;

    // A width or height below 1 takes the default; a chunk width below 1
    // becomes the width. Pages heights are clipped to 1..8 rows.
    LcdCanvas(int width, int height, int chunkWidth, std::vector<int> pageHeights);

    int width() const { return width_; }
    int height() const { return height_; }
    int chunkWidth() const { return chunkWidth_; }
    int chunksPerPage() const { return chunksPerPage_; }
    int pageCount() const { return static_cast<int>(pageHeights_.size()); }

    // Rows of dibStride() bytes, the leftmost pixel in bit 7 of a row's first byte.
    std::uint8_t* dibBits() { return dibBits_.data(); }
    const std::uint8_t* dibBits() const { return dibBits_.data(); }
    int dibStride() const { return dibStride_; }
    void ClearPixels();
    void SetPixel(int x, int y, bool white);  // outside the picture: ignored

    // Packs the picture: page p, column x goes to pageBytes[p * width + (width - 1 - x)]
    // (the LCD is mounted turned by 180 degrees), the page's top row in bit 7.
    void Pack();

    // width() bytes of packed page p; empty when p is out of range.
    std::span<const std::uint8_t> PageRow(int page) const;

    // Up to chunkWidth() packed bytes of page p from column c; empty when p
    // or c is out of range. With threshold above 0 an unchanged chunk is
    // withheld (empty) until it has been skipped `threshold` times.
    std::span<const std::uint8_t> GetChunk(int page, int column, int threshold);

private:
    int width_;
    int height_;
    int chunkWidth_;
    int chunksPerPage_;
    int dibStride_;
    std::vector<int> pageHeights_;
    std::vector<std::uint8_t> dibBits_;
    std::vector<std::uint8_t> pageBytes_;
    std::vector<std::uint8_t> sentBytes_;
    std::vector<int> chunkSkips_;
};

}  // namespace talvio
