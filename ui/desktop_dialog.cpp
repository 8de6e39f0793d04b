#include "ui/desktop_dialog.h"

#include <utility>

#include "ui/open_dialog_register.h"

namespace talvio {

DesktopDialog::DesktopDialog(OpenDialogRegister& dialogs, int templateId, Title title)
    : dialogs_(dialogs), templateId_(templateId), title_(std::move(title)) {}

std::intptr_t DesktopDialog::show(os::Hwnd owner) {
    owner_ = owner;
    return runModal(templateId_, owner);
}

bool DesktopDialog::onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) {
    dialogs_.SetOpenDialog(window);
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
    dialogs_.ClearOpenDialog(window());
    Dialog::onDestroy();
}

void DesktopDialog::retitle() {
    if (window() && title_) os::SetWindowText(window(), title_());
}

}  // namespace talvio
