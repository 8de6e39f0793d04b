// What the LCD model needs of the handset screen it owns. The handset
// screen (handset_ui) implements it and installs its factory with
// HandsetLink_SetScreenFactory; without a factory the LCD model shows a
// blank picture. All calls on the main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace talvio {

class HandsetDevice;
class LcdCanvas;

class LcdScreen {
public:
    virtual ~LcdScreen() = default;
    virtual void Start() = 0;
    // Every 200 ms from the slow timer; now is the tick count.
    virtual void Tick(std::uint32_t now) = 0;
    // Draws the current page into the canvas's picture, cleared to black.
    virtual void Draw(LcdCanvas& canvas) = 0;
    // Caller name text from the hook agent (UTF-16 code units).
    virtual void OnCallerText(const std::wstring& text) = 0;
};

// Creates the screen for `device` (not owned; outlives the screen).
using LcdScreenFactory = std::unique_ptr<LcdScreen> (*)(HandsetDevice& device);

}  // namespace talvio
