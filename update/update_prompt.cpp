#include "update/update_prompt.h"

#include <utility>

#include "platform/controls.h"
#include "resources/dialog_templates.h"
#include "update/web_browser.h"

namespace talvio {

UpdatePrompt::UpdatePrompt(int& checkVer, WebBrowser& browser, std::wstring downloadUrl,
                           OpenDialogRegister& dialogs)
    : DesktopDialog(dialogs, art::kUpdatePromptDialog),
      checkVer_(checkVer),
      browser_(browser),
      downloadUrl_(std::move(downloadUrl)) {}

os::LResult UpdatePrompt::onCommand(os::WParam wParam, os::LParam) {
    const int id = os::LoWord(wParam);
    const bool now = id == art::kUpdateNow || id == os::IDOK;  // IDOK: Enter
    if (!now && id != art::kUpdateLater && id != os::IDCANCEL) return 0;
    checkVer_ = isTicked(art::kDoNotAskAgain) ? 0 : 1;
    if (now) browser_.open(downloadUrl_);
    os::EndDialog(window(), now ? kEndedUpdateNow : kEndedUpdateLater);
    return 0;
}

}  // namespace talvio
