#include "ui/dialog.h"
#include "update/update_prompt.h"

#include "platform/win32/windows_api.h"

namespace talvio {
namespace {

// Template 2098 of the program's resources: texts localised by control id
// at init, like every dialog's.
class UpdatePromptDialog final : public Dialog {
public:
    UpdatePromptDialog(UpdatePrompt& prompt, os::Hwnd owner) : prompt_(prompt), owner_(owner) {}
    ~UpdatePromptDialog() override = default;

    bool onInitDialog(os::Hwnd window, os::Hwnd focus, os::LParam param) override {
        Dialog::onInitDialog(window, focus, param);
        prompt_.opened(window, owner_);
        return true;
    }

    os::LResult onCommand(os::WParam wParam, os::LParam) override {
        if (const int code = prompt_.command(os::LoWord(wParam), isTicked(UpdatePrompt::kDoNotAsk))) {
            EndDialog(reinterpret_cast<HWND>(window()), code);
        }
        return 0;
    }

    void onDestroy() override {
        prompt_.closed(window());
        Dialog::onDestroy();
    }

private:
    UpdatePrompt& prompt_;
    os::Hwnd owner_;
};

class DialogView final : public UpdatePromptView {
public:
    std::intptr_t run(os::Hwnd owner, UpdatePrompt& prompt) override {
        UpdatePromptDialog dialog(prompt, owner);
        return dialog.runModal(UpdatePrompt::kTemplate, owner);
    }
};

}  // namespace

UpdatePromptView& SystemUpdatePromptView() {
    static DialogView view;
    return view;
}

}  // namespace talvio
