#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include "app/common_controls.h"

namespace talvio {

void InitialiseCommonControls() { InitCommonControls(); }

}  // namespace talvio
