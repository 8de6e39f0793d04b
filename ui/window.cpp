#include "ui/window.h"

#include <exception>

#include "foundation/trace_log.h"
#include "ui/control_texts.h"
#include "ui/module_instance.h"
#include "ui/system_cursor.h"

namespace talvio {
namespace {

// The last framework window that saw WM_MOUSEMOVE; it is told when the
// mouse moves on to another one.
Window* lastHovered = nullptr;

constexpr int kTraceLevel = 3;

os::LParam MakeLParam(int low, int high) {
    return static_cast<os::LParam>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(low)) |
                                   (static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16));
}

os::WParam MakeWParam(int low, int high) {
    return static_cast<os::WParam>(static_cast<std::uint32_t>(MakeLParam(low, high)));
}

int SignedLow(os::LParam value) { return static_cast<std::int16_t>(os::LoWord(value)); }
int SignedHigh(os::LParam value) { return static_cast<std::int16_t>(os::HiWord(value)); }

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

void AppendHex(std::wstring& text, std::uintptr_t value) {
    wchar_t digits[2 * sizeof(value)];
    int count = 0;
    do {
        digits[count++] = L"0123456789abcdef"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0) text.push_back(digits[--count]);
}

std::wstring GeneratedClassName(std::uint32_t style, std::uintptr_t cursor,
                                std::uintptr_t background, std::uintptr_t icon) {
    std::wstring name = L"Qmx:";
    AppendHex(name, reinterpret_cast<std::uintptr_t>(ModuleInstance()));
    name += L':';
    AppendHex(name, style);
    if (cursor != 0 || background != 0 || icon != 0) {
        for (std::uintptr_t part : {cursor, background, icon}) {
            name += L':';
            AppendHex(name, part);
        }
    }
    return name;
}

void TraceEscapedException(const char* where, std::uint32_t message, const char* what) {
    TraceLog::global().trace(kTraceLevel, "%s (message 0x%X) threw: %s", where,
                             static_cast<unsigned>(message), what);
}

}  // namespace

Window::~Window() {
    if (lastHovered == this) lastHovered = nullptr;
    if (bound_) os::DestroyWindow(bound_);
    // A window that could not be destroyed must not keep pointing at us.
    unbind();
}

bool Window::create(std::uint32_t exStyle, std::wstring_view className, std::wstring_view title,
                    std::uint32_t style, int x, int y, int width, int height, os::Hwnd parent,
                    std::uintptr_t menuOrId) {
    // A second window would be left pointing at this object after it is gone.
    if (bound_) return false;
    const std::wstring classText(className);
    const std::wstring titleText(title);
    os::CreateStruct createStruct;
    createStruct.lpCreateParams = this;
    createStruct.hInstance = ModuleInstance();
    createStruct.hMenu = menuOrId;
    createStruct.hwndParent = parent;
    createStruct.cy = height;
    createStruct.cx = width;
    createStruct.y = y;
    createStruct.x = x;
    createStruct.style = style;
    createStruct.lpszName = titleText.c_str();
    createStruct.lpszClass = classText.empty() ? nullptr : classText.c_str();
    createStruct.dwExStyle = exStyle;

    if (!preCreate(createStruct)) {
        onCreateFailed();
        return false;
    }
    if (createStruct.lpCreateParams != this) {
        creationParam_ = createStruct.lpCreateParams;
        createStruct.lpCreateParams = this;
    }
    const std::wstring_view finalClass =
        createStruct.lpszClass ? std::wstring_view(createStruct.lpszClass) : std::wstring_view();
    const std::wstring_view finalTitle =
        createStruct.lpszName ? std::wstring_view(createStruct.lpszName) : std::wstring_view();
    os::Hwnd created = os::CreateWindowEx(createStruct.dwExStyle, finalClass, finalTitle,
                                          createStruct.style, createStruct.x, createStruct.y,
                                          createStruct.cx, createStruct.cy,
                                          createStruct.hwndParent, createStruct.hMenu, this);
    if (created && os::IsWindow(created)) {
        if (!window_) bind(created);
        adopt();
    }
    return window_ != nullptr;
}

