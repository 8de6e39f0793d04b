#include "foundation/mutex.h"

#include <stdexcept>

namespace talvio {

// A lock that silently fails to lock is worse than no object at all.
Mutex::Mutex() : handle_(os::CreateMutex(false, nullptr)) {
    if (!handle_) throw std::runtime_error("CreateMutex failed");
}

void Mutex::lock() { os::WaitForSingleObject(handle_.get(), os::kInfinite); }

void Mutex::unlock() { os::ReleaseMutex(handle_.get()); }

}  // namespace talvio
