// A scriptable window for backend tests: its procedure logs every message
// and lets a test answer chosen ones. The object is bound through the
// creation parameter and the user-data slot. Any thread may read the log.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace talvio::testing {

inline constexpr wchar_t kTestClass[] = L"TestWindow";

struct Received {
    std::uint32_t message = 0;
    os::WParam wParam = 0;
    os::LParam lParam = 0;
    os::ThreadId thread = 0;
    std::uint32_t time = 0;
    bool inSend = false;
};

class TestWindow {
public:
    using Handler = std::function<std::optional<os::LResult>(os::Hwnd, std::uint32_t, os::WParam,
                                                              os::LParam)>;

    // Registers kTestClass in the calling thread's simulated process.
    static void RegisterClassHere();

    // Creates the window on the calling thread (registering the class first).
    os::Hwnd Create(os::Hwnd parent = nullptr, std::uint32_t style = 0,
                    const wchar_t* title = L"", std::uintptr_t id = 0);

    void SetHandler(Handler handler);
    std::vector<Received> Log() const;
    // The logged messages equal to `message`.
    std::vector<Received> Of(std::uint32_t message) const;
    os::Hwnd hwnd() const { return hwnd_; }

private:
    static os::LResult Proc(os::Hwnd, std::uint32_t, os::WParam, os::LParam);

    mutable std::mutex mutex_;
    Handler handler_;
    std::vector<Received> log_;
    os::Hwnd hwnd_ = nullptr;
};

}  // namespace talvio::testing
