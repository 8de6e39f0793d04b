// The notification area (Shell_NotifyIconW) as a port, so the tray icon can
// be tested against a fake that shows what the user would see.
// Threading: called from the thread that owns the icon's window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace talvio {

inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
// The shell's tip field, in wide characters with the terminator.
inline constexpr std::size_t kShellTipLength = 128;

// The fields of NOTIFYICONDATAW the tray fills.
struct NotifyIconData {
    os::Hwnd window = nullptr;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;  // kNif*
    std::uint32_t callbackMessage = 0;
    os::Hicon icon = nullptr;
    std::array<wchar_t, kShellTipLength> tip{};  // always terminated
};

class TrayShell {
public:
    // Shell_NotifyIconW(kNim*, data): false when the shell refused.
    virtual bool notifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;

protected:
    ~TrayShell() = default;
};

// The real shell on Windows; on the hosted backend a desktop without a
// notification area, which refuses every call. Lives for the whole process.
TrayShell& SystemTrayShell();

}  // namespace talvio
