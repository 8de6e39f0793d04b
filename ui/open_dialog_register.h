// Where a desktop dialog records itself while it is open, so that a click
// on the tray icon brings it forward instead of opening the menu. The
// application object is the one register. Main thread only.
#pragma once

#include "platform/platform.h"

namespace talvio {

class OpenDialogRegister {
public:
    // Recorded only while no other dialog is.
    virtual void SetOpenDialog(os::Hwnd dialog) = 0;
    // Cleared only by the recorded dialog.
    virtual void ClearOpenDialog(os::Hwnd dialog) = 0;

protected:
    ~OpenDialogRegister() = default;
};

}  // namespace talvio
