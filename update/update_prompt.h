// The update prompt (dialog 2098), modal: on "Update now" (or Enter) it
// opens the download page; either answer, Esc and the close box included,
// stores "Do not ask me again!" in checkVer (ticked: 0, else 1). It keeps
// the template's title.
//
// Ownership: checkVer, the browser and the register are not owned and
// outlive the prompt. Main thread only.
#pragma once

#include <string>

#include "ui/desktop_dialog.h"

namespace talvio {

class WebBrowser;

class UpdatePrompt final : public DesktopDialog {
public:
    // What show() answers, besides -1 when the dialog could not be made.
    static constexpr int kEndedUpdateNow = 1;
    static constexpr int kEndedUpdateLater = 2;

    UpdatePrompt(int& checkVer, WebBrowser& browser, std::wstring downloadUrl, OpenDialogRegister& dialogs);

    os::LResult onCommand(os::WParam wParam, os::LParam lParam) override;

private:
    int& checkVer_;
    WebBrowser& browser_;
    std::wstring downloadUrl_;
};

}  // namespace talvio
