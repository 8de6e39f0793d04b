// The background version check: a worker thread tells the update server the
// program's version and learns the newest one; the main thread reads the
// outcome through two single-word flags and offers a newer version once.
// The tray application drives it (start-up, 30-minute retry, 5-second poll)
// and opens the version page from its menu.
//
// Ownership: the HTTP client, the settings and the browser are not owned
// and outlive this object. It owns the worker, which it ends (cancelling
// the exchange under way) when it is destroyed.
//
// Threading: every operation belongs to the main thread. The worker only
// runs the exchange and writes the flags; it touches nothing else.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/worker_thread.h"
#include "platform/platform.h"
#include "update/update_server.h"

namespace talvio {

class AppSettings;
class OpenDialogRegister;
class WebBrowser;

class VersionCheck {
public:
    static constexpr std::string_view kCheckPath = "/talvio/VersionCheck.php";
    static constexpr std::string_view kVersionPagePath = "/talvio/CheckVer.php";
    static constexpr std::string_view kDownloadPath = "/download/TalvioSetup.exe";
    static constexpr std::string_view kHeaders =
        "User-Agent: Mozilla/4.0\r\nContent-Type: application/x-www-form-urlencoded";
    // The most of a reply that is read and parsed.
    static constexpr std::size_t kReplyLimit = 4999;

    VersionCheck(HttpClient& http, UpdateServer server, AppSettings& settings, WebBrowser& browser);
    VersionCheck(const VersionCheck&) = delete;
    VersionCheck& operator=(const VersionCheck&) = delete;
    ~VersionCheck();

    // 1 at once when a check has succeeded. Otherwise starts one unless one
    // is still running, and returns 0.
    int StartCheck();
    bool HasSucceeded() const { return checkState_.load() > 0; }
    // 0 once for each time the server reported a newer version (the report
    // is consumed); 1 otherwise.
    int TakeNewerFlag();
    // The update prompt, modal, owned by `owner`; the dialog records itself
    // in `dialogs`. Returns 0, showing nothing, when the user declined
    // further offers (checkVer 0); otherwise what the prompt ended with.
    std::intptr_t ShowUpdatePrompt(os::Hwnd owner, OpenDialogRegister& dialogs);
    // The server's version page, told this program's version.
    void OpenVersionPage();

private:
    static constexpr int kNoResult = -99;

    class Exchange final : public WorkerThread {
    public:
        explicit Exchange(VersionCheck& check) : check_(check) {}
        ~Exchange() override { stop(); }

    private:
        unsigned run() override;
        VersionCheck& check_;
    };

    void RunExchange();
    std::wstring Url(std::string_view path) const;

    HttpClient& http_;
    UpdateServer server_;
    AppSettings& settings_;
    WebBrowser& browser_;
    // Written by the worker, read by the main thread.
    std::atomic<int> checkState_{0};   // 0 not finished, 1 succeeded, -1 failed
    std::atomic<int> newerState_{-1};  // -1 nothing to report, 0 newer version, 1 not newer
    // The worker's alone; kept across checks.
    int resultCode_ = kNoResult;
    Exchange worker_{*this};  // last: it goes before what it uses
};

}  // namespace talvio
