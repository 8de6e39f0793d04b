// What the update prompt (dialog 2098) does, apart from the dialog itself:
// it records itself as the open dialog, stands centred in front, and on
// "Update now" (or Enter) opens the download page; either answer stores
// "Do not ask me again!" in checkVer. The dialog that shows it is an
// UpdatePromptView.
//
// Ownership: checkVer, the browser and the register are not owned and
// outlive the prompt. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "resources/dialog_templates.h"

namespace talvio {

class OpenDialogRegister;
class WebBrowser;

class UpdatePrompt {
public:
    static constexpr int kTemplate = art::kUpdatePromptDialog;
    static constexpr int kText = art::kUpdateText;
    static constexpr int kUpdateNow = art::kUpdateNow;
    static constexpr int kUpdateLater = art::kUpdateLater;
    static constexpr int kDoNotAsk = art::kDoNotAskAgain;
    // What the dialog ends with.
    static constexpr int kEndedUpdateNow = 1;
    static constexpr int kEndedUpdateLater = 2;

    UpdatePrompt(int& checkVer, WebBrowser& browser, std::wstring downloadUrl,
                 OpenDialogRegister& dialogs)
        : checkVer_(checkVer), browser_(browser), downloadUrl_(std::move(downloadUrl)), dialogs_(dialogs) {}

    // The dialog is up (WM_INITDIALOG).
    void opened(os::Hwnd dialog, os::Hwnd owner);
    // A command of the dialog, with the box's state: the code to end the
    // dialog with, or 0 to keep it open.
    int command(int id, bool doNotAskTicked);
    // The dialog is going (WM_DESTROY).
    void closed(os::Hwnd dialog);

private:
    int& checkVer_;
    WebBrowser& browser_;
    std::wstring downloadUrl_;
    OpenDialogRegister& dialogs_;
};

// Shows the prompt modally, owned by `owner`, and returns what it ended
// with, or -1 when it could not be shown. The Win32 view is the dialog of
// template 2098; the hosted desktop has no dialog templates and shows none.
class UpdatePromptView {
public:
    virtual std::intptr_t run(os::Hwnd owner, UpdatePrompt& prompt) = 0;

protected:
    ~UpdatePromptView() = default;
};

// Lives for the whole process.
UpdatePromptView& SystemUpdatePromptView();

}  // namespace talvio
