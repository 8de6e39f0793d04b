// What the client-reply fuzz targets share: the input read as choices, the
// protocol words they pick from, the split of raw input into replies and
// the feeding of either to a connector.
// Header-only, in an anonymous namespace: every target links into the one
// replay test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hosted/desktop.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

constexpr int kIdRange = 32;
constexpr int kHandleRange = 24;

class ReplyFuzzInput {
public:
    ReplyFuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return position_ >= size_; }
    int Byte() { return position_ < size_ ? data_[position_++] : 0; }
    template <std::size_t N>
    std::string_view Pick(const std::string_view (&words)[N]) { return words[Byte() % N]; }
    std::string Id() { return std::to_string(Byte() % kIdRange); }
    // With `highBytes`, now and then a byte above 0x7F too (ANSI texts).
    std::string Handle(bool highBytes = false) {
        std::string handle = talvio::fuzz::Handle(Byte() % kHandleRange);
        if (highBytes && Byte() % 4 == 0) handle.push_back(static_cast<char>(0x80 | Byte()));
        return handle;
    }
    std::string Text() {
        std::string text;
        const int length = Byte() % 12;
        for (int i = 0; i < length && !empty(); ++i) text.push_back(static_cast<char>(Byte()));
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

constexpr std::string_view kCallStatus[] = {"ROUTING", "RINGING", "INPROGRESS", "ONHOLD", "FINISHED",
                                            "MISSED", "REFUSED", "FAILED", "BUSY", "UNPLACED", "x"};
constexpr std::string_view kCallProperty[] = {"TYPE", "PARTNER_HANDLE", "PARTNER_DISPNAME",
                                              "PSTN_NUMBER", "TIMESTAMP", "DURATION", "CONF_ID"};
constexpr std::string_view kCallType[] = {"INCOMING_P2P", "INCOMING_PSTN", "OUTGOING_P2P",
                                          "OUTGOING_PSTN", "?"};
constexpr std::string_view kUserProperty[] = {
    "DISPLAYNAME", "FULLNAME", "ONLINESTATUS", "BUDDYSTATUS", "IS_CF_ACTIVE", "SPEEDDIAL",
    "COUNTRY",     "CITY",     "PROVINCE",     "PHONE_HOME", "PHONE_OFFICE", "PHONE_MOBILE"};
constexpr std::string_view kUserValue[] = {"ONLINE", "OFFLINE", "SKYPEOUT", "2", "3", "TRUE", "",
                                           "-7",     "99999999999", "Ann", "+358 40"};

// Raw input as replies: one a line, sent with its terminating zero when the
// line's first byte is odd.
template <typename Send>
void ForEachRawReply(std::string_view text, Send&& send) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        send(line, !line.empty() && (line[0] & 1));
        start = end + 1;
    }
}

// The input after its first byte, fed to a connector: with that byte even,
// as raw replies (`send(line, withZero)`), then `check(raw input size)`
// after each; odd, as choices between an operation (one step in four,
// `operate(in)`) and a generated reply (`send(generate(in), true)`), then
// `check(generatedBound)` after each. Messages are pumped after every step.
template <typename Send, typename Operate, typename Generate, typename Check>
void FeedReplies(const std::uint8_t* data, std::size_t size, std::size_t generatedBound, Send&& send,
                 Operate&& operate, Generate&& generate, Check&& check) {
    if ((data[0] & 1) == 0) {
        const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
        ForEachRawReply(text, [&](std::string_view line, bool withZero) {
            send(line, withZero);
            os::hosted::PumpMessages();
            check(text.size());
        });
        return;
    }
    ReplyFuzzInput in(data + 1, size - 1);
    while (!in.empty()) {
        if (in.Byte() % 4 == 0) operate(in);
        else send(generate(in), true);
        os::hosted::PumpMessages();
        check(generatedBound);
    }
}

}  // namespace
