// The hidden top-level window through which another process (an installer,
// through the close-app library) asks the running copy to quit: any message
// numbered like the registered quit message, sent or posted, ends the
// message loop. Owned by the process entry; main thread only.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/window.h"

namespace talvio {

class QuitWindow : public Window {
public:
    static constexpr std::wstring_view kClassName = L"OrvaneWindowClass20060218";
    static constexpr std::wstring_view kTitle = L"OrvaneWindow20062423";
    static constexpr std::wstring_view kQuitMessageName = L"OrvaneAppUserMessage0A23D86C";

    // Registers the class and the quit message, then creates the window
    // (never shown). False when the window could not be made.
    bool createHidden();

    std::uint32_t quitMessage() const { return quitMessage_; }

    os::LResult handleMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) override;
    void onDestroy() override;

private:
    std::uint32_t quitMessage_ = 0;
};

}  // namespace talvio
