#include "platform/win32/windows_api.h"

#include "ui/system_cursor.h"

namespace talvio {

std::uintptr_t ArrowCursor() {
    return reinterpret_cast<std::uintptr_t>(LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace talvio
