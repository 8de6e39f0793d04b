#include "ui/bitmap.h"

#include <cstring>

#include "ui/module_instance.h"

namespace talvio {
namespace {

constexpr std::uint8_t kMaskWhite = 0xFF;

// The transparent colour's pixels become black in the image and white in
// the mask; every other mask pixel is black.
bool MaskOut(const paint::BitmapInfo& image, const paint::BitmapInfo& mask) {
    const int bytes = image.bitsPerPixel / 8;
    if ((bytes != 3 && bytes != 4) || !image.bits || !mask.bits) return false;
    std::uint8_t key[3];
    std::memcpy(key, image.row(0), 3);
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* pixel = image.row(y);
        std::uint8_t* maskPixel = mask.row(y);
        for (int x = 0; x < image.width; ++x, pixel += bytes, maskPixel += 3) {
            const bool transparent = std::memcmp(pixel, key, 3) == 0;
            if (transparent) std::memset(pixel, 0, 3);
            std::memset(maskPixel, transparent ? kMaskWhite : 0, 3);
        }
    }
    return true;
}

}  // namespace

Bitmap::Bitmap(paint::UniqueBitmap image, paint::UniqueBitmap mask, const paint::BitmapInfo& info)
    : image_(std::move(image)), mask_(std::move(mask)), info_(info) {}

std::shared_ptr<Bitmap> Bitmap::load(int resourceId, bool transparent) {
    paint::UniqueBitmap image = paint::LoadBitmapResource(ModuleInstance(), resourceId);
    if (!image) return nullptr;
    const paint::BitmapInfo info = paint::GetBitmapInfo(image.get());
    paint::UniqueBitmap mask;
    if (transparent) {
        mask = paint::CreateDibSection(info.width, info.height, 24);
        if (mask && !MaskOut(info, paint::GetBitmapInfo(mask.get()))) mask.reset();
    }
    return std::shared_ptr<Bitmap>(new Bitmap(std::move(image), std::move(mask), info));
}

void Bitmap::draw(paint::Dc dc, int x, int y) const {
    const os::Rect whole{0, 0, info_.width, info_.height};
    blit(dc, {x, y, x + info_.width, y + info_.height}, whole, false);
}

void Bitmap::blit(paint::Dc dc, const os::Rect& to, const os::Rect& from, bool stretch) const {
    const paint::Dc source = paint::BitmapDc();
    auto copy = [&](paint::Bitmap bitmap, std::uint32_t rop) {
        paint::BitmapSelection selection(source, bitmap);
        const int width = to.right - to.left;
        const int height = to.bottom - to.top;
        if (stretch) {
            paint::StretchBlt(dc, to.left, to.top, width, height, source, from.left, from.top,
                              from.right - from.left, from.bottom - from.top, rop);
        } else {
            paint::BitBlt(dc, to.left, to.top, width, height, source, from.left, from.top, rop);
        }
    };
    if (mask_) {
        copy(mask_.get(), paint::kSrcAnd);
        copy(image_.get(), paint::kSrcPaint);
    } else {
        copy(image_.get(), paint::kSrcCopy);
    }
}

void BitmapCell::select(std::shared_ptr<Bitmap> bitmap, int rows, int columns, int row, int column) {
    bitmap_.reset();
    source_ = {};
    if (!bitmap || rows <= 0 || columns <= 0 || row < 0 || row >= rows || column < 0 ||
        column >= columns) {
        return;
    }
    const int width = bitmap->info().width / columns;
    const int height = bitmap->info().height / rows;
    source_ = {column * width, row * height, (column + 1) * width, (row + 1) * height};
    bitmap_ = std::move(bitmap);
}

void BitmapCell::draw(paint::Dc dc, int x, int y, int width, int height) const {
    if (bitmap_) bitmap_->blit(dc, {x, y, x + width, y + height}, source_, true);
}

}  // namespace talvio
