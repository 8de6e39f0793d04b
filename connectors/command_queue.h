// The text commands of one connector on their way to its client: sent at
// once by the caller (priority 2) or queued for a worker thread that sends
// one command every 10 ms, normal (0) before background (1).
//
// Threads: Enqueue and SendNow are called on the main thread; the worker
// runs SendNow too. The owner's two window handles are read by both threads,
// so the owner keeps them in atomics and the queue only loads them. Queued
// commands are the queue's own strings; nothing is shared with the caller.
// Destruction stops the worker (waiting for a send in progress) and drops
// what is still queued.
#pragma once

#include <atomic>
#include <deque>
#include <string>
#include <string_view>

#include "foundation/mutex.h"
#include "foundation/worker_thread.h"
#include "platform/platform.h"

namespace talvio {

class CommandQueue : public WorkerThread {
public:
    enum Priority { kNormal = 0, kBackground = 1, kImmediate = 2 };
    static constexpr std::uint32_t kSendTimeoutMs = 2000;
    static constexpr std::uint32_t kSendPauseMs = 10;
    static constexpr std::uint32_t kIdlePollMs = 100;
    // Commands below this length are sent from a stack copy.
    static constexpr std::size_t kShortCommand = 256;

    CommandQueue() = default;
    ~CommandQueue() override;

    // Set once, before the first command. clientWindow is the receiver
    // (null while no client is attached), ownWindow goes out as wParam.
    // Both are owned by the connector and outlive the queue's worker.
    void SetOwner(const std::atomic<os::Hwnd>* clientWindow,
                  const std::atomic<os::Hwnd>* ownWindow);

    // Priority 2 sends before returning; 0 and 1 are queued (the worker is
    // started by the first one; while it cannot be started they are sent at
    // once); any other priority is dropped.
    void Enqueue(std::string_view command, int priority);

    // WM_COPYDATA to the client with the text and its terminating zero.
    // False when no client is attached, or on time-out or a hung client.
    bool SendNow(std::string_view command);

protected:
    unsigned run() override;

private:
    bool TakeNext(std::string& command);

    Mutex lock_;
    std::deque<std::string> normal_;
    std::deque<std::string> background_;
    bool threadStarted_ = false;
    const std::atomic<os::Hwnd>* clientWindow_ = nullptr;
    const std::atomic<os::Hwnd>* ownWindow_ = nullptr;
};

}  // namespace talvio
