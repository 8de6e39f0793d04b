#include "app/quit_window.h"

#include "foundation/trace_log.h"

namespace talvio {

bool QuitWindow::createHidden() {
    if (registerClass(kClassName, 0, 0, 0, 0).empty()) return false;
    quitMessage_ = os::RegisterWindowMessage(kQuitMessageName);
    return create(0, kClassName, kTitle, 0, 0, 0, 0, 0, nullptr, 0);
}

os::LResult QuitWindow::handleMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    // 0 is what a failed registration returns; it must not turn WM_NULL into a quit request.
    if (quitMessage_ != 0 && message == quitMessage_) os::PostQuitMessage(0);
    return Window::handleMessage(message, wParam, lParam);
}

void QuitWindow::onDestroy() {
    TraceLog::global().setSink(nullptr);
    Window::onDestroy();
}

}  // namespace talvio
