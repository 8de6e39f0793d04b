#include "ui/tray_shell.h"

namespace talvio {
namespace {

class NoNotificationArea final : public TrayShell {
public:
    bool notifyIcon(std::uint32_t, const NotifyIconData&) override { return false; }
};

}  // namespace

TrayShell& SystemTrayShell() {
    static NoNotificationArea shell;
    return shell;
}

}  // namespace talvio
