// A picture of the volume popup as the driver draws it, made by the same
// popup code in this process from the speaker volume the system mixer
// reports (the one the driver's wheel steps set), so that nothing in the
// shipped program has to hand its pixels out. Main thread only.
#pragma once

#include <string>

namespace talvio::scenario {

struct PopupPicture {
    bool written = false;
    unsigned volume = 0;  // as the mixer read it (32768 when it cannot be read)
};

// Writes the PNG to `path`.
PopupPicture WriteVolumePopupPicture(const std::wstring& path);

}  // namespace talvio::scenario
