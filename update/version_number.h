// The program's own version and the order of version numbers. Plain
// functions, no OS calls; any thread.
#pragma once

#include <string_view>

#include "update/program_version.h"

namespace talvio {

// Sent to the update server and shown by the About dialog.
inline constexpr std::string_view kProgramVersion = TALVIO_VERSION_TEXT;

// Orders two dot-separated version numbers group by group: groups of digits
// compare as numbers (any length, leading zeros ignored), a missing or empty
// group counts as 0, and a group that is not all digits sorts after every
// number and compares with another such group as text. So "0.9.0.10" is
// above "0.9.0.5" and "1.0" equals "1.0.0.0". Negative, 0 or positive, as
// a is below, equal to or above b.
int CompareVersions(std::wstring_view a, std::wstring_view b);

}  // namespace talvio
