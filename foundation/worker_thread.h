// Base of every background thread: 1 MB stack, a stop flag that run()
// polls, and a stop() that returns only after run() has returned.
// start(), stop() and wait() belong to the owning thread; stop() must not be
// called by two threads at once. The thread itself may call stop(): that
// only raises the flag, and the owner's own stop() later waits and closes.
// The handle is only ever touched by the owner, so it is closed exactly once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/unique.h"

namespace talvio {

class WorkerThread {
public:
    static constexpr std::size_t kStackSize = 0x100000;

    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Stops the thread. Derived destructors must call stop() first: run()
    // must not outlive the members it uses.
    virtual ~WorkerThread();

    // 0 when no thread was running; otherwise waits for run() to return,
    // closes the handle and returns 1.
    virtual int stop();
    // False when a thread is still running or none could be created.
    virtual bool start();
    // True when the thread has ended (or there is none). Never waits when
    // called by the thread itself; then false.
    bool wait(std::uint32_t milliseconds);
    bool isRunning() const { return running_.load(); }

protected:
    virtual unsigned run() = 0;
    // Called by stop() once the flag is raised, before it waits: a thread
    // that blocks (in a message loop) is woken here to see the flag.
    virtual void wake() {}
    bool stopRequested() const { return stopRequested_.load(); }

private:
    static unsigned Entry(void* self);
    bool calledByThreadItself() const;

    os::Handle handle_;
    std::atomic<os::ThreadId> threadId_{0};  // set by the thread while run() runs
    std::atomic<bool> running_{false};       // from start() until run() returned
    std::atomic<bool> stopRequested_{false};
};

}  // namespace talvio
