#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include <algorithm>

#include "ui/tray_shell.h"

namespace talvio {
namespace {

class ShellNotifyIcon final : public TrayShell {
public:
    bool notifyIcon(std::uint32_t message, const NotifyIconData& data) override {
        NOTIFYICONDATAW native{};
        static_assert(sizeof(native.szTip) / sizeof(native.szTip[0]) == kShellTipLength);
        // The layout before the balloon GUID (936 bytes on 32-bit Windows):
        // every shell from version 5 on takes it, and with it the callback
        // message's lParam is the mouse message itself.
        native.cbSize = NOTIFYICONDATAW_V2_SIZE;
        native.hWnd = reinterpret_cast<HWND>(data.window);
        native.uID = data.id;
        native.uFlags = data.flags;
        native.uCallbackMessage = data.callbackMessage;
        native.hIcon = reinterpret_cast<HICON>(data.icon);
        std::copy(data.tip.begin(), data.tip.end(), native.szTip);
        native.szTip[kShellTipLength - 1] = 0;
        return Shell_NotifyIconW(message, &native) != FALSE;
    }
};

}  // namespace

TrayShell& SystemTrayShell() {
    static ShellNotifyIcon shell;
    return shell;
}

}  // namespace talvio
