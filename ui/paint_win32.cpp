#include "platform/win32/windows_api.h"

#include <cstdlib>

#include "ui/paint.h"

namespace talvio::paint {
namespace {
HWND Native(os::Hwnd window) { return reinterpret_cast<HWND>(window); }
HDC Native(Dc dc) { return reinterpret_cast<HDC>(dc); }
HBITMAP Native(Bitmap bitmap) { return reinterpret_cast<HBITMAP>(bitmap); }
}  // namespace

void BitmapTraits::Close(Bitmap bitmap) noexcept { DeleteObject(Native(bitmap)); }

struct PaintScope::State {
    HWND window;
    PAINTSTRUCT paint;
    HDC dc;
};

PaintScope::PaintScope(os::Hwnd window) : state_(std::make_unique<State>()) {
    state_->window = Native(window);
    state_->dc = BeginPaint(state_->window, &state_->paint);
}

PaintScope::~PaintScope() { EndPaint(state_->window, &state_->paint); }

Dc PaintScope::dc() const { return reinterpret_cast<Dc>(state_->dc); }

os::Rect PaintScope::rect() const {
    const RECT& r = state_->paint.rcPaint;
    return {r.left, r.top, r.right, r.bottom};
}

UniqueBitmap CreateCompatibleBitmap(os::Hwnd window, int width, int height) {
    HDC windowDc = GetDC(Native(window));
    if (!windowDc) return UniqueBitmap();
    HBITMAP bitmap = ::CreateCompatibleBitmap(windowDc, width, height);
    ReleaseDC(Native(window), windowDc);
    return UniqueBitmap(reinterpret_cast<Bitmap>(bitmap));
}

Dc SharedMemoryDc() {
    static HDC dc = CreateCompatibleDC(nullptr);
    return reinterpret_cast<Dc>(dc);
}

Bitmap SelectBitmap(Dc dc, Bitmap bitmap) {
    return reinterpret_cast<Bitmap>(SelectObject(Native(dc), Native(bitmap)));
}

void FillWhite(Dc dc, const os::Rect& rect) {
    PatBlt(Native(dc), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
           WHITENESS);
}

void CopyArea(Dc target, Dc source, int width, int height) {
    BitBlt(Native(target), 0, 0, width, height, Native(source), 0, 0, SRCCOPY);
}

BitmapInfo GetBitmapInfo(Bitmap bitmap) {
    // GDI may still hold back drawing aimed at a DIB section.
    GdiFlush();
    DIBSECTION section{};
    if (GetObjectW(Native(bitmap), sizeof(section), &section) == sizeof(section)) {
        const BITMAP& record = section.dsBm;
        // dsBm.bmWidthBytes is not the DIB's own stride on every version;
        // DIB rows are padded to four bytes.
        const int stride = (record.bmWidth * record.bmBitsPixel + 31) / 32 * 4;
        return {record.bmWidth, std::abs(record.bmHeight), record.bmBitsPixel, stride,
                section.dsBmih.biHeight < 0, static_cast<std::uint8_t*>(record.bmBits)};
    }
    BITMAP record{};
    if (!GetObjectW(Native(bitmap), sizeof(record), &record)) return {};
    return {record.bmWidth, record.bmHeight, record.bmBitsPixel, record.bmWidthBytes, false, nullptr};
}

UniqueBitmap CreateDibSection(int width, int height, int bitsPerPixel) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    return UniqueBitmap(reinterpret_cast<Bitmap>(bitmap));
}

UniqueBitmap LoadBitmapResource(void* instance, int resourceId) {
    HANDLE image = LoadImageW(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEW(resourceId),
                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_VGACOLOR);
    return UniqueBitmap(reinterpret_cast<Bitmap>(image));
}

Dc BitmapDc() {
    static HDC dc = CreateCompatibleDC(nullptr);
    return reinterpret_cast<Dc>(dc);
}

bool BitBlt(Dc target, int x, int y, int width, int height, Dc source, int sourceX, int sourceY,
            std::uint32_t rop) {
    return ::BitBlt(Native(target), x, y, width, height, Native(source), sourceX, sourceY, rop) !=
           FALSE;
}

bool StretchBlt(Dc target, int x, int y, int width, int height, Dc source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, std::uint32_t rop) {
    return ::StretchBlt(Native(target), x, y, width, height, Native(source), sourceX, sourceY,
                        sourceWidth, sourceHeight, rop) != FALSE;
}

bool UpdateLayeredWindow(os::Hwnd window, const os::Rect& area, Dc source, std::uint8_t alpha) {
    HDC screen = GetDC(nullptr);
    POINT position{area.left, area.top};
    SIZE size{area.right - area.left, area.bottom - area.top};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    const BOOL done = ::UpdateLayeredWindow(Native(window), screen, &position, &size, Native(source),
                                            &origin, 0, &blend, ULW_ALPHA);
    if (screen) ReleaseDC(nullptr, screen);
    return done != FALSE;
}

}  // namespace talvio::paint
