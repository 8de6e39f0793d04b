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

int LiveBitmaps();
os::Rect BitmapSize(Bitmap bitmap);  // {0, 0, width, height}
Bitmap SelectedBitmap(Dc dc);
const std::vector<os::Rect>& WhiteFills();
const std::vector<Copy>& Copies();
int OpenPaintScopes();
void Clear();  // forgets fills and copies; bitmaps stay alive

}  // namespace talvio::paint::recorder
