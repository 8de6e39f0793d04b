// The overlay that shows the speaker volume while the user turns it with
// the handset's wheel: the speaker picture (bitmap 164) over a row of 16
// bars on translucent dark blue. The handset's wheel keys call show() and
// then volumeUp() or volumeDown(); other call events call startFade().
//
// Ownership: the program makes one and keeps it for the whole run; the
// speaker volume is not owned and outlives it. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "ui/bitmap.h"
#include "ui/layered_popup.h"
#include "ui/speaker_volume.h"

namespace talvio {

class VolumePopup final : public LayeredPopup {
public:
    static constexpr int kSpeakerBitmap = 164;
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 200;
    static constexpr int kBarCount = 16;
    static constexpr unsigned kVolumeStep = 4096;
    static constexpr unsigned kMaxVolume = 65535;
    static constexpr std::uint32_t kBackground = 0x41001164;
    static constexpr std::uint32_t kBarLit = 0xFF80FF80;
    static constexpr std::uint32_t kBarUnlit = 0xFFFFFFFF;
    static constexpr std::uint32_t kBarShadow = 0xFF808080;

    explicit VolumePopup(SpeakerVolume& volume) : volume_(volume) {}

    // One step of 4096 up or down, kept within 0-65535, remembered as the
    // volume to restore after a ring.
    void volumeUp();
    void volumeDown();

    void createPopup() override;
    void redraw() override;
    int popupWidth() const override { return kWidth; }
    int popupHeight() const override { return kHeight; }
    void onTimer(std::uintptr_t timerId) override;

private:
    void refresh();
    void change(long long delta);

    SpeakerVolume& volume_;
    std::shared_ptr<Bitmap> speaker_;
    bool speakerLoaded_ = false;
    std::optional<unsigned> shown_;
};

}  // namespace talvio
