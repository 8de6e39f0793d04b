// The update check's ports for hosted tests: a scripted update server and a
// browser that only notes what it was asked to open. Header only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/hosted/desktop.h"
#include "update/http_client.h"
#include "update/web_browser.h"

namespace talvio::testing {

// Answers each post with the next scripted reply body, copying what the
// caller's buffer holds as a real client reads; with none left (or a
// scripted failure) the exchange fails as without a network. post() runs
// on the version check's worker thread.
class FakeHttpClient final : public HttpClient {
public:
    void Reply(std::string body) {
        std::lock_guard lock(mutex_);
        replies_.emplace_back(std::move(body));
    }
    void Fail() {
        std::lock_guard lock(mutex_);
        replies_.emplace_back(std::nullopt);
    }

    bool post(const HttpRequest& request, std::span<char> buffer, std::size_t& received) override {
        std::lock_guard lock(mutex_);
        requests_.push_back({request, os::hosted::Now()});
        received = 0;
        if (replies_.empty()) return false;
        const std::optional<std::string> reply = std::move(replies_.front());
        replies_.pop_front();
        if (!reply) return false;
        received = std::min(buffer.size(), reply->size());
        std::copy_n(reply->begin(), received, buffer.begin());
        return true;
    }
    void cancel() override {}

    struct Posted {
        HttpRequest request;
        std::uint64_t at;  // virtual time
    };
    std::vector<Posted> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    mutable std::mutex mutex_;
    std::deque<std::optional<std::string>> replies_;
    std::vector<Posted> requests_;
};

class FakeWebBrowser final : public WebBrowser {
public:
    void open(const std::wstring& url) override { opened.push_back(url); }
    std::vector<std::wstring> opened;
};

}  // namespace talvio::testing
