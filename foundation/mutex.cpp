#include "foundation/mutex.h"

#include <stdexcept>
#include <system_error>

namespace talvio {

// A lock that silently fails to lock is worse than no object at all.
Mutex::Mutex() : handle_(os::CreateMutex(false, nullptr)) {
    if (!handle_) throw std::runtime_error("CreateMutex failed");
}

void Mutex::lock() {
    // Abandoned still means owned: the thread that held it has ended.
    const std::uint32_t result = os::WaitForSingleObject(handle_.get(), os::kInfinite);
    if (result != os::kWaitObject0 && result != os::kWaitAbandoned) {
        throw std::system_error(static_cast<int>(os::GetLastError()), std::system_category(),
                                "Mutex wait failed");
    }
}

void Mutex::unlock() { os::ReleaseMutex(handle_.get()); }

}  // namespace talvio
