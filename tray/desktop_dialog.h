// The conventions every desktop dialog of the tray follows: it is the
// tray's open dialog from its initialisation until it goes, its controls
// and its title are localised (the title from a string id, with an English
// default), and it opens centred, in front.
//
// Ownership: the tray application is not owned and outlives the dialog.
// Main thread only.
#pragma once

#include <string>
#include <string_view>

#include "ui/dialog.h"

namespace talvio {

class TrayApplication;

class DesktopDialog : public Dialog {
public:
    DesktopDialog(TrayApplication& tray, int templateId, int titleId);

    // Modal: the value the dialog ended with, or -1 when it could not be made.
    std::intptr_t show(os::Hwnd owner);

    bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) override;
    void onDestroy() override;

protected:
    // The title again, from the current language.
    void retitle();
    // Centred over a visible owner, else on the desktop; in front.
    void centre();

    TrayApplication& tray_;

private:
    int templateId_;
    int titleId_;
    os::Hwnd owner_ = nullptr;
};

}  // namespace talvio
