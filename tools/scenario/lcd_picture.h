// The handset's LCD as pictures the scenarios compare: the simulator's
// snapshot (a plain PBM, "P1", '1' lit) and the composed pages of the
// screen's tests (rows of '#' lit and '.' dark, ';' comment lines). Both
// read as 64 rows of 128 '#' or '.'. Plain data; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvio::scenario {

using LcdPicture = std::vector<std::string>;

// The picture in `text` (either form); empty unless it holds 64 rows of 128.
LcdPicture ParseLcdPicture(std::string_view text);

// The part of the LCD compared: rows [top, bottom) and columns [left,
// right) of the shown picture against the expected one moved by (dx, dy),
// where the expected picture's columns outside it count as dark.
struct LcdRegion {
    int top = 0;
    int bottom = 64;
    int left = 0;
    int right = 128;
    int dx = 0;
    int dy = 0;
};

// Parses "rows A B", "columns L R" and "from DX DY" (each optional, in any
// order); false for anything else or a region outside the LCD.
bool ParseLcdRegion(const std::vector<std::string>& words, LcdRegion& region);

// The number of pixels of the region that differ; -1 when a picture is empty.
int CountLcdDifferences(const LcdPicture& shown, const LcdPicture& expected, const LcdRegion& region);

}  // namespace talvio::scenario