bool Window::preCreate(os::CreateStruct& createStruct) {
    if (createStruct.lpszClass && createStruct.lpszClass[0] != 0) return true;
    if (registerClass(kDefaultClassName, kDefaultClassStyle, ArrowCursor(), kWindowBackground, 0)
            .empty()) {
        return false;
    }
    createStruct.lpszClass = kDefaultClassName.data();
    return true;
}

void Window::localizeChildren() {
    if (!window_) return;
    os::EnumChildWindows(window_, [](os::Hwnd child) {
        try {
            const std::wstring className = os::GetClassName(child);
            if (!EqualsIgnoringAsciiCase(className, L"Button") &&
                !EqualsIgnoringAsciiCase(className, L"Static")) {
                return true;
            }
            if (auto text = LookUpControlText(static_cast<int>(os::GetDlgCtrlID(child)))) {
                os::SetWindowText(child, *text);
            }
        } catch (const std::exception& error) {
            TraceEscapedException("localizeChildren", os::WM_SETTEXT, error.what());
        } catch (...) {
            TraceEscapedException("localizeChildren", os::WM_SETTEXT, "unknown exception");
        }
        return true;
    });
}

os::LResult Window::handleMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    return defaultHandling(message, wParam, lParam);
}

os::LResult Window::onCreate(os::CreateStruct* createStruct) {
    return defaultHandling(os::WM_CREATE, 0, reinterpret_cast<os::LParam>(createStruct));
}

void Window::onSize(std::uint32_t type, int cx, int cy) {
    defaultHandling(os::WM_SIZE, type, MakeLParam(cx, cy));
}

void Window::onDestroy() {
    defaultHandling(os::WM_DESTROY, 0, 0);
    window_ = nullptr;
}

void Window::onPaint(paint::Dc) {}

void Window::onLButtonDown(int x, int y, std::uint32_t keys) {
    defaultHandling(os::WM_LBUTTONDOWN, keys, MakeLParam(x, y));
}

void Window::onLButtonUp(int x, int y, std::uint32_t keys) {
    defaultHandling(os::WM_LBUTTONUP, keys, MakeLParam(x, y));
}

void Window::onLButtonDblClk(int x, int y, std::uint32_t keys) {
    defaultHandling(os::WM_LBUTTONDBLCLK, keys, MakeLParam(x, y));
}

void Window::onMouseMove(int x, int y, std::uint32_t keys) {
    defaultHandling(os::WM_MOUSEMOVE, keys, MakeLParam(x, y));
}

void Window::onVScroll(int code, int position, os::Hwnd control) {
    defaultHandling(os::WM_VSCROLL, MakeWParam(code, position), reinterpret_cast<os::LParam>(control));
}

void Window::onHScroll(int code, int position, os::Hwnd control) {
    defaultHandling(os::WM_HSCROLL, MakeWParam(code, position), reinterpret_cast<os::LParam>(control));
}

void Window::onKeyDown(std::uint32_t virtualKey, int repeat, std::uint32_t flags) {
    defaultHandling(os::WM_KEYDOWN, virtualKey, MakeLParam(repeat, static_cast<int>(flags)));
}

void Window::onKeyUp(std::uint32_t virtualKey, int repeat, std::uint32_t flags) {
    defaultHandling(os::WM_KEYUP, virtualKey, MakeLParam(repeat, static_cast<int>(flags)));
}

void Window::onChar(std::uint32_t character, int repeat, std::uint32_t flags) {
    defaultHandling(os::WM_CHAR, character, MakeLParam(repeat, static_cast<int>(flags)));
}

os::LResult Window::onCommand(os::WParam wParam, os::LParam lParam) {
    return defaultHandling(os::WM_COMMAND, wParam, lParam);
}

