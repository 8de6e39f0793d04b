// The program's side of the caller-id hook library, for old Skype clients:
// a thread that makes the HookWindow, publishes it in the shared block,
// has the library hook the client's window and then serves the window's
// messages; the library's caller texts are forwarded from there to the
// handset link's device-notification window as message 1260.
//
// Ownership: the LCD screen keeps at most one agent as its caller-id
// watcher, made by StartHookAgent. The notify and target windows are not
// owned. Threading: made, started and destroyed on the main thread; the
// HookWindow belongs to the agent thread, which is the only one that
// touches it.
#pragma once

#include <atomic>
#include <cstdint>

#include "connectors/hook_library.h"
#include "connectors/service_ports.h"
#include "foundation/worker_thread.h"

namespace talvio {

// The hidden window the library reports to. Anything may send it messages:
// a WM_COPYDATA is forwarded only when it has a payload of 5 to 1023 bytes
// whose first 32-bit little-endian value is at least 50; the copy goes as
// a caller-text block (handset/caller_text.h) that the receiver takes back,
// and a post that fails takes it back at once.
class HookWindow {
public:
    HookWindow(os::Hwnd notifyWindow, HookLibrary& library)
        : notifyWindow_(notifyWindow), library_(library) {}
    HookWindow(const HookWindow&) = delete;
    HookWindow& operator=(const HookWindow&) = delete;
    // Destroys the window (on the thread that made it) and closes the block.
    ~HookWindow();

    // A hidden pop-up with an empty title, published in the shared block.
    bool Create();
    os::Hwnd window() const { return window_; }

private:
    static os::LResult Procedure(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                                 os::LParam lParam);
    void Forward(os::WParam sender, const os::CopyDataStruct* data) const;

    os::Hwnd notifyWindow_;
    HookLibrary& library_;
    os::Hwnd window_ = nullptr;
    std::unique_ptr<SharedHookBlock> block_;
};

class HookAgent final : public CallerIdWatcher, public WorkerThread {
public:
    // The library's time to find the block before it is asked to hook.
    static constexpr std::uint32_t kHookDelayMs = 200;

    HookAgent(os::Hwnd notifyWindow, os::Hwnd targetWindow, HookLibrary& library)
        : notifyWindow_(notifyWindow), targetWindow_(targetWindow), library_(library) {}
    // Stops the thread, which unhooks and destroys its window on its way out.
    ~HookAgent() override { stop(); }

protected:
    unsigned run() override;
    void wake() override;

private:
    os::Hwnd notifyWindow_;
    os::Hwnd targetWindow_;
    HookLibrary& library_;
    // The agent thread's window while its loop may wait for messages.
    std::atomic<os::Hwnd> window_{nullptr};
};

// The screen's caller-id watcher factory: an agent with the machine's hook
// library, started; null when its thread cannot start.
std::unique_ptr<CallerIdWatcher> StartHookAgent(os::Hwnd notifyWindow, os::Hwnd targetWindow);

}  // namespace talvio
