// The About box (product name, version, OK) and the Help box (the dialling
// hints, Close), both modal, opened from the tray.
//
// Ownership: the tray application is not owned and outlives the dialog.
// Main thread only.
#pragma once

#include <string_view>

#include "ui/desktop_dialog.h"

namespace talvio {

class TrayApplication;

class AboutDialog final : public DesktopDialog {
public:
    explicit AboutDialog(TrayApplication& tray);

    bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) override;
    // Ends on OK (1) and on Esc or the close box (2), with that code.
    os::LResult onCommand(os::WParam wParam, os::LParam lParam) override;

private:
    TrayApplication& tray_;
};

class HelpDialog final : public DesktopDialog {
public:
    explicit HelpDialog(TrayApplication& tray);

    bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) override;
    // Ends on 1, 2 and Close (2134), with that code.
    os::LResult onCommand(os::WParam wParam, os::LParam lParam) override;

private:
    TrayApplication& tray_;
};

}  // namespace talvio
