#include "connectors/hook_agent.h"

#include <cstring>
#include <exception>

#include "handset/caller_text.h"

namespace talvio {
namespace {

constexpr wchar_t kClassName[] = L"QmxHookWndClass";
// The library's reports start with a code; lower ones carry no caller.
constexpr std::uint32_t kLowestForwardedCode = 50;

}  // namespace

HookWindow::~HookWindow() {
    if (window_ != nullptr) os::DestroyWindow(window_);
}

bool HookWindow::Create() {
    if (!os::GetClassInfo(kClassName)) {
        os::WindowClass windowClass;
        windowClass.proc = &HookWindow::Procedure;
        windowClass.instance = os::GetModuleHandle();
        windowClass.name = kClassName;
        // A class another agent thread registered meanwhile is as good.
        if (os::RegisterClass(windowClass) == 0 && !os::GetClassInfo(kClassName)) return false;
    }
    window_ = os::CreateWindowEx(0, kClassName, L"", os::WS_POPUP, 0, 0, 0, 0, nullptr, 0, this);
    if (window_ == nullptr) return false;
    block_ = library_.PublishWindow(window_);
    return true;
}

os::LResult HookWindow::Procedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                  os::LParam lParam) {
    if (message == os::WM_NCCREATE) {
        os::SetUserData(window, reinterpret_cast<const os::CreateStruct*>(lParam)->lpCreateParams);
    }
    auto* self = static_cast<HookWindow*>(os::GetUserData(window));
    if (message == os::WM_NCDESTROY) os::SetUserData(window, nullptr);
    if (self != nullptr && message == os::WM_COPYDATA) {
        try {
            self->Forward(wParam, reinterpret_cast<const os::CopyDataStruct*>(lParam));
        } catch (const std::exception&) {
            // Out of memory for the copy: this report is lost, the hook goes on.
        }
    }
    return os::DefWindowProc(window, message, wParam, lParam);
}

void HookWindow::Forward(os::WParam sender, const os::CopyDataStruct* data) const {
    // The receiver takes no payload of 1024 bytes or more: none is copied.
    if (data == nullptr || data->lpData == nullptr || data->cbData <= 4 ||
        data->cbData >= kCallerTextMaxBytes) {
        return;
    }
    std::uint8_t head[4];
    std::memcpy(head, data->lpData, sizeof(head));
    const std::uint32_t code = head[0] | head[1] << 8 | head[2] << 16 |
                               static_cast<std::uint32_t>(head[3]) << 24;
    if (code < kLowestForwardedCode) return;
    const os::LParam block = AllocateCallerTextBlock(*data);
    if (block == 0) return;
    if (!os::PostMessage(notifyWindow_, kCallerTextMessage, sender, block)) {
        TakeCallerTextBlock(block);  // freed here: nobody will receive it
    }
}

unsigned HookAgent::run() {
    HookWindow window(notifyWindow_, library_);
    // Without a window the library would have nobody to report to.
    if (!window.Create()) return 0;
    window_.store(window.window());
    os::Sleep(kHookDelayMs);
    const std::uintptr_t hook = stopRequested() ? 0 : library_.InsertHook(targetWindow_);
    os::Msg message;
    // The flag is read after window_ was stored: a stop that found no
    // window to wake is seen here.
    while (!stopRequested() && os::GetMessage(message) > 0) {
        if (stopRequested()) break;
        os::TranslateMessage(message);
        os::DispatchMessage(message);
    }
    window_.store(nullptr);
    library_.RemoveHook(hook);
    return 0;
}

std::unique_ptr<CallerIdWatcher> StartHookAgent(os::Hwnd notifyWindow, os::Hwnd targetWindow) {
    auto agent = std::make_unique<HookAgent>(notifyWindow, targetWindow, SystemHookLibrary());
    if (!agent->start()) return nullptr;
    return agent;
}

void HookAgent::wake() {
    if (const os::Hwnd window = window_.load()) os::PostMessage(window, os::WM_MOUSEMOVE, 0, 0);
}

}  // namespace talvio
