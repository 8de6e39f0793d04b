#include "ui/layered_popup.h"

#include <algorithm>

namespace talvio {

void LayeredPopup::show() {
    if (!window()) createPopup();
    if (!window()) return;
    os::ShowWindow(window(), os::SW_SHOW);
    os::SetForegroundWindow(window());
    hideAt_ = os::GetTickCount() + kHoldMs;
    if (hideAt_ == 0) hideAt_ = 1;  // 0 means no hold
    alpha_ = 255;
    os::KillTimer(window(), kFadeTimer);
    redraw();
}

void LayeredPopup::createPopup() {
    const int width = popupWidth();
    const int height = popupHeight();
    canvas_.resize(width, height);
    if (!create(kExStyle, {}, L"", os::WS_POPUP, 0, 0, width, height, nullptr, 0)) return;
    centerOnDesktop(window());
    os::SetTimer(window(), kHoldTimer, kHoldCheckMs);
}

void LayeredPopup::startFade() {
    // Without a window SetTimer would make a thread timer instead.
    if (window()) os::SetTimer(window(), kFadeTimer, kFadeStepMs);
}

int LayeredPopup::popupWidth() const { return 180; }
int LayeredPopup::popupHeight() const { return 120; }

void LayeredPopup::onTimer(std::uintptr_t timerId) {
    if (timerId == kFadeTimer) {
        alpha_ -= kFadeStep;
        if (alpha_ > kHiddenAlpha) {
            present();
            return;
        }
        os::ShowWindow(window(), os::SW_HIDE);
        os::KillTimer(window(), kFadeTimer);
        // The next hold check must not fade a popup that is already gone.
        hideAt_ = 0;
    } else if (timerId == kHoldTimer) {
        const auto sinceDue = static_cast<std::int32_t>(os::GetTickCount() - hideAt_);
        if (window() && hideAt_ != 0 && sinceDue >= 0) startFade();
    } else {
        Window::onTimer(timerId);
    }
}

void LayeredPopup::onLButtonDown(int x, int y, std::uint32_t keys) {
    if (closeClickEnabled_ && x >= closeArea_.left && x < closeArea_.right && y >= closeArea_.top &&
        y < closeArea_.bottom) {
        startFade();
        return;
    }
    Window::onLButtonDown(x, y, keys);
}

os::LResult LayeredPopup::handleMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (message == os::WM_PRINTCLIENT) {
        onPaint(reinterpret_cast<paint::Dc>(wParam));
        return 0;
    }
    return Window::handleMessage(message, wParam, lParam);
}

void LayeredPopup::enableCloseClick(const os::Rect& area) {
    closeArea_ = area;
    closeClickEnabled_ = true;
}

void LayeredPopup::present() {
    if (!window()) return;
    canvas_.present(window(), os::GetWindowRect(window()),
                    static_cast<std::uint8_t>(std::clamp(alpha_, 0, 255)));
}

}  // namespace talvio
