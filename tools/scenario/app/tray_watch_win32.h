// A notification area in front of the desktop's own: a "Shell_TrayWnd"
// window that the shell's Shell_NotifyIconW finds first, so that this
// process sees every tray icon change (add, modify, delete, with its
// tooltip) and hands it on to the real notification area, which goes on
// showing the icons. The window has a thread of its own, so that a program
// setting its icon never waits for this process's main thread.
//
// Take() from one thread; the window lives as long as the object.
#pragma once

#include "platform/win32/windows_api.h"

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace talvio::scenario {

struct TrayChange {
    DWORD tick = 0;
    const char* change = "";  // "add", "modify" or "delete"
    std::wstring tooltip;     // empty when the change carries none
};

class TrayWatch {
public:
    TrayWatch();
    TrayWatch(const TrayWatch&) = delete;
    TrayWatch& operator=(const TrayWatch&) = delete;
    ~TrayWatch();

    // True when the shell's calls reach this window rather than the desktop's.
    bool InFront() const;
    // The changes since the last call.
    std::vector<TrayChange> Take();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Run(HANDLE ready);
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);

    HWND desktopTray_ = nullptr;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<TrayChange> changes_;
};

// The first zero-terminated UTF-16 text in `data` that begins with `prefix`.
std::wstring FindText(const void* data, std::size_t size, const std::wstring& prefix);

}  // namespace talvio::scenario
