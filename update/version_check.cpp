#include "update/version_check.h"

#include <algorithm>
#include <array>

#include "foundation/text_convert.h"
#include "foundation/trace_log.h"
#include "settings/app_settings.h"
#include "update/update_prompt.h"
#include "update/version_number.h"
#include "update/version_reply.h"
#include "update/web_browser.h"

namespace talvio {
namespace {

constexpr int kTraceLevel = 3;

}  // namespace

VersionCheck::VersionCheck(HttpClient& http, UpdateServer server, AppSettings& settings, WebBrowser& browser)
    : http_(http), server_(std::move(server)), settings_(settings), browser_(browser) {}

VersionCheck::~VersionCheck() {
    // A blocked exchange would hold the exit until its time-out.
    http_.cancel();
    worker_.stop();
}

int VersionCheck::StartCheck() {
    if (checkState_.load() == 1) return 1;
    worker_.start();  // refused while the last one still runs
    return 0;
}

int VersionCheck::TakeNewerFlag() {
    int newer = 0;
    return newerState_.compare_exchange_strong(newer, -1) ? 0 : 1;
}

std::intptr_t VersionCheck::ShowUpdatePrompt(os::Hwnd owner, OpenDialogRegister& dialogs) {
    if (settings_.checkVer == 0) return 0;
    UpdatePrompt prompt(settings_.checkVer, browser_, Url(kDownloadPath), dialogs);
    return prompt.show(owner);
}

void VersionCheck::OpenVersionPage() {
    browser_.open(Url(kVersionPagePath) + L"?ver=" + Utf8ToWide(kProgramVersion));
}

std::wstring VersionCheck::Url(std::string_view path) const {
    return Utf8ToWide(server_.scheme + "://" + server_.host + ":" + std::to_string(server_.port)) +
           Utf8ToWide(path);
}

unsigned VersionCheck::Exchange::run() {
    check_.RunExchange();
    return 0;
}

// A failed exchange leaves the result as it was, so the check counts as
// failed and is tried again later.
void VersionCheck::RunExchange() {
    const HttpRequest request{server_.host, server_.port, std::string(kCheckPath), std::string(kHeaders),
                              "v=" + std::string(kProgramVersion) + "&sid=&uid="};
    std::array<char, kReplyLimit + 1> reply{};
    std::size_t received = 0;
    if (http_.post(request, std::span<char>(reply.data(), kReplyLimit), received)) {
        const VersionReply parsed =
            ParseVersionReply(std::string_view(reply.data(), std::min(received, kReplyLimit)));
        if (parsed.resultCode) resultCode_ = *parsed.resultCode;
        const char* offer = "no version";
        if (parsed.latestVersion) {
            const bool newer = CompareVersions(Utf8ToWide(kProgramVersion), *parsed.latestVersion) < 0;
            newerState_.store(newer ? 0 : 1);
            offer = newer ? "a newer version" : "no newer version";
        }
        TraceLog::global().trace(kTraceLevel, "version check: result %d, %s", resultCode_, offer);
    } else {
        TraceLog::global().trace(kTraceLevel, "version check: no exchange with %s", server_.host.c_str());
    }
    checkState_.store(resultCode_ > 0 ? 1 : -1);
}

}  // namespace talvio
