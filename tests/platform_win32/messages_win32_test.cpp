#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/platform_win32/test_support.h"

namespace talvio::test {
namespace {

constexpr std::uint32_t kDouble = os::WM_USER + 1;

std::optional<os::LResult> DoubleWParam(std::uint32_t message, os::WParam wParam, os::LParam) {
    if (message == kDouble) return static_cast<os::LResult>(wParam * 2);
    return {};
}

TEST(RegisteredMessages, SameNameSameNumberIgnoringCase) {
    const std::uint32_t first = os::RegisterWindowMessage(L"TalvioAgreementMessage");
    EXPECT_GE(first, 0xC000u);
    EXPECT_LE(first, 0xFFFFu);
    EXPECT_EQ(first, os::RegisterWindowMessage(L"talvioagreementMESSAGE"));
    EXPECT_NE(first, os::RegisterWindowMessage(L"TalvioAgreementMessage2"));
}

TEST(CrossThreadSend, BlocksUntilTheOwnerPumps) {
    Event gate;
    WindowThread owner(&DoubleWParam, &gate);
    std::atomic<bool> returned{false};
    os::LResult answer = 0;
    Thread sender([&] {
        answer = os::SendMessage(owner.hwnd(), kDouble, 21, 0);
        returned = true;
    });
    // No event can tell that a thread is blocked; a bounded wait that sees
    // it still inside SendMessage is the only evidence Win32 offers.
    EXPECT_EQ(os::kWaitTimeout, os::WaitForSingleObject(sender.handle(), 200));
    EXPECT_FALSE(returned);
    gate.Set();
    EXPECT_EQ(os::kWaitObject0, os::WaitForSingleObject(sender.handle(), 10000));
    EXPECT_EQ(42, answer);
}

TEST(CrossThreadSend, TimeoutGivesUpOnAThreadThatDoesNotPump) {
    Event gate;
    WindowThread owner(&DoubleWParam, &gate);
    os::LResult answer = -1;
    EXPECT_FALSE(os::SendMessageTimeout(owner.hwnd(), kDouble, 5, 0, os::SMTO_NORMAL, 100, &answer));
    EXPECT_EQ(0, answer);
    gate.Set();
    EXPECT_TRUE(os::SendMessageTimeout(owner.hwnd(), kDouble, 7, 0, os::SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(14, answer);
}

TEST(PostedMessages, ArriveInOrderAndBeforeADueTimer) {
    TestWindow window;
    ASSERT_TRUE(window.hwnd());
    ASSERT_TRUE(os::SetTimer(window.hwnd(), 7, 10));
    ASSERT_TRUE(os::PostMessage(window.hwnd(), os::WM_USER + 1, 1, 0));
    ASSERT_TRUE(os::PostThreadMessage(os::GetCurrentThreadId(), os::WM_USER + 2, 2, 0));
    ASSERT_TRUE(os::PostMessage(window.hwnd(), os::WM_USER + 3, 3, 0));
    // Let the timer fall due: WM_TIMER still comes only once the queue has
    // no posted message left.
    os::Sleep(50);
    std::vector<std::uint32_t> order;
    os::Msg msg;
    while (order.size() < 4 && os::GetMessage(msg) > 0) {
        os::DispatchMessage(msg);
        if (msg.message == os::WM_TIMER || msg.message > os::WM_USER) {
            order.push_back(msg.message);
            if (msg.message == os::WM_USER + 2) {
                EXPECT_EQ(nullptr, msg.hwnd);
                EXPECT_EQ(2u, msg.wParam);
            }
        }
    }
    os::KillTimer(window.hwnd(), 7);
    EXPECT_EQ((std::vector<std::uint32_t>{os::WM_USER + 1, os::WM_USER + 2, os::WM_USER + 3,
                                          os::WM_TIMER}),
              order);
}

TEST(Timers, FireByDueTimeAndResetWhenSetAgain) {
    std::vector<os::WParam> fired;
    TestWindow window([&](std::uint32_t message, os::WParam wParam,
                          os::LParam) -> std::optional<os::LResult> {
        if (message != os::WM_TIMER) return {};
        fired.push_back(wParam);
        return 0;
    });
    const os::Hwnd hwnd = window.hwnd();
    // Set longest first, so a slow start can only widen the gaps.
    ASSERT_TRUE(os::SetTimer(hwnd, 1, 40));
    ASSERT_TRUE(os::SetTimer(hwnd, 2, 500));
    ASSERT_TRUE(os::SetTimer(hwnd, 3, 300));
    ASSERT_TRUE(os::SetTimer(hwnd, 1, 900));  // same id: replaces the 40 ms timer
    ASSERT_TRUE(PumpUntil([&] { return fired.size() >= 3; }));
    EXPECT_EQ((std::vector<os::WParam>{3, 2, 3}), fired);
    for (os::WParam id : {1u, 2u, 3u}) EXPECT_TRUE(os::KillTimer(hwnd, id));
    EXPECT_FALSE(os::KillTimer(hwnd, 3));
}

TEST(Timers, RepeatUntilKilled) {
    std::vector<os::WParam> fired;
    os::Hwnd hwnd = nullptr;
    TestWindow window([&](std::uint32_t message, os::WParam wParam,
                          os::LParam) -> std::optional<os::LResult> {
        if (message != os::WM_TIMER) return {};
        fired.push_back(wParam);
        if (wParam == 4 && fired.size() == 3) os::KillTimer(hwnd, 4);
        return 0;
    });
    hwnd = window.hwnd();
    ASSERT_TRUE(os::SetTimer(hwnd, 4, 20));
    ASSERT_TRUE(PumpUntil([&] { return fired.size() == 3; }));
    // A later timer marks a time well past the killed one's next period.
    ASSERT_TRUE(os::SetTimer(hwnd, 5, 100));
    ASSERT_TRUE(PumpUntil([&] { return fired.back() == 5; }));
    os::KillTimer(hwnd, 5);
    EXPECT_EQ((std::vector<os::WParam>{4, 4, 4, 5}), fired);
}

TEST(CopyData, ReachesAnotherThreadIntact) {
    std::string received;
    os::CopyDataStruct seen;
    os::WParam sender = 0;
    WindowThread owner([&](std::uint32_t message, os::WParam wParam,
                           os::LParam lParam) -> std::optional<os::LResult> {
        if (message != os::WM_COPYDATA) return {};
        seen = *reinterpret_cast<const os::CopyDataStruct*>(lParam);
        received.assign(static_cast<const char*>(seen.lpData), seen.cbData);
        sender = wParam;
        return 1;
    });
    TestWindow self;
    const std::string payload("CALL 12 STATUS RINGING\0\xff tail", 30);
    os::CopyDataStruct data;
    data.dwData = 0x5A;
    data.cbData = static_cast<std::uint32_t>(payload.size());
    data.lpData = payload.data();
    EXPECT_EQ(1, os::SendMessage(owner.hwnd(), os::WM_COPYDATA,
                                 reinterpret_cast<os::WParam>(self.hwnd()),
                                 reinterpret_cast<os::LParam>(&data)));
    EXPECT_EQ(payload, received);
    EXPECT_EQ(0x5Au, seen.dwData);
    EXPECT_EQ(reinterpret_cast<os::WParam>(self.hwnd()), sender);

    os::CopyDataStruct empty;
    EXPECT_EQ(1, os::SendMessage(owner.hwnd(), os::WM_COPYDATA, 0,
                                 reinterpret_cast<os::LParam>(&empty)));
    EXPECT_EQ(0u, seen.cbData);
    EXPECT_TRUE(received.empty());
}

TEST(Broadcast, ReachesEveryTopLevelWindowAndNoChild) {
    const std::uint32_t ping = os::RegisterWindowMessage(L"TalvioAgreementBroadcast");
    struct Counts {
        std::atomic<int> top{0}, otherThread{0}, child{0}, messageOnly{0};
    } counts;
    auto counter = [ping](std::atomic<int>& count) {
        return [ping, &count](std::uint32_t message, os::WParam,
                              os::LParam) -> std::optional<os::LResult> {
            if (message != ping) return {};
            ++count;
            return 1;
        };
    };
    TestWindow top(counter(counts.top));
    TestWindow child(counter(counts.child), top.hwnd(), L"", os::WS_CHILD);
    TestWindow messageOnly(counter(counts.messageOnly), os::kMessageOnlyParent);
    WindowThread other(counter(counts.otherThread));
    ASSERT_TRUE(child.hwnd());
    ASSERT_TRUE(messageOnly.hwnd());

    EXPECT_TRUE(os::SendMessageTimeout(os::kBroadcast, ping, 0, 0, os::SMTO_ABORTIFHUNG, kBroadcastWaitMs,
                                       nullptr));
    EXPECT_EQ(1, counts.top);
    EXPECT_EQ(1, counts.otherThread);

    EXPECT_TRUE(os::PostMessage(os::kBroadcast, ping, 0, 0));
    EXPECT_TRUE(PumpUntil([&] { return counts.top == 2 && counts.otherThread == 2; }));
    EXPECT_EQ(0, counts.child);
    EXPECT_EQ(0, counts.messageOnly);
}

}  // namespace
}  // namespace talvio::test
