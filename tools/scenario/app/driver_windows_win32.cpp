#include "tools/scenario/app/driver_windows_win32.h"

#include <dbt.h>

namespace talvio::scenario {

namespace {

// The driver's private messages: tray callback, mouse leave, the
// connectors' internal ones, caller text.
constexpr UINT kPrivateMessages[] = {WM_USER + 5, WM_USER + 11, WM_USER + 16, WM_USER + 17,
                                     WM_USER + 18, WM_USER + 236};
constexpr UINT_PTR kTimerIds[] = {1, 1001, 1002, 1200, 1251, 2001, 2002, 0xFFFF};
// Pointers, or what looks like them: into an executable image, a heap, the
// top of the address space, and nothing at all.
constexpr LPARAM kJunkValues[] = {0, 1, -1, 0x7FFFFFFF, 0x00400000, 0x00110000, 0x12345678};

class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    std::uint32_t Below(std::uint32_t bound) { return Next() % bound; }

private:
    std::uint32_t state_;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>*>*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == found->first) found->second->push_back(window);
    return TRUE;
}

void SendCopyData(HWND window, Random& random) {
    std::string bytes(random.Below(64), '\0');
    for (char& byte : bytes) byte = static_cast<char>(random.Below(256));
    COPYDATASTRUCT data = {random.Next(), static_cast<DWORD>(bytes.size()), bytes.data()};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 1000,
                        &result);
}

void SendDeviceNotice(HWND window, Random& random) {
    struct {
        DEV_BROADCAST_DEVICEINTERFACE_W header;
        wchar_t rest[64];
    } notice = {};
    notice.header.dbcc_size = sizeof(notice);
    notice.header.dbcc_devicetype = random.Below(2) ? DBT_DEVTYP_DEVICEINTERFACE : random.Below(8);
    for (wchar_t& unit : notice.rest) unit = static_cast<wchar_t>(random.Below(0x10000));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_DEVICECHANGE, random.Below(2) ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                        reinterpret_cast<LPARAM>(&notice), SMTO_ABORTIFHUNG, 1000, &result);
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD processId) {
    std::vector<HWND> windows;
    std::pair<DWORD, std::vector<HWND>*> context(processId, &windows);
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&context));
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
        CollectWindow(window, reinterpret_cast<LPARAM>(&context));
    }
    return windows;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

HWND FirstSilentWindow(const std::vector<HWND>& windows, DWORD timeoutMs, DWORD& slowestMs) {
    slowestMs = 0;
    for (HWND window : windows) {
        if (!IsWindow(window)) continue;
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result)) return window;
        slowestMs = std::max<DWORD>(slowestMs, GetTickCount() - start);
    }
    return nullptr;
}

void PostJunk(const std::vector<HWND>& windows, int count, std::uint32_t seed) {
    if (windows.empty()) return;
    Random random(seed);
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    for (int i = 0; i < count; ++i) {
        HWND window = windows[random.Below(static_cast<std::uint32_t>(windows.size()))];
        const LPARAM lParam = random.Below(4) == 0 ? static_cast<LPARAM>(random.Next())
                                                   : kJunkValues[random.Below(std::size(kJunkValues))];
        const WPARAM wParam = random.Next();
        switch (random.Below(8)) {
        case 0:
        case 1:
        case 2:
            PostMessageW(window, kPrivateMessages[random.Below(std::size(kPrivateMessages))], wParam, lParam);
            break;
        case 3:
            // A timer message with a callback address would make the
            // receiver's dispatch call it: only the ids are junk here.
            PostMessageW(window, WM_TIMER, kTimerIds[random.Below(std::size(kTimerIds))], 0);
            break;
        case 4:
            PostMessageW(window, WM_USER + random.Below(0x8000 - WM_USER), wParam, lParam);
            break;
        case 5:
            PostMessageW(window, random.Below(2) ? WM_APP + random.Below(0x4000) : taskbarCreated, wParam, lParam);
            break;
        case 6:
            SendCopyData(window, random);
            break;
        default:
            SendDeviceNotice(window, random);
            break;
        }
    }
}

HWND FindDialogBox(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
        if (IsWindowVisible(window) && ClassOf(window) == L"#32770") return window;
    }
    return nullptr;
}

HWND FindLayeredPopup(const std::vector<HWND>& windows, int width, int height) {
    for (HWND window : windows) {
        if (!IsWindowVisible(window) || !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED)) continue;
        RECT area = {};
        GetWindowRect(window, &area);
        if (area.right - area.left == width && area.bottom - area.top == height) return window;
    }
    return nullptr;
}

}  // namespace talvio::scenario
