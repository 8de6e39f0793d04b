#include "tests/ui/support/fake_tray_shell.h"

#include <algorithm>

namespace talvio::testing {

std::wstring FakeTrayShell::TipOf(const NotifyIconData& data) {
    const auto end = std::find(data.tip.begin(), data.tip.end(), L'\0');
    return std::wstring(data.tip.begin(), end);
}

bool FakeTrayShell::notifyIcon(std::uint32_t message, const NotifyIconData& data) {
    const auto key = std::make_pair(data.window, data.id);
    const auto found = shown_.find(key);
    bool accepted = false;
    if (message == kNimAdd && found == shown_.end()) {
        Shown& icon = shown_[key];
        if (data.flags & kNifIcon) icon.icon = data.icon;
        if (data.flags & kNifTip) icon.tip = TipOf(data);
        if (data.flags & kNifMessage) icon.callbackMessage = data.callbackMessage;
        accepted = true;
    } else if (message == kNimModify && found != shown_.end()) {
        if (data.flags & kNifIcon) found->second.icon = data.icon;
        if (data.flags & kNifTip) found->second.tip = TipOf(data);
        if (data.flags & kNifMessage) found->second.callbackMessage = data.callbackMessage;
        accepted = true;
    } else if (message == kNimDelete && found != shown_.end()) {
        shown_.erase(found);
        accepted = true;
    }
    calls_.push_back({message, data, accepted});
    return accepted;
}

std::optional<FakeTrayShell::Shown> FakeTrayShell::Icon(os::Hwnd window, std::uint32_t id) const {
    const auto found = shown_.find({window, id});
    if (found == shown_.end()) return std::nullopt;
    return found->second;
}

void FakeTrayShell::RestartExplorer() {
    shown_.clear();
    os::SendMessageTimeout(os::kBroadcast, os::RegisterWindowMessage(L"TaskbarCreated"), 0, 0,
                           os::SMTO_NORMAL, 1000, nullptr);
}

}  // namespace talvio::testing
