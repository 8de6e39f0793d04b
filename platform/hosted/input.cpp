// Foreground, focus and synthesized keyboard input.
#include <algorithm>

#include "platform/hosted/desktop_state.h"

namespace os::hosted::detail {
namespace {

void MoveToTop(std::vector<std::uintptr_t>& siblings, std::uintptr_t handle) {
    auto it = std::find(siblings.begin(), siblings.end(), handle);
    if (it != siblings.end()) std::rotate(siblings.begin(), it, it + 1);
}

bool IsInside(std::uintptr_t handle, std::uintptr_t root) {
    for (Window* w = FindWindow(ToHwnd(handle)); w; w = FindWindow(ToHwnd(w->parent))) {
        if (w->handle == root) return true;
        if (!w->parent) break;
    }
    return false;
}

}  // namespace
}  // namespace os::hosted::detail

namespace os {

using namespace hosted::detail;

bool SetForegroundWindow(Hwnd window) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    Window* target = FindWindow(window);
    while (target && target->parent) target = FindWindow(ToHwnd(target->parent));
    if (!target || target->messageOnly) return false;
    MoveToTop(d.topLevel, target->handle);
    d.foreground = target->handle;
    if (!d.focus || !IsInside(d.focus, target->handle)) d.focus = target->handle;
    return true;
}

Hwnd GetForegroundWindow() {
    Lock lock(TheDesktop().mutex);
    return ToHwnd(TheDesktop().foreground);
}

bool BringWindowToTop(Hwnd window) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    Window* target = FindWindow(window);
    if (!target) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    MoveToTop(target->parent ? d.windows.at(target->parent)->children
                             : (target->messageOnly ? d.messageOnly : d.topLevel),
              target->handle);
    return true;
}

Hwnd SetFocus(Hwnd window) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const Hwnd previous = ToHwnd(d.focus);
    if (!window) {
        d.focus = 0;
        return previous;
    }
    // The focus can only move to a window of the caller's own input queue.
    Window* target = FindOwnWindow(window);
    if (!target) return nullptr;
    d.focus = target->handle;
    return previous;
}

void keybd_event(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    const bool up = flags & KEYEVENTF_KEYUP;
    d.keyLog.push_back(hosted::KeyEvent{virtualKey, scanCode, flags, d.now, ToHwnd(d.focus),
                                        ToHwnd(d.foreground)});
    if (!d.keyDelivery) return;
    Window* target = FindWindow(ToHwnd(d.focus ? d.focus : d.foreground));
    if (!target) return;
    // Repeat count 1, scan code, extended bit; key-up sets the previous-state
    // and transition bits.
    std::uint32_t bits = 1u | (static_cast<std::uint32_t>(scanCode) << 16);
    if (flags & KEYEVENTF_EXTENDEDKEY) bits |= 1u << 24;
    if (up) bits |= (1u << 30) | (1u << 31);
    PostTo(*target->thread, Msg{ToHwnd(target->handle), up ? WM_KEYUP : WM_KEYDOWN, virtualKey,
                                static_cast<LParam>(static_cast<std::int32_t>(bits)),
                                static_cast<std::uint32_t>(d.now)});
}

bool GetCursorPos(Point& point) {
    Lock lock(TheDesktop().mutex);
    point = TheDesktop().cursor;
    return true;
}

}  // namespace os

namespace os::hosted {

using namespace detail;

std::vector<KeyEvent> KeyLog() {
    Lock lock(TheDesktop().mutex);
    return TheDesktop().keyLog;
}

void ClearKeyLog() {
    Lock lock(TheDesktop().mutex);
    TheDesktop().keyLog.clear();
}

void SetKeyDelivery(bool deliver) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().keyDelivery = deliver;
}

Hwnd GetFocus() {
    Lock lock(TheDesktop().mutex);
    return ToHwnd(TheDesktop().focus);
}

void SetCursorPos(int x, int y) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().cursor = {x, y};
}

}  // namespace os::hosted
