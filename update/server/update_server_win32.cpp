// The update server and the WinINet client that reaches it. The program's
// build always sets INTERNET_FLAG_SECURE: the reply decides which installer
// the user is offered, so it must come from our host and nobody between.
// Only a test build of the program (TALVIO_LOOPBACK_UPDATE_SERVER) talks
// plain HTTP, to a server on this machine whose port it reads from
// TALVIO_TEST_UPDATE_PORT.
#include "platform/win32/windows_api.h"

#include <wininet.h>

#include <algorithm>
#include <cwchar>

#include "foundation/mutex.h"
#include "platform/unique.h"
#include "update/update_server.h"

namespace talvio {
namespace {

#ifdef TALVIO_LOOPBACK_UPDATE_SERVER
constexpr DWORD kSecurity = 0;

UpdateServer Server() {
    wchar_t port[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"TALVIO_TEST_UPDATE_PORT", port, 16);
    const unsigned long number = length > 0 && length < 16 ? std::wcstoul(port, nullptr, 10) : 0;
    return {"http", "127.0.0.1", static_cast<std::uint16_t>(number <= 0xFFFF ? number : 0)};
}
#else
constexpr DWORD kSecurity = INTERNET_FLAG_SECURE;

UpdateServer Server() { return {kUpdateScheme, kUpdateHost, kUpdatePort}; }
#endif

// Bounds each step, so that a silent server cannot hold the program's exit
// for long.
constexpr DWORD kTimeoutMs = 30000;

struct InternetTraits {
    using Type = HINTERNET;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { InternetCloseHandle(handle); }
};
using InternetHandle = os::Unique<InternetTraits>;

class WinInetClient final : public HttpClient {
public:
    bool post(const HttpRequest& request, std::span<char> buffer, std::size_t& received) override {
        received = 0;
        const HINTERNET root = Root();
        if (!root) return false;
        InternetHandle connection(InternetConnectA(root, request.host.c_str(), request.port, nullptr,
                                                   nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection) return false;
        const DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                            INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE |
                            kSecurity;
        InternetHandle exchange(HttpOpenRequestA(connection.get(), "POST", request.path.c_str(), nullptr,
                                                 nullptr, nullptr, flags, 0));
        if (!exchange) return false;
        std::string body = request.body;  // HttpSendRequestA takes a non-const buffer
        if (!HttpSendRequestA(exchange.get(), request.headers.c_str(),
                              static_cast<DWORD>(request.headers.size()), body.data(),
                              static_cast<DWORD>(body.size()))) {
            return false;
        }
        while (received < buffer.size()) {
            const DWORD room = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - received, 0x10000));
            DWORD got = 0;
            if (!InternetReadFile(exchange.get(), buffer.data() + received, room, &got) || got == 0) break;
            received += std::min<DWORD>(got, room);
        }
        return true;
    }

    // Closing the root handle makes WinINet fail what is pending under it.
    void cancel() override {
        MutexLock lock(mutex_);
        cancelled_ = true;
        root_.reset();
    }

private:
    // Opened on first use and kept until cancel().
    HINTERNET Root() {
        MutexLock lock(mutex_);
        if (!root_ && !cancelled_) {
            root_.reset(InternetOpenA("Microsoft Internet Explorer", INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                      nullptr, 0));
            for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
                DWORD timeout = kTimeoutMs;
                if (root_) InternetSetOptionA(root_.get(), option, &timeout, sizeof(timeout));
            }
        }
        return root_.get();
    }

    Mutex mutex_;
    InternetHandle root_;
    bool cancelled_ = false;
};

}  // namespace

UpdateServer ProgramUpdateServer() { return Server(); }

HttpClient& UpdateServerClient() {
    static WinInetClient client;
    return client;
}

}  // namespace talvio
