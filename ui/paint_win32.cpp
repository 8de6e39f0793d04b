#include "platform/win32/windows_api.h"

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

}  // namespace talvio::paint
