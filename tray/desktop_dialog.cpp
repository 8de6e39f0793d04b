#include "tray/desktop_dialog.h"

#include "tray/tray_application.h"
#include "ui/locale_table.h"

namespace talvio {

DesktopDialog::DesktopDialog(TrayApplication& tray, int templateId, int titleId)
    : tray_(tray), templateId_(templateId), titleId_(titleId) {}

std::intptr_t DesktopDialog::show(os::Hwnd owner) {
    owner_ = owner;
    return runModal(templateId_, owner);
}

bool DesktopDialog::onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) {
    tray_.SetOpenDialog(window);
    Dialog::onInitDialog(window, focusControl, param);
    retitle();
    centre();
    return true;
}

// The tray's own window is hidden and tiny: centred over it, the dialog
// would hang off the screen's corner. A hidden owner means the desktop.
void DesktopDialog::centre() {
    centerOver(window(), owner_ && os::IsWindowVisible(owner_) ? owner_ : nullptr);
    os::SetForegroundWindow(window());
}

void DesktopDialog::onDestroy() {
    tray_.ClearOpenDialog(window());
    Dialog::onDestroy();
}

void DesktopDialog::retitle() {
    if (window()) os::SetWindowText(window(), tray_.Text(titleId_));
}

}  // namespace talvio
