// Painting and invalidation, observed through the hosted paint recorder.
#include "tests/support/desktop_test.h"
#include "ui/paint_recorder.h"
#include "ui/window.h"

namespace talvio {
namespace {

namespace recorder = paint::recorder;

class PaintProbe : public Window {
public:
    explicit PaintProbe(bool doubleBuffered) { doubleBuffered_ = doubleBuffered; }
    bool create() { return Window::create(0, {}, L"paint", 0, 0, 0, 120, 80, nullptr, 0); }
    paint::Bitmap backBuffer() const { return backBuffer_.get(); }

    void onPaint(paint::Dc dc) override {
        paintedOn.push_back(dc);
        selectedWhilePainting = recorder::SelectedBitmap(dc);
        rectWhilePainting = paintRect_;
    }
    os::Rect paintRect() const { return paintRect_; }

    std::vector<paint::Dc> paintedOn;
    paint::Bitmap selectedWhilePainting = nullptr;
    os::Rect rectWhilePainting{};
};

class WindowPainting : public testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        recorder::Clear();
    }
};

TEST_F(WindowPainting, PlainWindowPaintsStraightOnThePaintDc) {
    PaintProbe probe(false);
    ASSERT_TRUE(probe.create());
    os::SendMessage(probe.window(), os::WM_PAINT, 0, 0);
    ASSERT_EQ(probe.paintedOn.size(), 1u);
    EXPECT_NE(probe.paintedOn[0], paint::SharedMemoryDc());
    EXPECT_TRUE(recorder::Copies().empty());
    EXPECT_EQ(recorder::OpenPaintScopes(), 0) << "EndPaint for every BeginPaint";
    EXPECT_EQ(probe.paintRect().right, 0) << "paintRect is cleared after painting";
}

TEST_F(WindowPainting, DoubleBufferedWindowPaintsIntoTheBackBufferAndCopiesIt) {
    const int bitmapsBefore = recorder::LiveBitmaps();
    {
        PaintProbe probe(true);
        ASSERT_TRUE(probe.create());
        const os::Rect client = os::GetClientRect(probe.window());
        const int width = client.right - client.left;
        const int height = client.bottom - client.top;

        os::SendMessage(probe.window(), os::WM_PAINT, 0, 0);
        ASSERT_EQ(probe.paintedOn.size(), 1u);
        const paint::Dc memory = paint::SharedMemoryDc();
        EXPECT_EQ(probe.paintedOn[0], memory);
        ASSERT_NE(probe.backBuffer(), nullptr) << "made on first paint";
        EXPECT_EQ(probe.selectedWhilePainting, probe.backBuffer());
        EXPECT_EQ(recorder::BitmapSize(probe.backBuffer()).right, width);
        EXPECT_EQ(recorder::SelectedBitmap(memory), nullptr) << "the previous bitmap is restored";
        ASSERT_EQ(recorder::WhiteFills().size(), 1u);
        EXPECT_EQ(recorder::WhiteFills()[0].right, probe.rectWhilePainting.right);
        ASSERT_EQ(recorder::Copies().size(), 1u);
        EXPECT_EQ(recorder::Copies()[0].source, memory);
        EXPECT_EQ(recorder::Copies()[0].sourceBitmap, probe.backBuffer());
        EXPECT_EQ(recorder::Copies()[0].width, width);
        EXPECT_EQ(recorder::Copies()[0].height, height);

        os::MoveWindow(probe.window(), 0, 0, 300, 200, true);
        os::SendMessage(probe.window(), os::WM_SIZE, 0, (200 << 16) | 300);
        const os::Rect resized = os::GetClientRect(probe.window());
        ASSERT_NE(probe.backBuffer(), nullptr);
        EXPECT_EQ(recorder::BitmapSize(probe.backBuffer()).right, resized.right - resized.left);
        EXPECT_EQ(recorder::BitmapSize(probe.backBuffer()).bottom, resized.bottom - resized.top);
        EXPECT_EQ(recorder::LiveBitmaps(), bitmapsBefore + 1) << "the old back buffer is deleted";
    }
    EXPECT_EQ(recorder::LiveBitmaps(), bitmapsBefore) << "the window owns its back buffer";
}

TEST_F(WindowPainting, InvalidateAsksForARepaint) {
    PaintProbe plain(false);
    ASSERT_TRUE(plain.create());
    const int before = os::hosted::InvalidationCount(plain.window());
    plain.invalidate();
    EXPECT_EQ(os::hosted::InvalidationCount(plain.window()), before + 1);
}

}  // namespace
}  // namespace talvio
