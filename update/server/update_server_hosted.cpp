// The hosted desktop has no network: every exchange fails, as with the
// cable out.
#include "update/update_server.h"

namespace talvio {
namespace {

class NoNetwork final : public HttpClient {
public:
    bool post(const HttpRequest&, std::span<char>, std::size_t& received) override {
        received = 0;
        return false;
    }
    void cancel() override {}
};

}  // namespace

UpdateServer ProgramUpdateServer() { return {kUpdateScheme, kUpdateHost, kUpdatePort}; }

HttpClient& UpdateServerClient() {
    static NoNetwork client;
    return client;
}

}  // namespace talvio
