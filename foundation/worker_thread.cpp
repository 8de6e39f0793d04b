#include "foundation/worker_thread.h"

namespace talvio {

WorkerThread::~WorkerThread() { WorkerThread::stop(); }

unsigned WorkerThread::Entry(void* argument) {
    auto* self = static_cast<WorkerThread*>(argument);
    self->threadId_.store(os::GetCurrentThreadId());
    const unsigned result = self->run();
    self->threadId_.store(0);
    // Last touch of *self: once this is seen, the owner may destroy it.
    self->running_.store(false);
    return result;
}

bool WorkerThread::calledByThreadItself() const {
    const os::ThreadId id = threadId_.load();
    return id != 0 && id == os::GetCurrentThreadId();
}

bool WorkerThread::start() {
    if (running_.load()) return false;
    handle_.reset();  // a thread that ended by itself leaves its handle here
    stopRequested_.store(false);
    running_.store(true);
    os::ThreadId id = 0;
    handle_.reset(os::CreateThread(kStackSize, &WorkerThread::Entry, this, &id));
    if (!handle_) {
        running_.store(false);
        return false;
    }
    return true;
}

int WorkerThread::stop() {
    if (calledByThreadItself()) {
        stopRequested_.store(true);
        return 0;
    }
    if (!handle_) return 0;
    const bool wasRunning = running_.load();
    stopRequested_.store(true);
    wake();
    // Waiting on an ended thread's handle returns at once; the handle stays
    // open until here whoever finishes first.
    os::WaitForSingleObject(handle_.get(), os::kInfinite);
    stopRequested_.store(false);
    handle_.reset();
    return wasRunning ? 1 : 0;
}

bool WorkerThread::wait(std::uint32_t milliseconds) {
    if (calledByThreadItself()) return false;
    if (!handle_ || !running_.load()) return true;
    return os::WaitForSingleObject(handle_.get(), milliseconds) == os::kWaitObject0;
}

}  // namespace talvio
