#include "tools/scenario/app/tray_watch_win32.h"

#include <cstring>

namespace talvio::scenario {

namespace {

constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
// How the program names itself in every tooltip it shows.
constexpr wchar_t kTooltipStart[] = L"Talvio Phone Driver";
// The shell's tray data messages (dwData of its WM_COPYDATA).
constexpr ULONG_PTR kAdd = 0;
constexpr ULONG_PTR kModify = 1;
constexpr ULONG_PTR kDelete = 2;

}  // namespace

// The shell's tray data is private to the shell and differs between its
// versions, so the tooltip is found by its text, not by its place.
std::wstring FindText(const void* data, std::size_t size, const std::wstring& prefix) {
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
    const std::size_t start = text.find(prefix);
    if (start == std::wstring::npos) return {};
    return text.substr(start, text.find(L'\0', start) - start);
}

TrayWatch::TrayWatch() : desktopTray_(FindWindowExW(nullptr, nullptr, kTrayClass, nullptr)) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] { Run(ready); });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
}

TrayWatch::~TrayWatch() {
    if (threadId_) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
}

void TrayWatch::Run(HANDLE ready) {
    threadId_ = GetCurrentThreadId();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTrayClass;
    RegisterClassW(&windowClass);
    // Topmost and newest: first in the order in which windows are found.
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts WM_QUIT
    SetEvent(ready);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    if (window_) DestroyWindow(window_);
}

bool TrayWatch::InFront() const {
    return window_ != nullptr && FindWindowExW(nullptr, nullptr, kTrayClass, nullptr) == window_;
}

std::vector<TrayChange> TrayWatch::Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TrayChange> taken;
    taken.swap(changes_);
    return taken;
}

LRESULT CALLBACK TrayWatch::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TrayWatch*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->OnCopyData(wParam, lParam);
    } catch (...) {
        return FALSE;  // a failed allocation loses this change
    }
}

LRESULT TrayWatch::OnCopyData(WPARAM wParam, LPARAM lParam) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    LRESULT result = TRUE;
    if (desktopTray_ && IsWindow(desktopTray_)) {
        // The desktop's answer is the shell call's result.
        DWORD_PTR answer = 0;
        result = SendMessageTimeoutW(desktopTray_, WM_COPYDATA, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &answer)
                     ? static_cast<LRESULT>(answer)
                     : FALSE;
    }
    if (data && data->lpData && data->dwData <= kDelete) {
        TrayChange change;
        change.tick = GetTickCount();
        change.change = data->dwData == kAdd ? "add" : data->dwData == kModify ? "modify" : "delete";
        change.tooltip = FindText(data->lpData, data->cbData, kTooltipStart);
        std::lock_guard<std::mutex> lock(mutex_);
        changes_.push_back(std::move(change));
    }
    return result;
}

}  // namespace talvio::scenario
