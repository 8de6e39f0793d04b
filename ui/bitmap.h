// Bitmaps of the program's resources, and cells of a grid cut from one.
//
// Ownership: a Bitmap owns its image and mask; holders share it through
// std::shared_ptr and the last one deletes them. A BitmapCell shares the
// bitmap it was given. Main thread only: drawing goes through the shared
// bitmap DC.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "ui/paint.h"

namespace talvio {

class Bitmap {
public:
    // Bitmap resource `resourceId` of the program's module as a DIB section;
    // null when it is missing. With `transparent`, the colour of the pixel
    // at (0, 0) is the transparent colour: the mask is white there and black
    // elsewhere, and those pixels of the image become black. Only 24- and
    // 32-bit images get a mask; others draw opaque.
    static std::shared_ptr<Bitmap> load(int resourceId, bool transparent);

    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // At full size: with a mask, the mask ANDed and then the image ORed;
    // otherwise the image copied.
    void draw(paint::Dc dc, int x, int y) const;

    const paint::BitmapInfo& info() const { return info_; }  // of the image
    paint::Bitmap image() const { return image_.get(); }
    paint::Bitmap mask() const { return mask_.get(); }

private:
    friend class BitmapCell;
    Bitmap(paint::UniqueBitmap image, paint::UniqueBitmap mask, const paint::BitmapInfo& info);
    void blit(paint::Dc dc, const os::Rect& to, const os::Rect& from, bool stretch) const;

    paint::UniqueBitmap image_;
    paint::UniqueBitmap mask_;
    paint::BitmapInfo info_;
};

class BitmapCell {
public:
    // Cell (row, column) of the bitmap divided into rows x columns equal
    // cells. A grid without rows or columns, or a cell outside it, leaves
    // the cell empty.
    void select(std::shared_ptr<Bitmap> bitmap, int rows, int columns, int row, int column);
    // The cell stretched to width x height at (x, y), masked as Bitmap::draw.
    void draw(paint::Dc dc, int x, int y, int width, int height) const;

    const os::Rect& source() const { return source_; }  // in the bitmap; empty when none

private:
    std::shared_ptr<Bitmap> bitmap_;
    os::Rect source_;
};

}  // namespace talvio
