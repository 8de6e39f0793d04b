#include "tests/platform/test_window.h"

namespace talvio::testing {

void TestWindow::RegisterClassHere() {
    if (os::GetClassInfo(kTestClass)) return;
    os::WindowClass windowClass;
    windowClass.proc = &TestWindow::Proc;
    windowClass.name = kTestClass;
    os::RegisterClass(windowClass);
}

os::Hwnd TestWindow::Create(os::Hwnd parent, std::uint32_t style, const wchar_t* title,
                            std::uintptr_t id) {
    RegisterClassHere();
    hwnd_ = os::CreateWindowEx(0, kTestClass, title, style, 0, 0, 100, 50, parent, id, this);
    return hwnd_;
}

void TestWindow::SetHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

std::vector<Received> TestWindow::Log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

std::vector<Received> TestWindow::Of(std::uint32_t message) const {
    std::vector<Received> matching;
    for (const Received& received : Log()) {
        if (received.message == message) matching.push_back(received);
    }
    return matching;
}

os::LResult TestWindow::Proc(os::Hwnd hwnd, std::uint32_t message, os::WParam wParam,
                             os::LParam lParam) {
    if (message == os::WM_NCCREATE) {
        auto* create = reinterpret_cast<const os::CreateStruct*>(lParam);
        os::SetUserData(hwnd, create->lpCreateParams);
    }
    auto* self = static_cast<TestWindow*>(os::GetUserData(hwnd));
    if (!self) return os::DefWindowProc(hwnd, message, wParam, lParam);
    Handler handler;
    {
        std::lock_guard lock(self->mutex_);
        self->log_.push_back(Received{message, wParam, lParam, os::GetCurrentThreadId(),
                                      os::GetTickCount(), os::InSendMessage()});
        handler = self->handler_;
    }
    if (message == os::WM_NCDESTROY) os::SetUserData(hwnd, nullptr);
    if (handler) {
        if (auto answer = handler(hwnd, message, wParam, lParam)) return *answer;
    }
    return os::DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace talvio::testing
