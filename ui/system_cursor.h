// Shared system cursors, as the opaque handle values os::WindowClass takes.
#pragma once

#include <cstdint>

namespace talvio {

std::uintptr_t ArrowCursor();  // IDC_ARROW; shared, never destroyed

}  // namespace talvio
