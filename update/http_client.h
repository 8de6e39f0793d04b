// One HTTP exchange as a port, so the version check runs against a fake in
// tests and through WinINet in the program.
// Threading: post() runs on the version check's worker thread, cancel() on
// the main thread, possibly while a post() is under way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace talvio {

struct HttpRequest {
    std::string host;
    std::uint16_t port = 0;
    std::string path;
    std::string headers;  // lines separated by CR LF, without a final one
    std::string body;
};

class HttpClient {
public:
    // POSTs the request and reads the reply's body into `buffer` until the
    // server ends it or the buffer is full; `received` says how many bytes
    // came (never more than the buffer holds). False, with nothing read,
    // when no connection, request or send succeeded.
    virtual bool post(const HttpRequest& request, std::span<char> buffer, std::size_t& received) = 0;
    // Ends an exchange under way and refuses every later one; for the
    // process's end.
    virtual void cancel() = 0;

protected:
    ~HttpClient() = default;
};

}  // namespace talvio
