#include "app/common_controls.h"

namespace talvio {

// The hosted desktop has its controls built in.
void InitialiseCommonControls() {}

}  // namespace talvio
