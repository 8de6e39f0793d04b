// Loads the common-control classes the dialogs use (InitCommonControls).
#pragma once

namespace talvio {

void InitialiseCommonControls();

}  // namespace talvio
