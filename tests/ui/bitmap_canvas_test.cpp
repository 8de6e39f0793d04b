// Bitmaps, cells and the layered canvas on the hosted desktop, where DIB
// pixels are plain memory and blits are recorded.
#include <gtest/gtest.h>

#include "resources/program_art.h"
#include "tests/support/desktop_test.h"
#include "tests/ui/support/program_resources.h"
#include "ui/bitmap.h"
#include "ui/layered_canvas.h"
#include "ui/paint_recorder.h"

namespace talvio {
namespace {

namespace recorder = paint::recorder;

void SetPixel24(const paint::BitmapInfo& info, int x, int y, std::uint32_t rgb) {
    std::uint8_t* pixel = info.row(y) + 3 * x;
    pixel[0] = std::uint8_t(rgb);
    pixel[1] = std::uint8_t(rgb >> 8);
    pixel[2] = std::uint8_t(rgb >> 16);
}

TEST(LayeredCanvas, BlitsAndFillsAreClippedToBothPicturesAndSkipTheKeyColour) {
    // A 3 x 2 source: red, white, green over blue, black, 0x010203.
    const paint::UniqueBitmap dib = paint::CreateDibSection(3, 2, 24);
    const paint::BitmapInfo source = paint::GetBitmapInfo(dib.get());
    const std::uint32_t colours[2][3] = {{0xFF0000, 0xFFFFFF, 0x00FF00}, {0x0000FF, 0x000000, 0x010203}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) SetPixel24(source, x, y, colours[y][x]);

    LayeredCanvas canvas;
    ASSERT_TRUE(canvas.resize(4, 3));
    const std::uint32_t ground = 0x11223344;
    canvas.clear(ground);

    // Width -1 and height 99 are cut to the source; the destination starts
    // above and runs off the right: only the source's bottom row lands, at
    // (2, 0) and (3, 0).
    canvas.blit(source, 0, 0, -1, 99, 2, -1, 0x80);
    EXPECT_EQ(canvas.pixels(), (std::vector<std::uint32_t>{ground, ground, 0x800000FF, 0x80000000,
                                                            ground, ground, ground, ground,
                                                            ground, ground, ground, ground}));

    canvas.blit(source, 0, 0, 3, 2, 0, 1, 0xFF);
    EXPECT_EQ(canvas.pixel(0, 1), 0xFFFF0000u);
    EXPECT_EQ(canvas.pixel(1, 1), ground) << "white is the colour key";
    EXPECT_EQ(canvas.pixel(2, 1), 0xFF00FF00u);
    EXPECT_EQ(canvas.pixel(2, 2), 0xFF010203u);

    canvas.setColorKey(false, 0);
    canvas.blit(source, 1, 0, 1, 1, 1, 1, 0xFF);
    EXPECT_EQ(canvas.pixel(1, 1), 0xFFFFFFFFu);

    const std::vector<std::uint32_t> before = canvas.pixels();
    canvas.blit(source, 3, 0, 1, 1, 0, 0, 0xFF);  // origin outside the source
    canvas.blit(source, 0, -1, 1, 1, 0, 0, 0xFF);
    EXPECT_EQ(canvas.pixels(), before);

    canvas.fill(-5, 2, 100, 100, 0xAB);
    canvas.frame(-2, -2, 100, 100, 1, 0xCD);  // clipped first: a 4 x 3 frame
    EXPECT_EQ(canvas.pixels(), (std::vector<std::uint32_t>{0xCD, 0xCD, 0xCD, 0xCD,
                                                            0xCD, 0xFFFFFFFF, 0xFF00FF00, 0xCD,
                                                            0xCD, 0xCD, 0xCD, 0xCD}));
}

class BitmapTest : public testing::DesktopTest {
protected:
    void SetUp() override {
        testing::InstallProgramResources();
        recorder::Clear();
    }
};

TEST_F(BitmapTest, ATransparentBitmapDrawsThroughItsMaskAndCellsCutTheGrid) {
    EXPECT_EQ(Bitmap::load(4242, true), nullptr);
    const std::shared_ptr<Bitmap> speaker = Bitmap::load(art::kSpeakerBitmap, true);
    ASSERT_TRUE(speaker);
    ASSERT_NE(speaker->mask(), nullptr);
    const paint::BitmapInfo image = speaker->info();
    const paint::BitmapInfo mask = paint::GetBitmapInfo(speaker->mask());
    // The white corner is the transparent colour; the cone is not.
    EXPECT_EQ(image.row(0)[0] | image.row(0)[1] | image.row(0)[2], 0);
    EXPECT_EQ(mask.row(0)[0] & mask.row(0)[1] & mask.row(0)[2], 0xFF);
    EXPECT_EQ(mask.row(48)[3 * 40] | mask.row(48)[3 * 40 + 1] | mask.row(48)[3 * 40 + 2], 0);
    EXPECT_EQ(image.row(48)[3 * 40], art::SpeakerImage().at(40, 48) & 0xFF);

    const paint::Dc target = paint::SharedMemoryDc();
    speaker->draw(target, 5, 6);
    ASSERT_EQ(recorder::Blits().size(), 2u);
    EXPECT_EQ(recorder::Blits()[0].sourceBitmap, speaker->mask());
    EXPECT_EQ(recorder::Blits()[0].rop, paint::kSrcAnd);
    EXPECT_EQ(recorder::Blits()[1].sourceBitmap, speaker->image());
    EXPECT_EQ(recorder::Blits()[1].rop, paint::kSrcPaint);
    EXPECT_EQ(recorder::Blits()[1].to.right, 5 + 96);
    EXPECT_EQ(recorder::Blits()[1].to.bottom, 6 + 96);
    EXPECT_EQ(recorder::SelectedBitmap(paint::BitmapDc()), nullptr) << "the DC gets its bitmap back";

    // Two rows of three cells of 96 x 96: cell (1, 2) is 32 x 48 from (64, 48).
    BitmapCell cell;
    cell.select(speaker, 2, 3, 1, 2);
    EXPECT_EQ(cell.source().left, 64);
    EXPECT_EQ(cell.source().top, 48);
    EXPECT_EQ(cell.source().right, 96);
    EXPECT_EQ(cell.source().bottom, 96);
    recorder::Clear();
    cell.draw(target, 0, 0, 10, 20);
    ASSERT_EQ(recorder::Blits().size(), 2u);
    EXPECT_EQ(recorder::Blits()[1].from.left, 64);
    EXPECT_EQ(recorder::Blits()[1].to.bottom, 20);

    cell.select(speaker, 2, 0, 0, 0);
    recorder::Clear();
    cell.draw(target, 0, 0, 10, 20);
    EXPECT_TRUE(recorder::Blits().empty()) << "a grid without columns has no cell";
}

}  // namespace
}  // namespace talvio
