// The setter tool's command line: "/o" playback device, "/i" recording
// device, "/a" only replace devices whose current value mentions USB.
#pragma once

#include <string>
#include <string_view>

namespace talvio {

struct SonvarOptions {
    std::wstring playback;  // empty: leave the playback device alone
    std::wstring record;    // empty: leave the recording device alone
    bool usbOnly = false;
};

inline constexpr std::size_t kMaxDeviceNameLength = 255;

// Scans the whole command line, the program's own name included. Values are
// bare (up to a space), in double quotes or in apostrophes; option letters
// are lower case only; a later value replaces an earlier one.
SonvarOptions ScanSonvarCommandLine(std::wstring_view line);

}  // namespace talvio
