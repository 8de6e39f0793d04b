// Base of every background thread: 1 MB stack, a stop flag that run()
// polls, and a stop() that returns only after run() has returned.
// start() and stop() are called by the owning thread; stop() must not be
// called by two threads at once.
#pragma once

#include <atomic>
#include <cstdint>

#include "foundation/mutex.h"
#include "platform/unique.h"

namespace talvio {

class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    virtual ~WorkerThread();  // derived destructors must call stop() first

    virtual int stop();
    virtual bool start();
    bool wait(std::uint32_t milliseconds);  // true when the thread has ended
    bool isRunning() const { return threadId_.load() != 0; }

protected:
    virtual unsigned run() = 0;
    bool stopRequested() const { return stopRequested_.load(); }

private:
    static unsigned Entry(void* self);

    os::Handle handle_;
    std::atomic<os::ThreadId> threadId_{0};
    std::atomic<bool> stopRequested_{false};
};

}  // namespace talvio
