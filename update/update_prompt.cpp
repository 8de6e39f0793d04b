#include "update/update_prompt.h"

#include "ui/open_dialog_register.h"
#include "ui/window.h"
#include "update/web_browser.h"

namespace talvio {
namespace {

// Enter and Esc (or the close box) reach a dialog as these.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

}  // namespace

void UpdatePrompt::opened(os::Hwnd dialog, os::Hwnd owner) {
    dialogs_.SetOpenDialog(dialog);
    Window::centerOver(dialog, owner);
    os::SetForegroundWindow(dialog);
}

int UpdatePrompt::command(int id, bool doNotAskTicked) {
    const bool now = id == kUpdateNow || id == kIdOk;
    if (!now && id != kUpdateLater && id != kIdCancel) return 0;
    checkVer_ = doNotAskTicked ? 0 : 1;
    if (!now) return kEndedUpdateLater;
    browser_.open(downloadUrl_);
    return kEndedUpdateNow;
}

void UpdatePrompt::closed(os::Hwnd dialog) { dialogs_.ClearOpenDialog(dialog); }

}  // namespace talvio
