#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/platform_win32/peer_protocol.h"
#include "tests/platform_win32/test_support.h"

namespace talvio::test {
namespace {

// Every check against one peer process: a Wine process start costs more
// than the checks.
TEST(CrossProcess, CopyDataAndBroadcastReachAnotherProcess) {
    const std::uint32_t ready = os::RegisterWindowMessage(peer::kReady);
    const std::uint32_t ping = os::RegisterWindowMessage(peer::kPing);
    const std::uint32_t pong = os::RegisterWindowMessage(peer::kPong);
    os::Hwnd peerWindow = nullptr;
    os::ProcessId peerProcess = 0;
    os::ProcessId pongFrom = 0;
    os::CopyDataStruct reply;
    std::string replyText;
    os::Hwnd replySender = nullptr;
    TestWindow self([&](std::uint32_t message, os::WParam wParam,
                        os::LParam lParam) -> std::optional<os::LResult> {
        if (message == ready) {
            peerWindow = reinterpret_cast<os::Hwnd>(wParam);
            peerProcess = static_cast<os::ProcessId>(lParam);
        } else if (message == pong) {
            pongFrom = static_cast<os::ProcessId>(wParam);
        } else if (message == os::WM_COPYDATA) {
            reply = *reinterpret_cast<const os::CopyDataStruct*>(lParam);
            replyText.assign(static_cast<const char*>(reply.lpData), reply.cbData);
            replySender = reinterpret_cast<os::Hwnd>(wParam);
            return 1;
        } else {
            return {};
        }
        return 0;
    });
    char handle[32];
    std::snprintf(handle, sizeof handle, "%lx",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(self.hwnd())));
    Process process(L"\"" + BesideExecutable(peer::kExecutable) + L"\" " +
                    std::wstring(handle, handle + std::char_traits<char>::length(handle)));
    ASSERT_TRUE(process.started());
    ASSERT_TRUE(PumpUntil([&] { return peerWindow != nullptr; }, 30000));

    os::ProcessId owner = 0;
    os::GetWindowThreadProcessId(peerWindow, &owner);
    EXPECT_EQ(peerProcess, owner);
    EXPECT_NE(os::GetCurrentProcessId(), owner);
    EXPECT_EQ(std::wstring(peer::kWindowClass), os::GetClassName(peerWindow));
    EXPECT_EQ(L"peer", os::GetWindowText(peerWindow));

    const std::string payload("SET USERSTATUS ONLINE\0\x01\xfe", 24);
    os::CopyDataStruct data;
    data.dwData = 41;
    data.cbData = static_cast<std::uint32_t>(payload.size());
    data.lpData = payload.data();
    EXPECT_EQ(static_cast<os::LResult>(payload.size()),
              os::SendMessage(peerWindow, os::WM_COPYDATA,
                              reinterpret_cast<os::WParam>(self.hwnd()),
                              reinterpret_cast<os::LParam>(&data)));
    EXPECT_EQ(std::string(payload.rbegin(), payload.rend()), replyText);
    EXPECT_EQ(42u, reply.dwData);
    EXPECT_EQ(peerWindow, replySender);

    EXPECT_TRUE(os::SendMessageTimeout(os::kBroadcast, ping,
                                       reinterpret_cast<os::WParam>(self.hwnd()), 0,
                                       os::SMTO_ABORTIFHUNG, kBroadcastWaitMs, nullptr));
    EXPECT_TRUE(PumpUntil([&] { return pongFrom != 0; }));
    EXPECT_EQ(peerProcess, pongFrom);

    pongFrom = 0;
    EXPECT_TRUE(os::PostMessage(os::kBroadcast, ping, reinterpret_cast<os::WParam>(self.hwnd()), 0));
    EXPECT_TRUE(PumpUntil([&] { return pongFrom != 0; }));
    EXPECT_EQ(peerProcess, pongFrom);

    EXPECT_TRUE(os::PostMessage(peerWindow, os::WM_CLOSE, 0, 0));
    EXPECT_EQ(std::optional<std::uint32_t>(0), process.WaitForExit(10000));
    EXPECT_FALSE(os::IsWindow(peerWindow));
}

}  // namespace
}  // namespace talvio::test
