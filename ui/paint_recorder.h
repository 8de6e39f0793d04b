// What the hosted paint backend did, for tests of painting code. Hosted
// builds only; main thread only.
#pragma once

#include <vector>

#include "ui/paint.h"

namespace talvio::paint::recorder {

struct Copy {
    Dc target;
    Dc source;
    Bitmap sourceBitmap;  // selected in the source at the time of the copy
    int width;
    int height;
};

struct Blit {
    Dc target;
    Dc source;
    Bitmap sourceBitmap;  // selected in the source at the time of the blit
    os::Rect to;          // left, top, right, bottom
    os::Rect from;
    std::uint32_t rop;
};

struct LayeredUpdate {
    os::Hwnd window;
    os::Rect area;
    Bitmap source;  // selected in the source DC at the time of the update
    std::uint8_t alpha;
};

int LiveBitmaps();
os::Rect BitmapSize(Bitmap bitmap);  // {0, 0, width, height}
Bitmap SelectedBitmap(Dc dc);
const std::vector<os::Rect>& WhiteFills();
const std::vector<Copy>& Copies();
const std::vector<Blit>& Blits();  // BitBlt and StretchBlt
const std::vector<LayeredUpdate>& LayeredUpdates();
int OpenPaintScopes();
void Clear();  // forgets fills, copies, blits and updates; bitmaps stay alive

}  // namespace talvio::paint::recorder
