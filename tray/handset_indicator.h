// The handset's indicator light as the tray application runs it: the
// call indicator with its countdown and the LED blink patterns, both
// advanced by the tray window's 500 ms timer 1002. Call control reaches it
// as its CallTray.
//
// Ownership: owned by the tray application, which calls Tick from its
// timer 1002. Threading: main thread only; the light goes through the
// handset link, which locks, and does nothing without a handset.
#pragma once

#include <cstdint>

#include "handset_ui/call/call_ports.h"

namespace talvio {

class HandsetIndicator final : public CallTray {
public:
    static constexpr std::uintptr_t kTimerId = 1002;
    static constexpr std::uint32_t kTickMs = 500;
    // Ticks of the indicator kinds 2 (120 s) and 3 (5 s).
    static constexpr int kAttentionTicks = 240;
    static constexpr int kFadeTicks = 10;

    void SetIndicator(int kind) override;
    void SetLedBlinkMode(int mode) override;
    // One tick of timer 1002: the countdown, then the blink pattern.
    void Tick();

    int BlinkMode() const { return blinkMode_; }
    // Remaining ticks; -1 without a time limit, 0 idle.
    int IndicatorCountdown() const { return indicatorCountdown_; }

private:
    int blinkMode_ = 0;
    int blinkPhase_ = 0;
    int indicatorCountdown_ = 0;
};

}  // namespace talvio