os::LResult Window::onPaintMessage() {
    // An adopted control draws itself; painting over it here would leave it blank.
    if (previousProc_) return defaultHandling(os::WM_PAINT, 0, 0);

    paint::PaintScope scope(bound_);
    paintRect_ = scope.rect();
    const os::Rect client = os::GetClientRect(bound_);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (doubleBuffered_ && !backBuffer_) backBuffer_ = paint::CreateCompatibleBitmap(bound_, width, height);
    if (doubleBuffered_ && backBuffer_) {
        const paint::Dc memory = paint::SharedMemoryDc();
        paint::BitmapSelection selection(memory, backBuffer_.get());
        paint::FillWhite(memory, paintRect_);
        onPaint(memory);
        paint::CopyArea(scope.dc(), memory, width, height);
    } else {
        onPaint(scope.dc());
    }
    paintRect_ = {};
    return 0;
}

// WM_TIMER's lParam is a TIMERPROC that DefWindowProc would call; the
// framework's timers have none, so the rebuilt message carries none either.
void Window::onTimer(std::uintptr_t timerId) { defaultHandling(os::WM_TIMER, timerId, 0); }

void Window::onMouseLeave() {}

void Window::onCreateFailed() {}

void Window::invalidate() {
    if (window_) os::InvalidateRect(window_, !doubleBuffered_);
}

void Window::enable(bool enabled) {
    if (!window_) return;
    os::EnableWindow(window_, enabled);
    os::EnumChildWindows(window_, [enabled](os::Hwnd child) {
        os::EnableWindow(child, enabled);
        return true;
    });
}

bool Window::moveTo(int x, int y, int width, int height) {
    return window_ && os::MoveWindow(window_, x, y, width, height, true);
}

void Window::centerOnDesktop(os::Hwnd window) {
    centerOver(window, os::GetDesktopWindow());
}

void Window::centerOver(os::Hwnd window, os::Hwnd other) {
    if (!window) return;
    os::Rect area = os::GetWindowRect(os::GetDesktopWindow());
    if (other && os::IsWindow(other) && !os::IsIconic(other)) {
        const os::Rect candidate = os::GetWindowRect(other);
        if (candidate.right > candidate.left && candidate.bottom > candidate.top) area = candidate;
    }
    const os::Rect own = os::GetWindowRect(window);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    os::MoveWindow(window, x, y, width, height, true);
}

std::wstring Window::registerClass(std::wstring_view name, std::uint32_t style,
                                   std::uintptr_t cursor, std::uintptr_t background,
                                   std::uintptr_t icon) {
    std::wstring className =
        name.empty() ? GeneratedClassName(style, cursor, background, icon) : std::wstring(name);
    if (os::GetClassInfo(className)) return className;
    os::WindowClass windowClass;
    windowClass.style = style;
    windowClass.proc = &Window::windowProcedure;
    windowClass.instance = ModuleInstance();
    windowClass.icon = icon;
    windowClass.cursor = cursor;
    windowClass.background = background;
    windowClass.name = className;
    if (os::RegisterClass(windowClass) == 0) return std::wstring();
    return className;
}

os::LResult Window::windowProcedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                    os::LParam lParam) {
    try {
        if (message == os::WM_CREATE && lParam != 0) {
            auto* createStruct = reinterpret_cast<os::CreateStruct*>(lParam);
            if (auto* object = static_cast<Window*>(createStruct->lpCreateParams)) object->bind(window);
        }
        auto* object = static_cast<Window*>(os::GetUserData(window));
        if (!object) return os::DefWindowProc(window, message, wParam, lParam);
        return object->dispatch(message, wParam, lParam);
    } catch (const std::exception& error) {
        TraceEscapedException("Window handler", message, error.what());
    } catch (...) {
        TraceEscapedException("Window handler", message, "unknown exception");
    }
    // A failed WM_CREATE handler makes the creation fail rather than leave a half-made window.
    return message == os::WM_CREATE ? -1 : 0;
}

os::LResult Window::defaultHandling(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (defaultsToDialogManager_ || !bound_) return 0;
    if (previousProc_) return os::CallWindowProc(previousProc_, bound_, message, wParam, lParam);
    return os::DefWindowProc(bound_, message, wParam, lParam);
}

