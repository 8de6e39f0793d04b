#include "ui/volume_popup.h"

#include <algorithm>

namespace talvio {
namespace {

constexpr int kMargin = 30;
constexpr int kBarHeight = 30;
constexpr int kBarsAboveBottom = 70;

}  // namespace

void VolumePopup::volumeUp() { change(kVolumeStep); }
void VolumePopup::volumeDown() { change(-static_cast<long long>(kVolumeStep)); }

void VolumePopup::change(long long delta) {
    const long long next = std::clamp<long long>(volume_.read() + delta, 0, kMaxVolume);
    volume_.setAndRemember(static_cast<unsigned>(next));
    refresh();
}

void VolumePopup::createPopup() {
    if (!speakerLoaded_) {
        speaker_ = Bitmap::load(kSpeakerBitmap, false);
        speakerLoaded_ = true;
    }
    LayeredPopup::createPopup();
    refresh();
}

void VolumePopup::refresh() {
    const unsigned volume = volume_.read();
    if (shown_ == volume) return;
    shown_ = volume;
    redraw();
}

void VolumePopup::onTimer(std::uintptr_t timerId) {
    refresh();
    LayeredPopup::onTimer(timerId);
}

void VolumePopup::redraw() {
    LayeredCanvas& picture = drawingCanvas();
    picture.clear(kBackground);
    if (speaker_) {
        const paint::BitmapInfo& info = speaker_->info();
        picture.blit(info, 0, 0, info.width, info.height, (kWidth - info.width) / 2,
                     (kHeight - info.height - kBarsAboveBottom) / 2, 255);
    }
    const long long volume = std::min<long long>(shown_.value_or(0), kMaxVolume);
    const int level = static_cast<int>((volume + 2048) * kBarCount / kMaxVolume);
    const int step = (kWidth - 2 * kMargin) / kBarCount;
    const int barWidth = 2 * step / 3;
    for (int i = 0; i < kBarCount; ++i) {
        const int x = kMargin + i * step;
        picture.fill(x + 1, kHeight - kBarsAboveBottom + 1, barWidth, kBarHeight, kBarShadow);
        picture.fill(x, kHeight - kBarsAboveBottom, barWidth, kBarHeight,
                     i < level ? kBarLit : kBarUnlit);
    }
    present();
}

}  // namespace talvio
