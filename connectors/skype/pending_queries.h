// Attach-time queries that are repeated until the client answers them.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talvio {

class PendingQueries {
public:
    struct Entry {
        std::string command;
        std::string replyKeyword;  // reply prefix, with its trailing space
        std::uint32_t sentAt;      // tick count of the last send
    };

    // Appends the entry unless one with the same command (any case) is
    // pending; returns whether it was appended.
    bool Register(std::string_view command, std::string_view replyKeyword, std::uint32_t now);
    // Removes the first entry waiting for this reply keyword.
    void Satisfy(std::string_view replyKeyword);
    // Calls `resend(command)` for each entry sent more than `ageMs` before
    // `now`, renewing its time stamp.
    template <typename Resend>
    void ForEachOverdue(std::uint32_t now, std::uint32_t ageMs, Resend&& resend) {
        for (Entry& entry : entries_) {
            // Unsigned difference: correct across the 49.7-day tick wrap.
            if (now - entry.sentAt > ageMs) {
                entry.sentAt = now;
                resend(entry.command);
            }
        }
    }
    void Clear() { entries_.clear(); }
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

}  // namespace talvio
