// The table of supported handset models, searched in order (model 11, then 10).
#pragma once

#include <memory>

#include "handset/handset_device.h"

namespace talvio {

// A new device object for the ids, or null for an unsupported pair.
std::unique_ptr<HandsetDevice> CreateHandset(std::uint16_t vendorId, std::uint16_t productId,
                                             const HandsetContext& context);

}  // namespace talvio
