#include "handset_ui/call/call_ports.h"

namespace talvio {
namespace {

class NoTray final : public CallTray {
public:
    void SetIndicator(int) override {}
    void SetLedBlinkMode(int) override {}
};

class NoPopup final : public CallVolumePopup {
public:
    void show() override {}
    void startFade() override {}
    void volumeUp() override {}
    void volumeDown() override {}
};

}  // namespace

CallTray& CallTray::None() {
    static NoTray tray;
    return tray;
}

CallVolumePopup& CallVolumePopup::None() {
    static NoPopup popup;
    return popup;
}

}  // namespace talvio
