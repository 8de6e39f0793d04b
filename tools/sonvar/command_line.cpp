#include "tools/sonvar/command_line.h"

namespace talvio {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

}  // namespace

SonvarOptions ScanSonvarCommandLine(std::wstring_view line) {
    SonvarOptions options;
    const std::size_t end = line.size();
    std::size_t at = 0;
    while (at < end) {
        if (line[at++] != L'/') continue;
        if (at == end) break;
        const wchar_t option = line[at];
        if (option == L'a') {
            options.usbOnly = true;
            ++at;
            continue;
        }
        // Not a letter: not an option word either, so it is scanned afresh.
        if (!IsLetter(option)) continue;
        // "/output" counts as "/o".
        while (at < end && !IsBlank(line[at])) ++at;
        if (option != L'o' && option != L'i') continue;

        while (at < end && IsBlank(line[at])) ++at;
        std::size_t stop;
        if (at < end && (line[at] == L'"' || line[at] == L'\'')) {
            const wchar_t quote = line[at++];
            stop = line.find(quote, at);
        } else {
            stop = line.find(L' ', at);  // a tab belongs to a bare value
        }
        if (stop == std::wstring_view::npos) stop = end;
        const std::wstring_view value = line.substr(at, stop - at);
        at = stop;
        if (value.empty()) continue;
        (option == L'o' ? options.playback : options.record) =
            value.substr(0, kMaxDeviceNameLength);
    }
    return options;
}

}  // namespace talvio
