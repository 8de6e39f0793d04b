// The picture of a layered window: a 32-bit bottom-up DIB section whose
// pixels are ARGB values (alpha in the top byte), drawn by code and shown
// with UpdateLayeredWindow. Its pixels are plain memory, readable on the
// hosted desktop too.
//
// Ownership: owns its DIB. Main thread only (present() uses the shared
// bitmap DC).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "ui/paint.h"

namespace talvio {

class LayeredCanvas {
public:
    // Makes the DIB, new only when the size changes; false when none could
    // be made (the canvas is then empty).
    bool resize(int width, int height);
    int width() const { return info_.width; }
    int height() const { return info_.height; }

    // Row 0 is the top row. Pixels outside the canvas read as 0.
    std::uint32_t pixel(int x, int y) const;
    std::vector<std::uint32_t> pixels() const;  // the top row first

    // Everything is clipped to the canvas.
    void fill(int x, int y, int width, int height, std::uint32_t argb);
    void clear(std::uint32_t argb);
    void frame(int x, int y, int width, int height, int thickness, std::uint32_t argb);

    // Copies the colour of the source's pixels from (sx, sy) to (dx, dy)
    // with alpha `alpha`. Sources other than 24- and 32-bit DIBs, and an
    // origin outside the source, copy nothing; a negative or too large size
    // is cut to the source. With the colour key on, source pixels of the
    // key's colour are skipped and the canvas shows through.
    void blit(const paint::BitmapInfo& source, int sx, int sy, int width, int height, int dx,
              int dy, std::uint8_t alpha);
    void setColorKey(bool on, std::uint32_t key) {
        colorKeyOn_ = on;
        colorKey_ = key;
    }

    // The window takes `area` (screen coordinates) and shows the canvas
    // with its per-pixel alpha times `alpha`. The window must be layered.
    bool present(os::Hwnd window, const os::Rect& area, std::uint8_t alpha) const;

private:
    void store(int x, int y, std::uint32_t argb);

    paint::UniqueBitmap dib_;
    paint::BitmapInfo info_;
    bool colorKeyOn_ = true;
    std::uint32_t colorKey_ = 0xFFFFFFFF;  // white; only the colour bytes count
};

}  // namespace talvio
