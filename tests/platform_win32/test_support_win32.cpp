#include "tests/platform_win32/test_support.h"

#include "platform/win32/windows_api.h"

namespace talvio::test {

namespace {

os::KernelHandle AsKernel(HANDLE handle) { return reinterpret_cast<os::KernelHandle>(handle); }
HANDLE AsNative(os::KernelHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

const wchar_t* TestWindow::ClassName() {
    static const bool registered = [] {
        os::WindowClass windowClass;
        windowClass.proc = &TestWindow::Proc;
        windowClass.name = L"TalvioAgreementWindow";
        return os::RegisterClass(windowClass) != 0;
    }();
    return registered ? L"TalvioAgreementWindow" : nullptr;
}

TestWindow::TestWindow(Handler handler, os::Hwnd parent, std::wstring_view title,
                       std::uint32_t style)
    : handler_(std::move(handler)) {
    hwnd_ = os::CreateWindowEx(0, ClassName(), title, style, 0, 0, 100, 100, parent, 0, this);
}

TestWindow::~TestWindow() {
    if (os::IsWindow(hwnd_)) os::DestroyWindow(hwnd_);
}

os::LResult TestWindow::Proc(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                             os::LParam lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const os::CreateStruct*>(lParam);
        os::SetUserData(window, create->lpCreateParams);
    }
    auto* self = static_cast<TestWindow*>(os::GetUserData(window));
    if (message == WM_NCDESTROY) os::SetUserData(window, nullptr);
    if (self && self->handler_) {
        if (const auto answer = self->handler_(message, wParam, lParam)) return *answer;
    }
    return os::DefWindowProc(window, message, wParam, lParam);
}

Event::Event() : handle_(AsKernel(CreateEventW(nullptr, TRUE, FALSE, nullptr))) {}

void Event::Set() { SetEvent(AsNative(handle_.get())); }

bool Event::Wait(std::uint32_t timeoutMs) {
    return os::WaitForSingleObject(handle_.get(), timeoutMs) == os::kWaitObject0;
}

Thread::Thread(std::function<void()> body, std::size_t stackSize) : body_(std::move(body)) {
    handle_.reset(os::CreateThread(
        stackSize,
        [](void* self) -> unsigned {
            static_cast<Thread*>(self)->body_();
            return 0;
        },
        this, &id_));
}

Thread::~Thread() {
    if (handle_) os::WaitForSingleObject(handle_.get(), os::kInfinite);
}

WindowThread::WindowThread(Handler handler, Event* gate)
    : handler_(std::move(handler)), gate_(gate), thread_([this] { Run(); }) {
    created_.Wait(10000);
}

WindowThread::~WindowThread() {
    if (gate_) gate_->Set();
    os::PostThreadMessage(thread_.id(), WM_QUIT, 0, 0);
}

void WindowThread::Run() {
    TestWindow window(handler_);
    hwnd_ = window.hwnd();
    created_.Set();
    if (gate_) gate_->Wait(os::kInfinite);
    os::Msg msg;
    while (os::GetMessage(msg) > 0) os::DispatchMessage(msg);
}

bool PumpUntil(const std::function<bool()>& done, std::uint32_t timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

void PumpPending() {
    os::Msg msg;
    while (os::PeekMessage(msg, true)) os::DispatchMessage(msg);
}

Process::Process(const std::wstring& commandLine) {
    std::wstring writable = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        ::CloseHandle(info.hThread);
        handle_.reset(AsKernel(info.hProcess));
    }
}

Process::~Process() {
    if (handle_ && !WaitForExit(2000)) TerminateProcess(AsNative(handle_.get()), 1);
}

std::optional<std::uint32_t> Process::WaitForExit(std::uint32_t timeoutMs) {
    if (os::WaitForSingleObject(handle_.get(), timeoutMs) != os::kWaitObject0) return {};
    DWORD code = 0;
    GetExitCodeProcess(AsNative(handle_.get()), &code);
    return code;
}

std::wstring BesideExecutable(std::wstring_view fileName) {
    std::wstring path = os::GetModuleFileName();
    path.resize(path.rfind(L'\\') + 1);
    return path.append(fileName);
}

}  // namespace talvio::test
