// The client's version text is compared with fixed thresholds byte by byte
// as text, not numerically: "1.10" sorts below "1.4.0".
#pragma once

#include <string_view>

namespace talvio {

inline bool VersionBelow(std::string_view version, std::string_view threshold) {
    return version.compare(threshold) < 0;
}

}  // namespace talvio
