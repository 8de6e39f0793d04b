#include "tray/handset_indicator.h"

#include "handset/handset_link.h"

namespace talvio {
namespace {

constexpr int kUnchanged = -1;

// What tick phase `phase` does to the LED in a pattern: 1 on, 0 off.
// Mode 2 is 0.5 s on / 0.5 s off, mode 3 1 s on / 0.5 s off, mode 4
// 1.5 s on / 1 s off.
struct Pattern {
    int length;
    int phases[5];
};
constexpr Pattern kPatterns[] = {
    {2, {1, 0}},
    {3, {1, 0, kUnchanged}},
    {5, {1, kUnchanged, kUnchanged, 0, kUnchanged}},
};

}  // namespace

void HandsetIndicator::SetIndicator(int kind) {
    switch (kind) {
    case 1:
        indicatorCountdown_ = -1;
        HandsetLink_SetLight(1, 1);
        break;
    case 2:
        if (indicatorCountdown_ >= 0) indicatorCountdown_ = kAttentionTicks;
        HandsetLink_SetLight(1, 1);
        break;
    case 3:
        indicatorCountdown_ = kFadeTicks;
        break;
    case 4:
        indicatorCountdown_ = 0;
        HandsetLink_SetLight(1, 0);
        break;
    default:
        break;
    }
}

void HandsetIndicator::SetLedBlinkMode(int mode) {
    blinkPhase_ = 0;
    blinkMode_ = mode;
    HandsetLink_SetLed(mode != 0 ? 1 : 0);
}

void HandsetIndicator::Tick() {
    if (indicatorCountdown_ > 0 && --indicatorCountdown_ == 0) HandsetLink_SetLight(1, 0);
    if (blinkMode_ < 2 || blinkMode_ > 4) return;
    const Pattern& pattern = kPatterns[blinkMode_ - 2];
    blinkPhase_ = (blinkPhase_ + 1) % pattern.length;
    const int led = pattern.phases[blinkPhase_];
    if (led != kUnchanged) HandsetLink_SetLed(led);
}

}  // namespace talvio
