// Replacing a settings file so that a crash, a full disk or a second writer
// never leaves it empty or half written: the bytes go to a new file beside
// the old one, which then takes the old one's place in one step.
#pragma once

#include <string>
#include <string_view>

namespace talvio {

// True when `path` now holds exactly `bytes`. On failure the old file, if
// any, is untouched and the temporary file is removed.
bool ReplaceFileContents(const std::wstring& path, std::string_view bytes);

}  // namespace talvio
