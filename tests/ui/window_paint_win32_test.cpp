// Double-buffered painting through real GDI under Wine.
#include "ui/window.h"

#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

namespace talvio {
namespace {

class BufferedProbe : public Window {
public:
    BufferedProbe() { doubleBuffered_ = true; }
    bool create() { return Window::create(0, {}, L"buffered", WS_POPUP | WS_VISIBLE, 0, 0, 64, 32, nullptr, 0); }
    HBITMAP backBuffer() const { return reinterpret_cast<HBITMAP>(backBuffer_.get()); }

    void onPaint(paint::Dc dc) override {
        HDC native = reinterpret_cast<HDC>(dc);
        selected = static_cast<HBITMAP>(GetCurrentObject(native, OBJ_BITMAP));
        cornerBefore = GetPixel(native, 0, 0);
        rect = paintRect_;
        ++paints;
    }

    HBITMAP selected = nullptr;
    COLORREF cornerBefore = CLR_INVALID;
    int paints = 0;
    os::Rect rect{};
};

TEST(WindowPaintWin32, DoubleBufferedWindowPaintsOnItsWhitenedBackBuffer) {
    BufferedProbe probe;
    ASSERT_TRUE(probe.create());
    HWND window = reinterpret_cast<HWND>(probe.window());
    InvalidateRect(window, nullptr, FALSE);
    SendMessageW(window, WM_PAINT, 0, 0);

    ASSERT_EQ(probe.paints, 1);
    ASSERT_NE(probe.backBuffer(), nullptr);
    EXPECT_EQ(probe.selected, probe.backBuffer());
    EXPECT_EQ(probe.cornerBefore, RGB(255, 255, 255))
        << "the paint rectangle starts white; it was " << probe.rect.left << "," << probe.rect.top
        << "-" << probe.rect.right << "," << probe.rect.bottom;

    BITMAP info = {};
    ASSERT_NE(GetObjectW(probe.backBuffer(), sizeof(info), &info), 0);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(info.bmWidth, client.right);
    EXPECT_EQ(info.bmHeight, client.bottom);

    HDC memory = reinterpret_cast<HDC>(paint::SharedMemoryDc());
    EXPECT_NE(GetCurrentObject(memory, OBJ_BITMAP), probe.backBuffer())
        << "the memory DC gets its previous bitmap back";
}

}  // namespace
}  // namespace talvio
