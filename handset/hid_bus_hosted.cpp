#include "handset/hid_bus.h"

namespace talvio {

// The hosted desktop has no HID stack; tests install a fake bus.
HidBus* SystemHidBus() { return nullptr; }

}  // namespace talvio