bool Window::dispatchCommon(std::uint32_t message, os::WParam wParam, os::LParam lParam,
                            os::LResult& result) {
    switch (message) {
    case os::WM_DESTROY:
        if (lastHovered == this) lastHovered = nullptr;
        onDestroy();
        break;
    case os::WM_SIZE:
        if (doubleBuffered_) replaceBackBuffer();
        onSize(static_cast<std::uint32_t>(wParam), os::LoWord(lParam), os::HiWord(lParam));
        break;
    case os::WM_PAINT:
        result = onPaintMessage();
        return true;
    case os::WM_KEYDOWN:
        onKeyDown(static_cast<std::uint32_t>(wParam), os::LoWord(lParam), os::HiWord(lParam));
        break;
    case os::WM_KEYUP:
        onKeyUp(static_cast<std::uint32_t>(wParam), os::LoWord(lParam), os::HiWord(lParam));
        break;
    case os::WM_CHAR:
        onChar(static_cast<std::uint32_t>(wParam), os::LoWord(lParam), os::HiWord(lParam));
        break;
    case os::WM_COMMAND:
        result = onCommand(wParam, lParam);
        return true;
    case os::WM_TIMER:
        onTimer(wParam);
        break;
    case os::WM_HSCROLL:
        onHScroll(os::LoWord(wParam), os::HiWord(wParam), reinterpret_cast<os::Hwnd>(lParam));
        break;
    case os::WM_VSCROLL:
        onVScroll(os::LoWord(wParam), os::HiWord(wParam), reinterpret_cast<os::Hwnd>(lParam));
        break;
    case os::WM_MOUSEMOVE:
        trackHover();
        onMouseMove(SignedLow(lParam), SignedHigh(lParam), static_cast<std::uint32_t>(wParam));
        break;
    case os::WM_LBUTTONDOWN:
        onLButtonDown(SignedLow(lParam), SignedHigh(lParam), static_cast<std::uint32_t>(wParam));
        break;
    case os::WM_LBUTTONUP:
        onLButtonUp(SignedLow(lParam), SignedHigh(lParam), static_cast<std::uint32_t>(wParam));
        break;
    case os::WM_LBUTTONDBLCLK:
        onLButtonDblClk(os::LoWord(lParam), os::HiWord(lParam), static_cast<std::uint32_t>(wParam));
        break;
    case kMouseLeaveMessage:
        onMouseLeave();
        break;
    default:
        return false;
    }
    result = 0;
    return true;
}

os::LResult Window::dispatch(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (message == os::WM_CREATE) return onCreate(reinterpret_cast<os::CreateStruct*>(lParam));
    os::LResult result = 0;
    if (dispatchCommon(message, wParam, lParam, result)) return result;
    result = handleMessage(message, wParam, lParam);
    if (message == os::WM_NCDESTROY) unbind();
    return result;
}

void Window::bind(os::Hwnd window) {
    bound_ = window;
    window_ = window;
    os::SetUserData(window, this);
}

void Window::unbind() {
    if (bound_ && os::IsWindow(bound_)) {
        os::SetUserData(bound_, nullptr);
        if (previousProc_ && os::GetWindowProc(bound_) == &Window::windowProcedure) {
            os::SetWindowProc(bound_, previousProc_);
        }
    }
    if (lastHovered == this) lastHovered = nullptr;
    bound_ = nullptr;
    window_ = nullptr;
    previousProc_ = nullptr;
    backBuffer_.reset();
}

void Window::adopt() {
    const os::WndProc current = os::GetWindowProc(bound_);
    if (current == &Window::windowProcedure) {
        previousProc_ = nullptr;
        return;
    }
    previousProc_ = current;
    os::SetUserData(bound_, this);
    os::SetWindowProc(bound_, &Window::windowProcedure);
}

void Window::trackHover() {
    if (lastHovered == this) return;
    if (lastHovered && lastHovered->window_) {
        os::PostMessage(lastHovered->window_, kMouseLeaveMessage, 0, 0);
    }
    lastHovered = this;
}

void Window::replaceBackBuffer() {
    const os::Rect client = os::GetClientRect(bound_);
    backBuffer_ = paint::CreateCompatibleBitmap(bound_, client.right - client.left,
                                                client.bottom - client.top);
}

}  // namespace talvio
