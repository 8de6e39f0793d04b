// Timers and Sleep on the virtual clock.
#include <vector>

#include "platform/hosted/desktop.h"
#include "tests/platform/test_window.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

using namespace os;
using hosted::SimulatedThread;

using TimerTest = DesktopTest;

struct Tick {
    Hwnd window;
    WParam id;
    std::uint32_t time;
    bool operator==(const Tick&) const = default;
};

TEST_F(TimerTest, SeveralTimersOnSeveralWindowsFireInDueOrder) {
    TestWindow a, b;
    a.Create();
    b.Create();
    // Dispatch order is logged per window; a shared log keeps the global order.
    std::vector<Tick> order;
    auto record = [&](Hwnd hwnd, std::uint32_t message, WParam wParam, LParam)
        -> std::optional<LResult> {
        if (message == WM_TIMER) order.push_back({hwnd, wParam, GetTickCount()});
        return std::nullopt;
    };
    a.SetHandler(record);
    b.SetHandler(record);
    ASSERT_TRUE(SetTimer(a.hwnd(), 1, 30));
    ASSERT_TRUE(SetTimer(b.hwnd(), 2, 20));
    ASSERT_TRUE(SetTimer(a.hwnd(), 3, 50));

    hosted::AdvanceTime(60);
    const std::vector<Tick> expected{{b.hwnd(), 2, 20}, {a.hwnd(), 1, 30}, {b.hwnd(), 2, 40},
                                     {a.hwnd(), 3, 50}, {a.hwnd(), 1, 60}, {b.hwnd(), 2, 60}};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(hosted::Now(), 60u);
}

TEST_F(TimerTest, ResettingAnIdReplacesTheTimerAndKillStopsIt) {
    TestWindow window;
    window.Create();
    SetTimer(window.hwnd(), 5, 100);
    hosted::AdvanceTime(50);
    SetTimer(window.hwnd(), 5, 100);  // re-armed from now
    hosted::AdvanceTime(99);
    EXPECT_TRUE(window.Of(WM_TIMER).empty());
    hosted::AdvanceTime(1);
    ASSERT_EQ(window.Of(WM_TIMER).size(), 1u);
    EXPECT_EQ(window.Of(WM_TIMER)[0].time, 150u);
    EXPECT_TRUE(KillTimer(window.hwnd(), 5));
    EXPECT_FALSE(KillTimer(window.hwnd(), 5));
    hosted::AdvanceTime(1000);
    EXPECT_EQ(window.Of(WM_TIMER).size(), 1u);
}

TEST_F(TimerTest, MissedPeriodsCoalesceIntoOneMessageAndKeepThePhase) {
    TestWindow window;
    window.Create();
    SetTimer(window.hwnd(), 1, 100);
    Sleep(350);  // the clock moves, nothing is dispatched
    EXPECT_TRUE(window.Of(WM_TIMER).empty());
    hosted::PumpMessages();
    EXPECT_EQ(window.Of(WM_TIMER).size(), 1u);
    hosted::PumpMessages();
    EXPECT_EQ(window.Of(WM_TIMER).size(), 1u);  // not queued twice
    hosted::AdvanceTime(50);
    ASSERT_EQ(window.Of(WM_TIMER).size(), 2u);
    EXPECT_EQ(window.Of(WM_TIMER)[1].time, 400u);
}

TEST_F(TimerTest, PostedMessagesGoBeforeDueTimers) {
    TestWindow window;
    window.Create();
    SetTimer(window.hwnd(), 1, 10);
    Sleep(10);
    PostMessage(window.hwnd(), WM_USER, 0, 0);
    hosted::PumpMessages();
    std::vector<std::uint32_t> messages;
    for (const Received& r : window.Log()) {
        if (r.message == WM_USER || r.message == WM_TIMER) messages.push_back(r.message);
    }
    EXPECT_EQ(messages, (std::vector<std::uint32_t>{WM_USER, WM_TIMER}));
}

TEST_F(TimerTest, TimersOfAnotherThreadFireWhenThatThreadPumps) {
    TestWindow window;
    SimulatedThread thread;
    thread.Call([&] {
        window.Create();
        SetTimer(window.hwnd(), 9, 100);
    });
    hosted::AdvanceTime(300);
    thread.Call([] {});
    const auto ticks = window.Of(WM_TIMER);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_EQ(ticks[0].time, 100u);
    EXPECT_EQ(ticks[2].time, 300u);
    for (const Received& r : window.Of(WM_TIMER)) EXPECT_EQ(r.thread, thread.id());
}

TEST_F(TimerTest, TimersNeedTheOwnerThreadAndDieWithTheirWindow) {
    TestWindow window;
    SimulatedThread thread;
    thread.Call([&] { window.Create(); });
    EXPECT_FALSE(SetTimer(window.hwnd(), 1, 10));
    TestWindow mine;
    mine.Create();
    ASSERT_TRUE(SetTimer(mine.hwnd(), 1, 10));
    ASSERT_TRUE(DestroyWindow(mine.hwnd()));
    hosted::AdvanceTime(100);
    EXPECT_TRUE(mine.Of(WM_TIMER).empty());
    EXPECT_FALSE(SetTimer(mine.hwnd(), 1, 10));
}

TEST_F(TimerTest, SleepOnAnotherThreadWaitsForVirtualTime) {
    std::vector<std::uint32_t> woke;
    SimulatedThread sleeper(hosted::kDefaultProcess, [&] {
        for (int i = 0; i < 3; ++i) {
            Sleep(100);
            woke.push_back(GetTickCount());
        }
    });
    hosted::AdvanceTime(250);
    hosted::AdvanceTime(50);
    sleeper.Join();
    EXPECT_EQ(woke, (std::vector<std::uint32_t>{100, 200, 300}));
}

TEST_F(TimerTest, TickCountWrapsAt32Bits) {
    hosted::AdvanceTime(0xFFFFFFFFu);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu);
    hosted::AdvanceTime(2);
    EXPECT_EQ(GetTickCount(), 1u);
    EXPECT_EQ(hosted::Now(), 0x100000001ull);
}

}  // namespace
}  // namespace talvio::testing
