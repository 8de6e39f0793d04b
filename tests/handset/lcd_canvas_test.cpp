#include "handset_ui/lcd_canvas.h"

#include <gtest/gtest.h>

#include "handset/handset_protocol.h"

namespace talvio {
namespace {

LcdCanvas MakeCanvas() { return LcdCanvas(128, 64, 11, std::vector<int>(8, 8)); }

TEST(LcdCanvas, DefaultsAndGeometry) {
    LcdCanvas canvas(0, -3, 11, std::vector<int>(8, 8));
    EXPECT_EQ(canvas.width(), 128);
    EXPECT_EQ(canvas.height(), 64);
    EXPECT_EQ(canvas.dibStride(), 16);
    EXPECT_EQ(canvas.chunksPerPage(), 12);
    EXPECT_EQ(canvas.pageCount(), 8);
}

TEST(LcdCanvas, TopLeftDotEndsInLastByteOfPageZeroAndDeviceColumn131) {
    LcdCanvas canvas = MakeCanvas();
    canvas.SetPixel(0, 0, true);
    canvas.Pack();
    const auto page0 = canvas.PageRow(0);
    EXPECT_EQ(page0[127], 0x80);
    for (int i = 0; i < 127; ++i) EXPECT_EQ(page0[i], 0) << i;
    const auto report = BuildLcdChunkReport(16, 7 - 0, 121, page0);
    EXPECT_EQ(report[3], 7);
    EXPECT_EQ(report[4], 121);
    EXPECT_EQ(report[5 + (131 - 121)], 0x80);  // device column 131
}

TEST(LcdCanvas, RowsMapToBitsAndColumnsAreMirrored) {
    LcdCanvas canvas = MakeCanvas();
    canvas.SetPixel(127, 63, true);  // bottom-right: page 7, byte 0, bit 0
    canvas.SetPixel(5, 10, true);    // page 1, byte 122, bit 7 - 2
    canvas.SetPixel(200, 10, true);  // outside: ignored
    canvas.Pack();
    EXPECT_EQ(canvas.PageRow(7)[0], 0x01);
    EXPECT_EQ(canvas.PageRow(1)[122], 0x20);
    canvas.SetPixel(5, 10, false);
    canvas.Pack();
    EXPECT_EQ(canvas.PageRow(1)[122], 0x00);
    canvas.ClearPixels();
    canvas.Pack();
    EXPECT_EQ(canvas.PageRow(7)[0], 0x00);
    EXPECT_TRUE(canvas.PageRow(8).empty());
}

TEST(LcdCanvas, ShortPageKeepsItsTopRowInBitSeven) {
    LcdCanvas canvas(16, 12, 8, {8, 4});
    canvas.SetPixel(0, 8, true);
    canvas.SetPixel(0, 11, true);
    canvas.Pack();
    EXPECT_EQ(canvas.PageRow(1)[15], 0x80 | 0x10);
}

TEST(LcdCanvas, ChunksWithoutChangeDetectionAlwaysComeAndClipAtTheEdge) {
    LcdCanvas canvas = MakeCanvas();
    canvas.Pack();
    EXPECT_EQ(canvas.GetChunk(0, 0, 0).size(), 11u);
    EXPECT_EQ(canvas.GetChunk(0, 0, 0).size(), 11u);
    EXPECT_EQ(canvas.GetChunk(7, 121, 0).size(), 7u);
    EXPECT_TRUE(canvas.GetChunk(8, 0, 0).empty());
    EXPECT_TRUE(canvas.GetChunk(-1, 0, 0).empty());
    EXPECT_TRUE(canvas.GetChunk(0, 128, 0).empty());
    EXPECT_TRUE(canvas.GetChunk(0, -1, 0).empty());
}

TEST(LcdCanvas, ChangeDetectionWithholdsUnchangedChunksUpToTheThreshold) {
    LcdCanvas canvas = MakeCanvas();
    canvas.Pack();
    // Unchanged since construction: withheld twice, then sent again.
    EXPECT_TRUE(canvas.GetChunk(2, 11, 2).empty());
    EXPECT_TRUE(canvas.GetChunk(2, 11, 2).empty());
    EXPECT_EQ(canvas.GetChunk(2, 11, 2).size(), 11u);
    EXPECT_TRUE(canvas.GetChunk(2, 11, 2).empty());
    // A change is handed out at once and remembered.
    canvas.SetPixel(127 - 12, 16, true);  // page 2, byte 12
    canvas.Pack();
    const auto changed = canvas.GetChunk(2, 11, 2);
    ASSERT_EQ(changed.size(), 11u);
    EXPECT_EQ(changed[1], 0x80);
    EXPECT_TRUE(canvas.GetChunk(2, 11, 2).empty());
    // Other chunks count their own skips.
    EXPECT_TRUE(canvas.GetChunk(2, 22, 2).empty());
}

}  // namespace
}  // namespace talvio
