// Where the update check goes, and the HTTP client that reaches it. The
// program's build talks https to the product's update host on port 443 and
// has no way to do otherwise; a test build of the program links a variant
// that talks plain HTTP to a server on this machine.
#pragma once

#include <cstdint>
#include <string>

#include "update/http_client.h"

namespace talvio {

struct UpdateServer {
    std::string scheme;  // of the pages opened in the browser
    std::string host;
    std::uint16_t port = 0;
};

inline constexpr const char* kUpdateScheme = "https";
inline constexpr const char* kUpdateHost = "update.talvio.com";
inline constexpr std::uint16_t kUpdatePort = 443;

// Both live for the whole process; the client may be used from the version
// check's worker thread.
UpdateServer ProgramUpdateServer();
HttpClient& UpdateServerClient();

}  // namespace talvio
