#include "platform/win32/handles.h"

namespace os {

using win32::FromHwnd;
using win32::ToHwnd;

namespace {

struct EnumContext {
    const EnumCallback* callback;
    bool stopped = false;
};

BOOL CALLBACK EnumTrampoline(HWND window, LPARAM context) {
    auto* walk = reinterpret_cast<EnumContext*>(context);
    try {
        if ((*walk->callback)(FromHwnd(window))) return TRUE;
    } catch (...) {
        // No exception may unwind through USER32; a throwing callback ends
        // the walk like one that returns false.
    }
    walk->stopped = true;
    return FALSE;
}

// The Enum*Windows return values differ in Win32 (EnumChildWindows' is
// unused, EnumThreadWindows' is FALSE for a thread without windows); the
// seam reports one thing: whether the walk ran to its end.
template <typename Walk>
bool RunWalk(const EnumCallback& callback, Walk walk) {
    EnumContext context{&callback};
    walk(&EnumTrampoline, reinterpret_cast<LPARAM>(&context));
    return !context.stopped;
}

Rect FromNative(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

Hwnd FindWindowEx(Hwnd parent, Hwnd childAfter, const wchar_t* className, const wchar_t* title) {
    return FromHwnd(FindWindowExW(ToHwnd(parent), ToHwnd(childAfter), className, title));
}

bool EnumWindows(const EnumCallback& callback) {
    return RunWalk(callback, [](WNDENUMPROC proc, LPARAM context) {
        ::EnumWindows(proc, context);
    });
}

bool EnumChildWindows(Hwnd parent, const EnumCallback& callback) {
    return RunWalk(callback, [parent](WNDENUMPROC proc, LPARAM context) {
        ::EnumChildWindows(ToHwnd(parent), proc, context);
    });
}

bool EnumThreadWindows(ThreadId thread, const EnumCallback& callback) {
    return RunWalk(callback, [thread](WNDENUMPROC proc, LPARAM context) {
        ::EnumThreadWindows(thread, proc, context);
    });
}

bool IsWindow(Hwnd window) { return ::IsWindow(ToHwnd(window)) != FALSE; }

std::wstring GetClassName(Hwnd window) {
    wchar_t name[257];  // class names are at most 256 characters
    const int length = GetClassNameW(ToHwnd(window), name, 257);
    return std::wstring(name, length > 0 ? length : 0);
}

std::wstring GetWindowText(Hwnd window) {
    const HWND native = ToHwnd(window);
    const int length = GetWindowTextLengthW(native);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    // The length is an upper bound (it may count a DBCS conversion); keep
    // what was copied.
    const int copied = GetWindowTextW(native, text.data(), length + 1);
    text.resize(copied > 0 ? copied : 0);
    return text;
}

bool SetWindowText(Hwnd window, std::wstring_view text) {
    const std::wstring terminated(text);
    return SetWindowTextW(ToHwnd(window), terminated.c_str()) != FALSE;
}

Rect GetWindowRect(Hwnd window) {
    RECT rect{};
    ::GetWindowRect(ToHwnd(window), &rect);
    return FromNative(rect);
}

Rect GetClientRect(Hwnd window) {
    RECT rect{};
    ::GetClientRect(ToHwnd(window), &rect);
    return FromNative(rect);
}

std::uint32_t GetWindowStyle(Hwnd window) {
    return static_cast<std::uint32_t>(GetWindowLongW(ToHwnd(window), GWL_STYLE));
}

std::uint32_t GetWindowExStyle(Hwnd window) {
    return static_cast<std::uint32_t>(GetWindowLongW(ToHwnd(window), GWL_EXSTYLE));
}

bool IsWindowVisible(Hwnd window) { return ::IsWindowVisible(ToHwnd(window)) != FALSE; }
bool IsWindowEnabled(Hwnd window) { return ::IsWindowEnabled(ToHwnd(window)) != FALSE; }
bool IsIconic(Hwnd window) { return ::IsIconic(ToHwnd(window)) != FALSE; }

// Win32's meaning: whether the window was visible before.
bool ShowWindow(Hwnd window, int command) { return ::ShowWindow(ToHwnd(window), command) != FALSE; }

// Win32's meaning: whether the window was disabled before.
bool EnableWindow(Hwnd window, bool enable) {
    return ::EnableWindow(ToHwnd(window), enable) != FALSE;
}

bool MoveWindow(Hwnd window, int x, int y, int width, int height, bool repaint) {
    return ::MoveWindow(ToHwnd(window), x, y, width, height, repaint) != FALSE;
}

bool InvalidateRect(Hwnd window, bool erase) {
    return ::InvalidateRect(ToHwnd(window), nullptr, erase) != FALSE;
}

// Win32's GetParent: for a top-level popup this is its owner.
Hwnd GetParent(Hwnd window) { return FromHwnd(::GetParent(ToHwnd(window))); }
Hwnd GetRootAncestor(Hwnd window) { return FromHwnd(GetAncestor(ToHwnd(window), GA_ROOT)); }
Hwnd GetDesktopWindow() { return FromHwnd(::GetDesktopWindow()); }

ThreadId GetWindowThreadProcessId(Hwnd window, ProcessId* process) {
    DWORD owner = 0;
    const DWORD thread = ::GetWindowThreadProcessId(ToHwnd(window), &owner);
    if (process) *process = owner;
    return thread;
}

std::uintptr_t GetDlgCtrlID(Hwnd window) {
    return static_cast<std::uintptr_t>(::GetDlgCtrlID(ToHwnd(window)));
}

Hwnd GetDlgItem(Hwnd dialog, int id) { return FromHwnd(::GetDlgItem(ToHwnd(dialog), id)); }

bool SetForegroundWindow(Hwnd window) { return ::SetForegroundWindow(ToHwnd(window)) != FALSE; }
Hwnd GetForegroundWindow() { return FromHwnd(::GetForegroundWindow()); }
bool BringWindowToTop(Hwnd window) { return ::BringWindowToTop(ToHwnd(window)) != FALSE; }
Hwnd SetFocus(Hwnd window) { return FromHwnd(::SetFocus(ToHwnd(window))); }

void keybd_event(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    ::keybd_event(virtualKey, scanCode, flags, 0);
}

bool GetCursorPos(Point& point) {
    POINT native{};
    if (!::GetCursorPos(&native)) return false;
    point = {native.x, native.y};
    return true;
}

}  // namespace os
