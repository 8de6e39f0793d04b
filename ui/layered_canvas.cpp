#include "ui/layered_canvas.h"

#include <algorithm>
#include <cstring>

namespace talvio {
namespace {

constexpr std::uint32_t kColourBytes = 0x00FFFFFF;

// [start, start + length) within [0, limit), without overflow.
bool Clip(int start, int length, int limit, int& from, int& to) {
    const long long low = std::max<long long>(start, 0);
    const long long high = std::min<long long>(static_cast<long long>(start) + length, limit);
    if (low >= high) return false;
    from = static_cast<int>(low);
    to = static_cast<int>(high);
    return true;
}

}  // namespace

bool LayeredCanvas::resize(int width, int height) {
    if (dib_ && width == info_.width && height == info_.height) return true;
    dib_ = paint::CreateDibSection(width, height, 32);
    info_ = dib_ ? paint::GetBitmapInfo(dib_.get()) : paint::BitmapInfo{};
    if (info_.bits && info_.bitsPerPixel == 32) return true;
    dib_.reset();
    info_ = {};
    return false;
}

std::uint32_t LayeredCanvas::pixel(int x, int y) const {
    if (!info_.bits || x < 0 || y < 0 || x >= info_.width || y >= info_.height) return 0;
    std::uint32_t value;
    std::memcpy(&value, info_.row(y) + 4 * static_cast<std::ptrdiff_t>(x), 4);
    return value;
}

std::vector<std::uint32_t> LayeredCanvas::pixels() const {
    std::vector<std::uint32_t> out;
    out.reserve(static_cast<std::size_t>(width()) * static_cast<std::size_t>(height()));
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) out.push_back(pixel(x, y));
    return out;
}

void LayeredCanvas::store(int x, int y, std::uint32_t argb) {
    std::memcpy(info_.row(y) + 4 * static_cast<std::ptrdiff_t>(x), &argb, 4);
}

void LayeredCanvas::fill(int x, int y, int width, int height, std::uint32_t argb) {
    int left, right, top, bottom;
    if (!info_.bits || !Clip(x, width, info_.width, left, right) ||
        !Clip(y, height, info_.height, top, bottom)) {
        return;
    }
    for (int row = top; row < bottom; ++row)
        for (int column = left; column < right; ++column) store(column, row, argb);
}

void LayeredCanvas::clear(std::uint32_t argb) { fill(0, 0, info_.width, info_.height, argb); }

void LayeredCanvas::frame(int x, int y, int width, int height, int thickness, std::uint32_t argb) {
    int left, right, top, bottom;
    if (!Clip(x, width, info_.width, left, right) || !Clip(y, height, info_.height, top, bottom)) return;
    const int w = right - left;
    const int h = bottom - top;
    fill(left, top, w, thickness, argb);
    fill(left, bottom - thickness, w, thickness, argb);
    fill(left, top, thickness, h, argb);
    fill(right - thickness, top, thickness, h, argb);
}

void LayeredCanvas::blit(const paint::BitmapInfo& source, int sx, int sy, int width, int height,
                         int dx, int dy, std::uint8_t alpha) {
    const int bytes = source.bitsPerPixel / 8;
    if (!info_.bits || !source.bits || (bytes != 3 && bytes != 4)) return;
    if (sx < 0 || sy < 0 || sx >= source.width || sy >= source.height) return;
    if (width < 0 || width > source.width - sx) width = source.width - sx;
    if (height < 0 || height > source.height - sy) height = source.height - sy;
    const std::uint32_t key = colorKey_ & kColourBytes;
    const std::uint32_t opacity = static_cast<std::uint32_t>(alpha) << 24;
    for (int row = 0; row < height; ++row) {
        const long long y = static_cast<long long>(dy) + row;
        if (y < 0 || y >= info_.height) continue;
        const std::uint8_t* from = source.row(sy + row) + static_cast<std::ptrdiff_t>(sx) * bytes;
        for (int column = 0; column < width; ++column, from += bytes) {
            const long long x = static_cast<long long>(dx) + column;
            if (x < 0 || x >= info_.width) continue;
            const std::uint32_t colour = from[0] | (from[1] << 8) | (std::uint32_t(from[2]) << 16);
            if (colorKeyOn_ && colour == key) continue;
            store(static_cast<int>(x), static_cast<int>(y), opacity | colour);
        }
    }
}

bool LayeredCanvas::present(os::Hwnd window, const os::Rect& area, std::uint8_t alpha) const {
    if (!dib_) return false;
    const paint::Dc dc = paint::BitmapDc();
    paint::BitmapSelection selection(dc, dib_.get());
    return paint::UpdateLayeredWindow(window, area, dc, alpha);
}

}  // namespace talvio
