// Unnamed recursive OS mutex. Any thread may use it.
#pragma once

#include "platform/unique.h"

namespace talvio {

class Mutex {
public:
    Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();    // waits without time-out; the holder may lock again
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
