// Base of every window of the program. Messages become virtual calls; a
// window of a system class ("BUTTON", common controls) created through
// create() is adopted: its class procedure is kept and gets every message
// the object does not handle.
//
// Ownership: the object owns its window. It exists before the window, is
// bound to it through the creation parameter and the user-data slot, and
// destroys a window that is still open when it is deleted. The binding is
// cleared when the window goes (WM_NCDESTROY), so an object may outlive its
// window and create another one.
//
// Threading: main thread only (the thread that creates the window); the
// framework takes no lock. No C++ exception leaves the window procedure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "ui/paint.h"

namespace talvio {

class Window {
public:
    static constexpr std::uint32_t kMouseLeaveMessage = os::WM_USER + 11;  // 1035
    static constexpr std::wstring_view kDefaultClassName = L"QmxDefaultWndClass";
    static constexpr std::uint32_t kDefaultClassStyle = 11;  // CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS
    static constexpr std::uintptr_t kWindowBackground = 5 + 1;  // COLOR_WINDOW + 1

    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The virtual operations keep this order (the table's slot order).
    virtual ~Window();
    // An empty className means the default class, registered on first use.
    // False while the object still has a window.
    virtual bool create(std::uint32_t exStyle, std::wstring_view className, std::wstring_view title,
                        std::uint32_t style, int x, int y, int width, int height, os::Hwnd parent,
                        std::uintptr_t menuOrId);
    virtual bool preCreate(os::CreateStruct& createStruct);
    // Every "Button" or "Static" child with a text for its control id gets it.
    virtual void localizeChildren();
    virtual os::LResult handleMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam);
    virtual os::LResult onCreate(os::CreateStruct* createStruct);
    virtual void onSize(std::uint32_t type, int cx, int cy);
    virtual void onDestroy();
    virtual void onPaint(paint::Dc dc);
    virtual void onLButtonDown(int x, int y, std::uint32_t keys);
    virtual void onLButtonUp(int x, int y, std::uint32_t keys);
    virtual void onLButtonDblClk(int x, int y, std::uint32_t keys);
    virtual void onMouseMove(int x, int y, std::uint32_t keys);
    virtual void onVScroll(int code, int position, os::Hwnd control);
    virtual void onHScroll(int code, int position, os::Hwnd control);
    virtual void onKeyDown(std::uint32_t virtualKey, int repeat, std::uint32_t flags);
    virtual void onKeyUp(std::uint32_t virtualKey, int repeat, std::uint32_t flags);
    virtual void onChar(std::uint32_t character, int repeat, std::uint32_t flags);
    virtual os::LResult onCommand(os::WParam wParam, os::LParam lParam);
    virtual os::LResult onPaintMessage();
    virtual void onTimer(std::uintptr_t timerId);
    virtual void onMouseLeave();
    virtual void onCreateFailed();

    os::Hwnd window() const { return window_; }
    void* creationParam() const { return creationParam_; }

    void invalidate();
    void enable(bool enabled);  // the window and each of its children
    bool moveTo(int x, int y, int width, int height);

    static void centerOnDesktop(os::Hwnd window);
    // Centres over `other` when it exists, is not minimised and has an area.
    static void centerOver(os::Hwnd window, os::Hwnd other);

    // With an empty name: "Qmx:<module>:<style>", or with any of cursor,
    // background or icon set "Qmx:<module>:<style>:<cursor>:<background>:<icon>"
    // (lower-case hex). A class that already exists counts as registered.
    // Returns the name, or an empty string when registration fails.
    static std::wstring registerClass(std::wstring_view name, std::uint32_t style,
                                      std::uintptr_t cursor, std::uintptr_t background,
                                      std::uintptr_t icon);

    static os::LResult windowProcedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                       os::LParam lParam);

protected:
    // What an unhandled message gets: the adopted class procedure, or
    // DefWindowProc. Dialogs leave it to the dialog manager instead.
    os::LResult defaultHandling(std::uint32_t message, os::WParam wParam, os::LParam lParam);

    // Maps the messages windows and dialogs share onto their handlers.
    // Returns false, leaving `result` alone, for any other message.
    bool dispatchCommon(std::uint32_t message, os::WParam wParam, os::LParam lParam,
                        os::LResult& result);

    void bind(os::Hwnd window);
    void unbind();

    os::Hwnd window_ = nullptr;  // forgotten at WM_DESTROY
    os::Hwnd bound_ = nullptr;   // the window this object is bound to, until WM_NCDESTROY
    void* creationParam_ = nullptr;
    os::WndProc previousProc_ = nullptr;
    os::Rect paintRect_{};
    bool doubleBuffered_ = false;
    paint::UniqueBitmap backBuffer_;
    bool defaultsToDialogManager_ = false;

private:
    os::LResult dispatch(std::uint32_t message, os::WParam wParam, os::LParam lParam);
    void adopt();
    void trackHover();
    void replaceBackBuffer();
};

}  // namespace talvio
