#include "platform/win32/handles.h"

namespace os {

using win32::FromHwnd;
using win32::ToHwnd;

namespace {

Msg FromNative(const MSG& native) {
    return Msg{FromHwnd(native.hwnd), native.message, native.wParam, native.lParam, native.time};
}

MSG ToNative(const Msg& msg) {
    MSG native{};
    native.hwnd = ToHwnd(msg.hwnd);
    native.message = msg.message;
    native.wParam = msg.wParam;
    native.lParam = msg.lParam;
    native.time = msg.time;
    // os::Msg carries no cursor position; the last retrieved message's one
    // is what GetMessage would have filled in.
    const DWORD position = GetMessagePos();
    native.pt.x = static_cast<short>(LOWORD(position));
    native.pt.y = static_cast<short>(HIWORD(position));
    return native;
}

}  // namespace

std::uint32_t RegisterWindowMessage(std::wstring_view name) {
    const std::wstring terminated(name);
    return RegisterWindowMessageW(terminated.c_str());
}

bool PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    return PostMessageW(ToHwnd(window), message, wParam, lParam) != FALSE;
}

bool PostThreadMessage(ThreadId thread, std::uint32_t message, WParam wParam, LParam lParam) {
    return PostThreadMessageW(thread, message, wParam, lParam) != FALSE;
}

LResult SendMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
    return SendMessageW(ToHwnd(window), message, wParam, lParam);
}

bool SendMessageTimeout(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam,
                        std::uint32_t flags, std::uint32_t timeoutMs, LResult* result) {
    DWORD_PTR answer = 0;
    const bool sent = SendMessageTimeoutW(ToHwnd(window), message, wParam, lParam, flags,
                                          timeoutMs, &answer) != 0;
    if (result) *result = sent ? static_cast<LResult>(answer) : 0;
    // A broadcast has no single outcome to report; Win32's own return value
    // for it is not specified.
    return window == kBroadcast || sent;
}

int GetMessage(Msg& msg) {
    MSG native{};
    const int got = GetMessageW(&native, nullptr, 0, 0);
    if (got != -1) msg = FromNative(native);
    return got;
}

bool PeekMessage(Msg& msg, bool remove) {
    MSG native{};
    if (!PeekMessageW(&native, nullptr, 0, 0, remove ? PM_REMOVE : PM_NOREMOVE)) return false;
    msg = FromNative(native);
    return true;
}

bool TranslateMessage(const Msg& msg) {
    const MSG native = ToNative(msg);
    return ::TranslateMessage(&native) != FALSE;
}

LResult DispatchMessage(const Msg& msg) {
    const MSG native = ToNative(msg);
    return DispatchMessageW(&native);
}

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

bool InSendMessage() { return ::InSendMessage() != FALSE; }

bool SetTimer(Hwnd window, std::uintptr_t id, std::uint32_t elapseMs) {
    return ::SetTimer(ToHwnd(window), id, elapseMs, nullptr) != 0;
}

bool KillTimer(Hwnd window, std::uintptr_t id) {
    return ::KillTimer(ToHwnd(window), id) != FALSE;
}

int MessageBox(Hwnd owner, std::wstring_view text, std::wstring_view caption, std::uint32_t type) {
    const std::wstring terminatedText(text);
    const std::wstring terminatedCaption(caption);
    return MessageBoxW(ToHwnd(owner), terminatedText.c_str(), terminatedCaption.c_str(), type);
}

}  // namespace os
