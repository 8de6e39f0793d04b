#include "ui/system_cursor.h"

namespace talvio {

// The hosted desktop draws nothing; the resource id stands in for the handle.
std::uintptr_t ArrowCursor() { return 32512; }

}  // namespace talvio
