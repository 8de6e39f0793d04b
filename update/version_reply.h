// The update server's reply: plain text of "name=value" (or "name value")
// pairs, one a line, read for "v" (the newest version) and "result" (above
// 0 when the server accepted the check). Works on the given bytes only:
// nothing past the view is read, and no terminating zero is needed.
// Plain function; any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvio {

struct VersionReply {
    std::optional<std::wstring> latestVersion;  // the last "v" with a value
    std::optional<int> resultCode;              // the last "result" with a value
};

// Each step skips spaces, takes the name up to the first space or '=' of
// the line and the value from there to the line's end, without the spaces
// around it. Names compare without case. A pair with a value is taken and
// the scan goes on at the value, so one line may carry further pairs; a
// name without one is passed over. The version text is UTF-8; the result
// is read as a decimal number (sign, digits; 0 without digits, clamped to
// int).
VersionReply ParseVersionReply(std::string_view reply);

}  // namespace talvio
