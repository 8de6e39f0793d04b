// Test-only vantrel.dll: plays the caller-id hook library for the
// simulated old Skype client, so the driver's hook path runs end to end
// under Wine. Built for the tests only and placed beside the test copy of
// the driver, never beside the program itself.
//
// InsertDll(window) hooks the calling thread (a real hook the driver later
// removes with UnhookWindowsHookEx) and starts a watcher thread. The
// watcher reads the driver's window from the first four bytes of the shared
// block "vxMyFileMappingObject_vx" and, every 100 ms, looks at the client's
// top-level windows: each visible, titled window that appears after the
// hook (the client's incoming-call window) is reported as its caller with
// WM_COPYDATA, dwData 11, payload: code 60, value 0, the title in UTF-16
// with its terminating zero. The watcher ends when the driver's window or
// the client's goes.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kBlockName[] = L"vxMyFileMappingObject_vx";
constexpr ULONG_PTR kCallerKind = 11;
constexpr std::uint32_t kCallerCode = 60;
constexpr DWORD kScanMs = 100;
constexpr UINT kSendTimeoutMs = 2000;

HMODULE g_module = nullptr;

HWND ReadDriverWindow() {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, kBlockName);
    if (mapping == nullptr) return nullptr;
    HWND window = nullptr;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4)) {
        const auto* bytes = static_cast<const std::uint8_t*>(view);
        const std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                    static_cast<std::uint32_t>(bytes[3]) << 24;
        window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return window;
}

struct Scan {
    DWORD process = 0;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectClientWindow(HWND window, LPARAM argument) {
    auto* scan = reinterpret_cast<Scan*>(argument);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == scan->process && IsWindowVisible(window) && GetWindowTextLengthW(window) > 0) {
        scan->found.push_back(window);
    }
    return TRUE;
}

void Report(HWND driverWindow, HWND client, const std::wstring& caller) {
    std::vector<std::uint8_t> payload(8 + (caller.size() + 1) * sizeof(wchar_t), 0);
    payload[0] = static_cast<std::uint8_t>(kCallerCode);
    std::memcpy(payload.data() + 8, caller.c_str(), caller.size() * sizeof(wchar_t));
    COPYDATASTRUCT data = {kCallerKind, static_cast<DWORD>(payload.size()), payload.data()};
    SendMessageTimeoutW(driverWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(client),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
}

DWORD WINAPI Watch(void* argument) {
    const HWND client = static_cast<HWND>(argument);
    const HWND driverWindow = ReadDriverWindow();
    Scan scan;
    GetWindowThreadProcessId(client, &scan.process);
    std::set<HWND> seen;
    bool first = true;
    while (driverWindow != nullptr && IsWindow(driverWindow) && IsWindow(client)) {
        scan.found.clear();
        EnumWindows(CollectClientWindow, reinterpret_cast<LPARAM>(&scan));
        for (HWND window : scan.found) {
            // Windows already open when the hook came are not calls.
            if (!seen.insert(window).second || first) continue;
            wchar_t title[256] = {};
            if (GetWindowTextW(window, title, 256) > 0) Report(driverWindow, client, title);
        }
        first = false;
        Sleep(kScanMs);
    }
    return 0;
}

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

extern "C" __declspec(dllexport) HHOOK __cdecl InsertDll(HWND window) {
    if (window == nullptr || !IsWindow(window)) return nullptr;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, PassOn, g_module, GetCurrentThreadId());
    if (hook == nullptr) return nullptr;
    if (HANDLE watcher = CreateThread(nullptr, 0, Watch, window, 0, nullptr)) CloseHandle(watcher);
    return hook;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
