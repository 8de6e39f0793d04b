// Message boxes, answered by the test in place of the user.
#include "platform/hosted/desktop_state.h"

namespace os {

using namespace hosted::detail;

int MessageBox(Hwnd owner, std::wstring_view text, std::wstring_view caption, std::uint32_t type) {
    Desktop& d = TheDesktop();
    Lock lock(d.mutex);
    int result = 0;
    if (!d.messageBoxAnswers.empty()) {
        result = d.messageBoxAnswers.front();
        d.messageBoxAnswers.pop_front();
    }
    d.messageBoxes.push_back({owner, std::wstring(text), std::wstring(caption), type, result});
    return result;
}

}  // namespace os

namespace os::hosted {

using namespace detail;

void AnswerMessageBox(int result) {
    Lock lock(TheDesktop().mutex);
    TheDesktop().messageBoxAnswers.push_back(result);
}

std::vector<MessageBoxShown> MessageBoxes() {
    Lock lock(TheDesktop().mutex);
    return TheDesktop().messageBoxes;
}

}  // namespace os::hosted
