// A topmost, translucent popup with per-pixel alpha (a layered window fed
// by UpdateLayeredWindow from its canvas). show() puts it up at full
// opacity; it stays for the hold time and then fades out in steps by itself.
//
// Ownership: owns its canvas and its window, which is made on the first
// show() and lives as long as the object. Main thread only: the hold and
// the fade run on the window's timers, the time comes from os::GetTickCount.
#pragma once

#include <cstdint>

#include "ui/layered_canvas.h"
#include "ui/window.h"

namespace talvio {

class LayeredPopup : public Window {
public:
    static constexpr std::uintptr_t kHoldTimer = 1001;
    static constexpr std::uintptr_t kFadeTimer = 1002;
    static constexpr std::uint32_t kHoldCheckMs = 1000;
    static constexpr std::uint32_t kFadeStepMs = 100;
    static constexpr std::uint32_t kHoldMs = 5000;
    static constexpr int kFadeStep = 30;
    static constexpr int kHiddenAlpha = 15;  // a fade reaching this hides the window
    static constexpr std::uint32_t kExStyle =
        os::WS_EX_LAYERED | os::WS_EX_TOOLWINDOW | os::WS_EX_TRANSPARENT | os::WS_EX_TOPMOST;

    // Makes the window when there is none, shows it in front at full
    // opacity, restarts the hold time (also while fading) and redraws.
    void show();

    // The virtual operations after Window's, in this order.
    // The canvas at the popup's size and the window centred on the desktop,
    // with the hold check every second.
    virtual void createPopup();
    // Starts the fade-out steps.
    virtual void startFade();
    // Draws the canvas and presents it.
    virtual void redraw() = 0;
    virtual int popupWidth() const;   // 180
    virtual int popupHeight() const;  // 120

    void onTimer(std::uintptr_t timerId) override;
    void onLButtonDown(int x, int y, std::uint32_t keys) override;
    os::LResult handleMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) override;

    // A click in `area` (client coordinates) starts the fade.
    void enableCloseClick(const os::Rect& area);

    const LayeredCanvas& canvas() const { return canvas_; }
    int alpha() const { return alpha_; }

protected:
    LayeredCanvas& drawingCanvas() { return canvas_; }
    // The canvas at the window's place with the current fade level.
    void present();

private:
    LayeredCanvas canvas_;
    std::uint32_t hideAt_ = 0;  // tick count; 0 while no hold runs
    int alpha_ = 0;
    os::Rect closeArea_;
    bool closeClickEnabled_ = false;
};

}  // namespace talvio
