// The conventions every desktop dialog of the program follows: it is the
// register's open dialog from its initialisation until it goes, its
// controls are localised, its title too when it is given one (otherwise the
// template's title stays), and it opens centred, in front.
//
// Ownership: the register is not owned and outlives the dialog. Main
// thread only.
#pragma once

#include <functional>
#include <string>

#include "ui/dialog.h"

namespace talvio {

class OpenDialogRegister;

class DesktopDialog : public Dialog {
public:
    // The title in the current language; empty: the template's.
    using Title = std::function<std::wstring()>;

    DesktopDialog(OpenDialogRegister& dialogs, int templateId, Title title = {});

    // Modal: the value the dialog ended with, or -1 when it could not be made.
    std::intptr_t show(os::Hwnd owner);

    bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) override;
    void onDestroy() override;

protected:
    // The title again, from the current language.
    void retitle();
    // Centred over a visible owner, else on the desktop; in front.
    void centre();

private:
    OpenDialogRegister& dialogs_;
    int templateId_;
    Title title_;
    os::Hwnd owner_ = nullptr;
};

}  // namespace talvio
