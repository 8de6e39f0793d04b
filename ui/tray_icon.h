// The program's face on the desktop: one notification-area icon with a
// tooltip and a right-click menu, and the hidden window of class
// "QmxUsbPhoneWndClass" behind it. The application object derives from it:
// menu commands, menu refreshes, the double click and the timers it sets on
// window() reach it through the virtual operations.
//
// Ownership: the object owns its window and the loaded menu; icons belong to
// the module and are shared, never destroyed. The shell is not owned and
// outlives the object. The window is bound to the object from its creation
// to WM_NCDESTROY; destroying the object removes the icon and the window.
//
// Threading: main thread only (the thread that calls create()); every
// override runs there. No C++ exception leaves the window procedure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/unique.h"
#include "ui/tray_shell.h"

namespace talvio {

class TrayIcon {
public:
    static constexpr std::uint32_t kCallbackMessage = os::WM_USER + 5;  // 1029
    static constexpr std::uint32_t kIconId = 888;
    static constexpr std::size_t kIconCacheSize = 10;
    static constexpr std::size_t kTipLength = 256;  // with the terminator
    static constexpr std::wstring_view kClassName = L"QmxUsbPhoneWndClass";
    static constexpr std::uint32_t kClassStyle = 11;  // CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS

    explicit TrayIcon(TrayShell& shell = SystemTrayShell());
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    virtual ~TrayIcon();

    // Loads the menu (its first submenu is the popup) and creates the hidden
    // window. No icon shows until setIcon(). False when the window could not
    // be made or already exists.
    bool create(void* instance, int menuResourceId);
    // Shows icon `iconResource` of the instance with `text` as the tooltip,
    // kept up to 255 characters. Returns 0 and changes nothing when the
    // icon cannot be loaded, else 1.
    int setIcon(int iconResource, std::wstring_view text);
    void update();  // adds the icon, or gives the shown one the current icon and tip
    void add();
    void remove();
    void destroy();  // removes the icon, destroys the window and the menu

    os::Hwnd window() const { return window_; }
    os::Hmenu menu() const { return menu_.get(); }
    os::Hicon currentIcon() const { return currentIcon_; }
    const std::wstring& tip() const { return tip_; }
    bool added() const { return added_; }

    // The virtual operations keep this order (the table's slot order).
    virtual bool canShowMenu();
    virtual int onCommand(os::WParam wParam, os::LParam lParam);
    // Called only for the tray's own menu and its submenus: a menu handle in
    // a message from elsewhere is not trusted.
    virtual void onInitMenuPopup(os::Hmenu menu, os::LParam lParam);
    virtual void onTimer(std::uintptr_t timerId);
    virtual void onDoubleClick();
    // Every message of the window ends here, the handled ones included; its
    // result is the window procedure's. The default is DefWindowProc.
    virtual os::LResult defaultProc(std::uint32_t message, os::WParam wParam, os::LParam lParam);

private:
    static os::LResult windowProcedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                       os::LParam lParam);
    os::LResult dispatch(std::uint32_t message, os::WParam wParam, os::LParam lParam);
    void handleNotification(std::uint32_t mouseMessage);
    void showMenu();
    bool ownsMenu(os::Hmenu menu, os::Hmenu within, int depth) const;
    NotifyIconData iconData(std::uint32_t flags) const;

    TrayShell& shell_;
    void* instance_ = nullptr;
    os::Hwnd window_ = nullptr;
    os::Menu menu_;
    std::uint32_t taskbarCreated_ = 0;
    os::Hicon currentIcon_ = nullptr;
    std::vector<std::pair<int, os::Hicon>> iconCache_;
    std::wstring tip_;
    bool added_ = false;
};

}  // namespace talvio
