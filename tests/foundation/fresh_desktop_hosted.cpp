#include "tests/foundation/fresh_desktop.h"

#include "platform/hosted/desktop.h"

namespace talvio::testing {

void ResetDesktop() { os::hosted::Reset(); }

}  // namespace talvio::testing
