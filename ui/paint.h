// The painting services the window framework needs (BeginPaint/EndPaint,
// bitmaps compatible with a window, the shared memory DC and two blits).
// The Windows build draws with GDI; the hosted build only records, so
// windows stay testable without a screen. Main thread only.
#pragma once

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
void FillWhite(Dc dc, const os::Rect& rect);
void CopyArea(Dc target, Dc source, int width, int height);  // origin (0, 0) on both

}  // namespace talvio::paint
