// The one reader of config.xml and FeeConf.xml: both files go through the
// same element rules, so settings elements in FeeConf.xml take effect and
// rate items in config.xml fill the rate table. Main thread only.
#pragma once

#include "foundation/byte_stream.h"

namespace talvio {

class AppSettings;

// Reads one whole file into `settings`. Malformed XML ends the read: what
// came before the fault stays, everything else keeps its value.
void ReadSettings(AppSettings& settings, ByteStream& input);

}  // namespace talvio
