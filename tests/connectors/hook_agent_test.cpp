// The caller-id hook agent on the hosted desktop: its window, published for
// the library, forwards the library's caller reports to the notify window
// as message 1260, and only those that carry a caller.
#include "connectors/hook_agent.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "handset/caller_text.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/platform/test_window.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

class HookAgentTest : public DesktopTest {
protected:
    // Sends `payload` as the library does and lets the forward arrive.
    void Report(os::Hwnd hookWindow, const std::vector<std::uint8_t>& payload) {
        const os::CopyDataStruct data{kCallerTextDataKind, static_cast<std::uint32_t>(payload.size()),
                                      payload.data()};
        os::SendMessage(hookWindow, os::WM_COPYDATA, reinterpret_cast<os::WParam>(client.hwnd()),
                        reinterpret_cast<os::LParam>(&data));
        os::hosted::PumpMessages();
    }

    TestWindow notify;
    TestWindow client;
    FakeHookLibrary library;
};

TEST_F(HookAgentTest, ForwardsOnlyReportsWithACodeOfAtLeast50AndMoreThanFourBytes) {
    notify.Create();
    client.Create();
    std::optional<HookAgent> agent;
    agent.emplace(notify.hwnd(), client.hwnd(), library);
    ASSERT_TRUE(agent->start());
    os::hosted::AdvanceTime(199);
    EXPECT_TRUE(library.Hooked().empty());
    os::hosted::AdvanceTime(1);
    EXPECT_EQ(library.Hooked(), std::vector<os::Hwnd>{client.hwnd()});
    ASSERT_EQ(library.Published().size(), 1u);
    const os::Hwnd hookWindow = library.Published()[0];

    // Code 60, value 7, then "Al" in UTF-16: 12 bytes.
    const std::vector<std::uint8_t> caller{60, 0, 0, 0, 7, 0, 0, 0, 'A', 0, 'l', 0};
    Report(hookWindow, {60, 0, 0, 0});
    Report(hookWindow, {49, 0, 0, 0, 7, 0, 0, 0, 'B', 0, 'o', 0});
    Report(hookWindow, caller);
    Report(hookWindow, std::vector<std::uint8_t>(1024, 60));
    const std::vector<Received> forwarded = notify.Of(kCallerTextMessage);
    ASSERT_EQ(forwarded.size(), 1u);
    EXPECT_EQ(forwarded[0].wParam, reinterpret_cast<os::WParam>(client.hwnd()));

    const CallerTextBlock block = TakeCallerTextBlock(forwarded[0].lParam);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->dwData, kCallerTextDataKind);
    ASSERT_EQ(block->cbData, caller.size());
    EXPECT_EQ(std::memcmp(block->lpData, caller.data(), caller.size()), 0);
    std::wstring text;
    EXPECT_TRUE(ParseCallerText(*block, text));
    EXPECT_EQ(text, L"Al");

    // Going, the agent unhooks and its window goes with its thread.
    agent.reset();
    EXPECT_EQ(library.Removed(), std::vector<std::uintptr_t>{FakeHookLibrary::kHook});
    EXPECT_FALSE(os::IsWindow(hookWindow));
}

}  // namespace
}  // namespace talvio::testing
