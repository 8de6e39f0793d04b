// Unnamed recursive OS mutex. Any thread may use it; the thread that holds
// it may lock it again and must unlock it as often.
#pragma once

#include "platform/unique.h"

namespace talvio {

class Mutex {
public:
    Mutex();  // throws std::runtime_error when the OS has no mutex to give
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    // Waits without time-out. Throws std::system_error when the wait fails
    // (a handle that is no longer valid): going on unlocked would corrupt
    // what the lock guards.
    void lock();
    void unlock();

private:
    os::Handle handle_;
};

class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : mutex_(mutex) { mutex_.lock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    ~MutexLock() { mutex_.unlock(); }

private:
    Mutex& mutex_;
};

}  // namespace talvio
