// What call control needs of the desktop side: the tray application's
// handset indicator and LED pattern, and the PC-side volume popup. Each
// port has a default that does nothing, used until the tray application
// and the popup exist; tests install recording fakes.
//
// Ports are not owned by the controllers and must outlive them. Main
// thread only.
#pragma once

namespace talvio {

class CallTray {
public:
    static CallTray& None();
    // Kind 1: on, no time limit; 2: on for 120 s (an unlimited one stays
    // unlimited); 3: off after 5 s; 4: off now.
    virtual void SetIndicator(int kind) = 0;
    // 0 off, 1 steady, 2, 3, 4 blinking; the pattern starts with the light on.
    virtual void SetLedBlinkMode(int mode) = 0;

protected:
    ~CallTray() = default;
};

class CallVolumePopup {
public:
    static CallVolumePopup& None();
    // Shows the popup for 5 s.
    virtual void show() = 0;
    // Lets a shown popup fade out now.
    virtual void startFade() = 0;
    // Step the handset speaker volume by 4096 within 0..65535 and show it.
    virtual void volumeUp() = 0;
    virtual void volumeDown() = 0;

protected:
    ~CallVolumePopup() = default;
};

}  // namespace talvio
