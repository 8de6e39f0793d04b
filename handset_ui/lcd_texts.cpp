#include "handset_ui/lcd_texts.h"

#include <array>
#include <utility>

#include "ui/locale_table.h"

namespace talvio {
namespace {

constexpr std::array<std::pair<int, std::wstring_view>, 26> kDefaults = {{
    {kLcdMenu, L"Menu"},
    {kLcdOk, L"OK"},
    {kLcdBack, L"Back"},
    {kLcdCall, L"Call"},
    {kLcdClear, L"Clear"},
    {kLcdDelete, L"Delete"},
    {kLcdDetail, L"Detail"},
    {kLcdPlay, L"Play"},
    {kLcdStop, L"Stop"},
    {kLcdCancel, L"Cancel"},
    {kLcdHangUp, L"HangUp"},
    {kLcdResume, L"Resume"},
    {kLcdAccept, L"Accept"},
    {kLcdRefuse, L"Refuse"},
    {kLcdEmpty, L"<Empty>"},
    {kLcdOffline, L"<offline>"},
    {kLcdUnavailable, L"<unavailable>"},
    {kLcdHold, L"Hold"},
    {kLcdMute, L"Mute"},
    {kLcdIncomingCall, L"Incoming Call"},
    {kLcdOutgoingCall, L"Outgoing Call"},
    {kLcdMissedCall, L"Missed Call"},
    {kLcdVoiceMail, L"Voice Mail"},
    {kLcdHistoryCall, L"History Call"},
    {kLcdActiveVoip, L"Active VOIP"},
    {kLcdVolumeSetting, L"Volume Setting"},
}};

// The defaults are ASCII, so ASCII case folding decides equality.
bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

std::span<const std::pair<int, std::wstring_view>> LcdTexts::All() { return kDefaults; }

std::wstring_view LcdTexts::English(int key) {
    for (const auto& [id, text] : kDefaults)
        if (id == key) return text;
    return {};
}

std::wstring LcdTexts::Text(int key) const {
    const std::wstring_view english = English(key);
    if (english.empty()) return {};
    return locale_ != nullptr ? locale_->getText(key, english) : std::wstring(english);
}

std::wstring LcdTexts::Localise(std::wstring_view text) const {
    for (const auto& [id, english] : kDefaults)
        if (EqualIgnoringCase(text, english)) return Text(id);
    return std::wstring(text);
}

}  // namespace talvio
