#include "ui/tray_icon.h"

#include <algorithm>
#include <exception>

#include "foundation/trace_log.h"

namespace talvio {
namespace {

constexpr int kTraceLevel = 3;
constexpr int kMenuDepthLimit = 16;

// The object whose window is being created, so that only our own creation
// binds a window to it.
TrayIcon* creating = nullptr;

}  // namespace

TrayIcon::TrayIcon(TrayShell& shell) : shell_(shell) {}

TrayIcon::~TrayIcon() { destroy(); }

bool TrayIcon::create(void* instance, int menuResourceId) {
    if (window_) return false;
    instance_ = instance;
    taskbarCreated_ = os::RegisterWindowMessage(L"TaskbarCreated");
    menu_.reset(os::LoadMenu(instance, menuResourceId));
    if (!os::GetClassInfo(kClassName)) {
        os::WindowClass windowClass;
        windowClass.style = kClassStyle;
        windowClass.proc = &TrayIcon::windowProcedure;
        windowClass.name = kClassName;
        if (os::RegisterClass(windowClass) == 0) return false;
    }
    creating = this;
    const os::Hwnd made = os::CreateWindowEx(0, kClassName, L"", 0, 0, 0, 0, 0, nullptr, 0, this);
    creating = nullptr;
    return made != nullptr && window_ == made;
}

int TrayIcon::setIcon(int iconResource, std::wstring_view text) {
    auto cached = std::find_if(iconCache_.begin(), iconCache_.end(),
                               [&](const auto& entry) { return entry.first == iconResource; });
    os::Hicon icon = cached != iconCache_.end() ? cached->second : nullptr;
    if (!icon) {
        icon = os::LoadIcon(instance_, iconResource);
        if (!icon) return 0;
        if (iconCache_.size() < kIconCacheSize) iconCache_.emplace_back(iconResource, icon);
    }
    currentIcon_ = icon;
    tip_.assign(text.substr(0, kTipLength - 1));
    update();
    return 1;
}

void TrayIcon::update() {
    if (!added_) {
        add();
        return;
    }
    shell_.notifyIcon(kNimModify, iconData(kNifIcon | kNifTip));
}

void TrayIcon::add() {
    if (!window_) return;
    shell_.notifyIcon(kNimAdd, iconData(kNifMessage | kNifIcon | kNifTip));
    added_ = true;
}

void TrayIcon::remove() {
    if (!window_) return;
    shell_.notifyIcon(kNimDelete, iconData(0));
    added_ = false;
}

void TrayIcon::destroy() {
    if (added_) remove();
    if (window_) os::DestroyWindow(window_);
    menu_.reset();
}

bool TrayIcon::canShowMenu() { return true; }
int TrayIcon::onCommand(os::WParam, os::LParam) { return 0; }
void TrayIcon::onInitMenuPopup(os::Hmenu, os::LParam) {}
void TrayIcon::onTimer(std::uintptr_t) {}
void TrayIcon::onDoubleClick() {}

os::LResult TrayIcon::defaultProc(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    return os::DefWindowProc(window_, message, wParam, lParam);
}

os::LResult TrayIcon::windowProcedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                      os::LParam lParam) {
    try {
        if (message == os::WM_NCCREATE && creating && !os::GetUserData(window)) {
            const auto* createStruct = reinterpret_cast<const os::CreateStruct*>(lParam);
            if (createStruct && createStruct->lpCreateParams == creating) {
                os::SetUserData(window, creating);
                creating->window_ = window;
            }
        }
        auto* tray = static_cast<TrayIcon*>(os::GetUserData(window));
        if (!tray) return os::DefWindowProc(window, message, wParam, lParam);
        return tray->dispatch(message, wParam, lParam);
    } catch (const std::exception& error) {
        TraceLog::global().trace(kTraceLevel, "tray window (message 0x%X) threw: %s",
                                 static_cast<unsigned>(message), error.what());
    } catch (...) {
        TraceLog::global().trace(kTraceLevel, "tray window (message 0x%X) threw",
                                 static_cast<unsigned>(message));
    }
    return 0;
}

os::LResult TrayIcon::dispatch(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    switch (message) {
        case os::WM_COMMAND:
            onCommand(wParam, lParam);
            break;
        case os::WM_TIMER:
            onTimer(wParam);
            break;
        case os::WM_INITMENUPOPUP: {
            const auto popup = reinterpret_cast<os::Hmenu>(wParam);
            if (ownsMenu(popup, menu_.get(), 0)) onInitMenuPopup(popup, lParam);
            break;
        }
        case kCallbackMessage:
            handleNotification(os::LoWord(static_cast<std::uintptr_t>(lParam)));
            break;
        case os::WM_DESTROY:
            // An icon whose window is gone would linger until the mouse passes over it.
            if (added_) remove();
            break;
        default:
            // A restarted Explorer has lost the icon: show it again as it was.
            if (taskbarCreated_ != 0 && message == taskbarCreated_ && added_) {
                remove();
                add();
            }
            break;
    }
    const os::Hwnd window = window_;
    const os::LResult result = defaultProc(message, wParam, lParam);
    if (message == os::WM_NCDESTROY) {
        os::SetUserData(window, nullptr);
        window_ = nullptr;
    }
    return result;
}

void TrayIcon::handleNotification(std::uint32_t mouseMessage) {
    if (mouseMessage == os::WM_LBUTTONDBLCLK) {
        onDoubleClick();
    } else if (mouseMessage == os::WM_RBUTTONUP && canShowMenu()) {
        showMenu();
    }
}

void TrayIcon::showMenu() {
    const os::Hmenu popup = os::GetSubMenu(menu_.get(), 0);
    if (!popup) return;
    os::Point cursor;
    os::GetCursorPos(cursor);
    // Without the foreground the menu would stay open after a click elsewhere.
    os::SetForegroundWindow(window_);
    const os::Rect exclude{cursor.x, cursor.y, cursor.x + 1, cursor.y + 1};
    os::TrackPopupMenuEx(popup, os::TPM_VERTICAL | os::TPM_RIGHTALIGN, cursor.x, cursor.y,
                         window_, &exclude);
    // A tray menu opened again from the icon would not close on the first
    // click elsewhere until its owner has taken one more message.
    os::PostMessage(window_, os::WM_NULL, 0, 0);
}

bool TrayIcon::ownsMenu(os::Hmenu menu, os::Hmenu within, int depth) const {
    if (!menu || !within || depth > kMenuDepthLimit) return false;
    if (menu == within) return true;
    const int count = os::GetMenuItemCount(within);
    for (int i = 0; i < count; ++i) {
        if (ownsMenu(menu, os::GetSubMenu(within, i), depth + 1)) return true;
    }
    return false;
}

NotifyIconData TrayIcon::iconData(std::uint32_t flags) const {
    NotifyIconData data;
    data.window = window_;
    data.id = kIconId;
    data.flags = flags;
    if (flags & kNifMessage) data.callbackMessage = kCallbackMessage;
    if (flags & kNifIcon) data.icon = currentIcon_;
    if (flags & kNifTip) {
        // The shell's field holds 127 characters; a longer kept tip is cut to fit.
        const std::size_t length = std::min(tip_.size(), kShellTipLength - 1);
        std::copy_n(tip_.begin(), length, data.tip.begin());
        data.tip[length] = 0;
    }
    return data;
}

}  // namespace talvio
