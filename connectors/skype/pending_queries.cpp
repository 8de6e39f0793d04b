#include "connectors/skype/pending_queries.h"

#include <algorithm>

#include "connectors/reply_text.h"

namespace talvio {

bool PendingQueries::Register(std::string_view command, std::string_view replyKeyword,
                              std::uint32_t now) {
    const bool known = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return reply_text::EqualsNoCase(entry.command, command);
    });
    if (known) return false;
    entries_.push_back({std::string(command), std::string(replyKeyword), now});
    return true;
}

void PendingQueries::Satisfy(std::string_view replyKeyword) {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.replyKeyword == replyKeyword;
    });
    if (found != entries_.end()) entries_.erase(found);
}

}  // namespace talvio
