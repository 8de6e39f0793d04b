#include "connectors/client_windows.h"

#include <vector>

namespace talvio::client_windows {

void Key(std::uint8_t virtualKey, std::uint8_t scanCode, bool up) {
    os::keybd_event(virtualKey, scanCode, up ? os::KEYEVENTF_KEYUP : 0);
    os::Sleep(1);
}

void Tap(std::uint8_t virtualKey, std::uint8_t scanCode) {
    Key(virtualKey, scanCode, false);
    Key(virtualKey, scanCode, true);
}

void TabSteps(int steps) {
    Tap(os::VK_TAB, kScanTab);
    if (steps == 0) return;
    Key(os::VK_CONTROL, kScanControl, false);
    if (steps < 0) Key(os::VK_SHIFT, kScanShift, false);
    for (int i = 0; i < (steps > 0 ? steps : -steps); ++i) Tap(os::VK_TAB, kScanTab);
    if (steps < 0) Key(os::VK_SHIFT, kScanShift, true);
    Key(os::VK_CONTROL, kScanControl, true);
}

bool ReadText(os::Hwnd control, std::wstring& text, int size) {
    text.clear();
    if (size <= 0) return false;
    std::vector<wchar_t> buffer(static_cast<std::size_t>(size) + 1, L'\0');
    os::LResult copied = 0;
    if (!os::SendMessageTimeout(control, os::WM_GETTEXT, buffer.size(),
                                reinterpret_cast<os::LParam>(buffer.data()), os::SMTO_ABORTIFHUNG, 2000,
                                &copied)) {
        return false;
    }
    // Trust the terminator within our buffer, not the reported count.
    buffer.back() = L'\0';
    text.assign(buffer.data());
    return true;
}

}  // namespace talvio::client_windows
