// A notification area for hosted tests. It shows icons as the user would
// see them (an icon is added once, modified and deleted only while shown,
// as the real shell allows) and keeps every call made to it. Main thread
// only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/tray_shell.h"

namespace talvio::testing {

class FakeTrayShell final : public TrayShell {
public:
    struct Call {
        std::uint32_t message;
        NotifyIconData data;
        bool accepted;
    };
    struct Shown {
        os::Hicon icon = nullptr;
        std::wstring tip;  // what the tip field holds up to its terminator
        std::uint32_t callbackMessage = 0;
    };

    bool notifyIcon(std::uint32_t message, const NotifyIconData& data) override;

    const std::vector<Call>& Calls() const { return calls_; }
    std::optional<Shown> Icon(os::Hwnd window, std::uint32_t id) const;
    std::size_t IconCount() const { return shown_.size(); }

    // Explorer ends and starts again: every icon is gone, then the
    // registered "TaskbarCreated" message is broadcast to the top-level
    // windows.
    void RestartExplorer();

    // The tip field's text up to its terminator (the whole field when the
    // terminator is missing).
    static std::wstring TipOf(const NotifyIconData& data);

private:
    std::vector<Call> calls_;
    std::map<std::pair<os::Hwnd, std::uint32_t>, Shown> shown_;
};

}  // namespace talvio::testing
