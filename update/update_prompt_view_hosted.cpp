#include "update/update_prompt.h"

namespace talvio {
namespace {

class NoDialogView final : public UpdatePromptView {
public:
    std::intptr_t run(os::Hwnd, UpdatePrompt&) override { return -1; }
};

}  // namespace

UpdatePromptView& SystemUpdatePromptView() {
    static NoDialogView view;
    return view;
}

}  // namespace talvio
