#include "update/version_reply.h"

#include <algorithm>

#include "connectors/reply_text.h"
#include "foundation/text_convert.h"

namespace talvio {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

VersionReply ParseVersionReply(std::string_view reply) {
    VersionReply parsed;
    std::size_t position = 0;
    while (position < reply.size()) {
        while (position < reply.size() && reply[position] == ' ') ++position;
        const std::size_t lineEnd =
            std::find_if(reply.begin() + position, reply.end(), IsLineEnd) - reply.begin();
        if (position == lineEnd) {
            ++position;  // an empty line, or the end
            continue;
        }
        const std::size_t nameEnd = std::find_if(reply.begin() + position, reply.begin() + lineEnd,
                                                 [](char c) { return c == ' ' || c == '='; }) -
                                    reply.begin();
        const std::string_view name = reply.substr(position, nameEnd - position);
        std::size_t valueStart = std::min(nameEnd + 1, lineEnd);
        while (valueStart < lineEnd && reply[valueStart] == ' ') ++valueStart;
        std::size_t valueEnd = lineEnd;
        while (valueEnd > valueStart && reply[valueEnd - 1] == ' ') --valueEnd;
        const std::string_view value = reply.substr(valueStart, valueEnd - valueStart);
        if (value.empty()) {
            position = nameEnd + 1;
            continue;
        }
        if (reply_text::EqualsNoCase(name, "v")) {
            parsed.latestVersion = Utf8ToWide(value);
        } else if (reply_text::EqualsNoCase(name, "result")) {
            parsed.resultCode = reply_text::ParseDecimal(value);
        }
        position = valueStart;
    }
    return parsed;
}

}  // namespace talvio
