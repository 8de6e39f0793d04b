// Shared helpers of the settings tests: feeding XML text to the readers.
#pragma once

#include <string_view>

#include "foundation/byte_stream.h"
#include "settings/app_settings.h"
#include "settings/settings_reader.h"

namespace talvio::testing {

inline void ReadText(AppSettings& settings, std::string_view xml) {
    MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
    ReadSettings(settings, input);
}

}  // namespace talvio::testing
