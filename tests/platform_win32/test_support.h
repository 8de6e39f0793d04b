// Helpers for the Win32 agreement tests: windows of a test class that answer
// through a std::function, threads that own and pump windows, events, and
// a bounded message pump. Free of <windows.h> so that the tests use the os::
// names; the Win32-only pieces live in test_support_win32.cpp.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/unique.h"

namespace talvio::test {

// Per-window wait of the tests' broadcasts: windows of other programs in
// the prefix (other test processes) need not pump, and each one that does
// not costs this much.
inline constexpr std::uint32_t kBroadcastWaitMs = 1000;

// Answers a message, or returns nothing to leave it to DefWindowProc.
using Handler =
    std::function<std::optional<os::LResult>(std::uint32_t message, os::WParam, os::LParam)>;

// A window of the test class, created on the calling thread (which must also
// destroy it). The handler runs on that thread; it is bound through the
// creation parameter, as product windows are.
class TestWindow {
public:
    explicit TestWindow(Handler handler = {}, os::Hwnd parent = nullptr,
                        std::wstring_view title = L"", std::uint32_t style = 0);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    os::Hwnd hwnd() const { return hwnd_; }
    static const wchar_t* ClassName();

private:
    static os::LResult Proc(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                            os::LParam lParam);

    Handler handler_;
    os::Hwnd hwnd_ = nullptr;
};

// Manual-reset event.
class Event {
public:
    Event();
    void Set();
    bool Wait(std::uint32_t timeoutMs);

private:
    os::Handle handle_;
};

// Runs body on a thread made by os::CreateThread; the destructor joins.
class Thread {
public:
    explicit Thread(std::function<void()> body, std::size_t stackSize = 64 * 1024);
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    os::KernelHandle handle() const { return handle_.get(); }
    os::ThreadId id() const { return id_; }

private:
    std::function<void()> body_;
    os::Handle handle_;
    os::ThreadId id_ = 0;
};

// A thread that creates a top-level test window and runs a message loop
// until stopped. With a gate, it waits for the gate before it pumps (and
// meanwhile answers no sent message).
class WindowThread {
public:
    explicit WindowThread(Handler handler, Event* gate = nullptr);
    ~WindowThread();

    os::Hwnd hwnd() const { return hwnd_; }
    os::ThreadId id() const { return thread_.id(); }

private:
    void Run();

    Handler handler_;
    Event* gate_;
    Event created_;
    os::Hwnd hwnd_ = nullptr;
    Thread thread_;
};

// Dispatches the calling thread's messages until done() holds; gives up
// after timeoutMs of real time. Returns done().
bool PumpUntil(const std::function<bool()>& done, std::uint32_t timeoutMs = 5000);

// Handles all messages already queued for the calling thread.
void PumpPending();

// A child process; the destructor waits briefly and then terminates it.
class Process {
public:
    explicit Process(const std::wstring& commandLine);
    ~Process();

    bool started() const { return static_cast<bool>(handle_); }
    // The exit code, or nothing when it did not exit within timeoutMs.
    std::optional<std::uint32_t> WaitForExit(std::uint32_t timeoutMs);

private:
    os::Handle handle_;
};

// Full path of a file beside the test executable.
std::wstring BesideExecutable(std::wstring_view fileName);

}  // namespace talvio::test
