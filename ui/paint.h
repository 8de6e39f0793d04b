// The painting services the window framework and the popups need
// (BeginPaint/EndPaint, bitmaps compatible with a window, DIB sections and
// bitmap resources, the two shared memory DCs, blits, layered-window
// updates). The Windows build draws with GDI; the hosted build only
// records, so windows stay testable without a screen. Pixels of DIB
// sections are real memory on both. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/unique.h"

namespace talvio::paint {

struct DcTag;
using Dc = DcTag*;
struct BitmapTag;
using Bitmap = BitmapTag*;

struct BitmapTraits {
    using Type = Bitmap;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type bitmap) noexcept;
};
using UniqueBitmap = os::Unique<BitmapTraits>;

// One BeginPaint/EndPaint bracket around the handling of WM_PAINT. The
// window must outlive the scope.
class PaintScope {
public:
    explicit PaintScope(os::Hwnd window);
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope();

    Dc dc() const;
    os::Rect rect() const;  // the rectangle to repaint

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A bitmap compatible with the window's DC, owned by the caller; null on failure.
UniqueBitmap CreateCompatibleBitmap(os::Hwnd window, int width, int height);

// The one memory DC compatible with the desktop that all double-buffered
// painting shares; made on first use, lives for the whole process.
Dc SharedMemoryDc();

Bitmap SelectBitmap(Dc dc, Bitmap bitmap);  // returns the bitmap it replaced

// Selects a bitmap into a DC for a scope and restores the previous one,
// also when drawing throws.
class BitmapSelection {
public:
    BitmapSelection(Dc dc, Bitmap bitmap) : dc_(dc), previous_(SelectBitmap(dc, bitmap)) {}
    BitmapSelection(const BitmapSelection&) = delete;
    BitmapSelection& operator=(const BitmapSelection&) = delete;
    ~BitmapSelection() { SelectBitmap(dc_, previous_); }

private:
    Dc dc_;
    Bitmap previous_;
};
void FillWhite(Dc dc, const os::Rect& rect);
void CopyArea(Dc target, Dc source, int width, int height);  // origin (0, 0) on both

// The BITMAP record of a bitmap, with the stride its rows really have.
// bits is null for a bitmap whose pixels GDI keeps to itself.
struct BitmapInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int stride = 0;        // bytes from one row to the next in memory
    bool topDown = false;  // otherwise the first row in memory is the bottom one
    std::uint8_t* bits = nullptr;

    // Row y counted from the top of the picture; y must lie within it.
    std::uint8_t* row(int y) const {
        return bits + static_cast<std::ptrdiff_t>(topDown ? y : height - 1 - y) * stride;
    }
};
// Any drawing GDI still holds back is done first, so the bits are current.
BitmapInfo GetBitmapInfo(Bitmap bitmap);

// A bottom-up DIB section without compression (24 or 32 bits per pixel),
// its pixels zero; null on failure.
UniqueBitmap CreateDibSection(int width, int height, int bitsPerPixel);
// LoadImageW(instance, resourceId, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION |
// LR_VGACOLOR): a DIB section of the resource's own depth; null when missing.
UniqueBitmap LoadBitmapResource(void* instance, int resourceId);

// The memory DC shared by the drawing of bitmaps, apart from SharedMemoryDc;
// made on first use, lives for the whole process.
Dc BitmapDc();

inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;
inline constexpr std::uint32_t kSrcAnd = 0x008800C6;
inline constexpr std::uint32_t kSrcPaint = 0x00EE0086;
bool BitBlt(Dc target, int x, int y, int width, int height, Dc source, int sourceX, int sourceY,
            std::uint32_t rop);
bool StretchBlt(Dc target, int x, int y, int width, int height, Dc source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, std::uint32_t rop);

// UpdateLayeredWindow from the screen DC: the window takes `area` (screen
// coordinates) and shows `source` from its origin, per-pixel alpha
// (AC_SRC_ALPHA) times the constant `alpha`. The window must be layered.
bool UpdateLayeredWindow(os::Hwnd window, const os::Rect& area, Dc source, std::uint8_t alpha);

}  // namespace talvio::paint
