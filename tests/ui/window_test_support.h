// What the window tests need from either backend: a fresh desktop per test
// on the hosted one (the real desktop under Wine needs none), and a way to
// dispatch what is posted to the test's thread.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"

#if defined(_WIN32)
namespace talvio::testing {
using WindowTest = ::testing::Test;
inline void PumpPending() {
    os::Msg message;
    while (os::PeekMessage(message, true)) {
        os::TranslateMessage(message);
        os::DispatchMessage(message);
    }
}
}  // namespace talvio::testing
#else
#include "tests/support/desktop_test.h"
namespace talvio::testing {
using WindowTest = DesktopTest;
inline void PumpPending() { os::hosted::PumpMessages(); }
}  // namespace talvio::testing
#endif

namespace talvio::testing {
inline os::LParam PointParam(int x, int y) {
    return static_cast<os::LParam>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(x)) |
                                   (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16));
}
}  // namespace talvio::testing
