// Driving a client's own windows where its API falls short: keystrokes
// synthesised for its window, which the caller has brought to the
// foreground (each key event followed by a 1 ms pause, so that the client
// sees them apart), and the text of one of its controls. Main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace talvio::client_windows {

inline constexpr std::uint8_t kScanTab = 15;
inline constexpr std::uint8_t kScanControl = 29;
inline constexpr std::uint8_t kScanShift = 42;

void Key(std::uint8_t virtualKey, std::uint8_t scanCode, bool up);
void Tap(std::uint8_t virtualKey, std::uint8_t scanCode);

// The page steps of a client's tabbed window: one Tab, then Ctrl held (and
// Shift for steps < 0) while Tab is pressed |steps| times.
void TabSteps(int steps);

// At most `size` characters of the control's text (WM_GETTEXT, 2000 ms,
// abort if hung); false, and no text, when it does not answer.
bool ReadText(os::Hwnd control, std::wstring& text, int size);

}  // namespace talvio::client_windows
