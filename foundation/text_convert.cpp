#include "foundation/text_convert.h"

#include <algorithm>

namespace talvio {
namespace {

bool IsSingleInEveryPage(char c) { return static_cast<unsigned char>(c) < 0x40; }

}  // namespace

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string AnsiToUtf8(std::string_view ansi) {
    if (IsAscii(ansi)) return std::string(ansi);
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 2);
    std::size_t i = 0;
    while (i < ansi.size()) {
        if (IsSingleInEveryPage(ansi[i])) {
            out += ansi[i++];
            continue;
        }
        const std::size_t start = i;
        while (i < ansi.size() && !IsSingleInEveryPage(ansi[i])) ++i;
        const std::string_view run = ansi.substr(start, i - start);
        if (IsAscii(run)) out.append(run);
        else out += WideToUtf8(AnsiToWide(run));
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    return WideToAnsi(Utf8ToWide(utf8));
}

}  // namespace talvio
