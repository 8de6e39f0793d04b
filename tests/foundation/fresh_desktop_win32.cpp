#include "tests/foundation/fresh_desktop.h"

namespace talvio::testing {

void ResetDesktop() {}

}  // namespace talvio::testing
