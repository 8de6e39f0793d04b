#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "connectors/command_queue.h"
#include "platform/hosted/desktop.h"
#include "tests/support/desktop_test.h"

namespace talvio {
namespace {

struct Delivery {
    std::string text;  // without the terminating zero
    bool terminated = false;
    std::uint64_t time = 0;
    os::WParam sender = 0;
    std::uintptr_t dwData = 1;
};
std::vector<Delivery> g_deliveries;

os::LResult ClientProc(os::Hwnd window, std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    if (message != os::WM_COPYDATA) return os::DefWindowProc(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const os::CopyDataStruct*>(lParam);
    const auto* bytes = static_cast<const char*>(data->lpData);
    Delivery delivery;
    delivery.terminated = data->cbData > 0 && bytes[data->cbData - 1] == '\0';
    delivery.text.assign(bytes, data->cbData - (delivery.terminated ? 1 : 0));
    delivery.time = os::hosted::Now();
    delivery.sender = wParam;
    delivery.dwData = data->dwData;
    g_deliveries.push_back(delivery);
    return 1;
}

os::Hwnd MakeWindow(const wchar_t* className) {
    os::WindowClass windowClass;
    windowClass.proc = ClientProc;
    windowClass.name = className;
    os::RegisterClass(windowClass);
    return os::CreateWindowEx(0, className, L"", os::WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, 0,
                              nullptr);
}

class CommandQueueTest : public testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        g_deliveries.clear();
        clientWindow = MakeWindow(L"ClientApi");
        ownWindow = MakeWindow(L"Connector");
        queue.SetOwner(&clientWindow, &ownWindow);
    }
    void TearDown() override {
        queue.stop();
        DesktopTest::TearDown();
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Delivery& d : g_deliveries) texts.push_back(d.text);
        return texts;
    }

    std::atomic<os::Hwnd> clientWindow{nullptr};
    std::atomic<os::Hwnd> ownWindow{nullptr};
    CommandQueue queue;
};

TEST_F(CommandQueueTest, ImmediateCommandArrivesBeforeTheCallReturns) {
    queue.Enqueue("GET USERSTATUS", CommandQueue::kImmediate);
    ASSERT_EQ(g_deliveries.size(), 1u);
    EXPECT_EQ(g_deliveries[0].text, "GET USERSTATUS");
    EXPECT_TRUE(g_deliveries[0].terminated) << "the terminating zero is part of the payload";
    EXPECT_EQ(g_deliveries[0].sender, reinterpret_cast<os::WParam>(ownWindow.load()));
    EXPECT_EQ(g_deliveries[0].dwData, 0u);
    EXPECT_FALSE(queue.isRunning()) << "no worker before the first queued command";
}

TEST_F(CommandQueueTest, NormalOvertakesQueuedBackgroundAndImmediateOvertakesBoth) {
    queue.Enqueue("first", CommandQueue::kNormal);
    EXPECT_TRUE(queue.isRunning());
    os::hosted::PumpMessages();
    ASSERT_EQ(Texts(), std::vector<std::string>{"first"});

    // The worker is in its pause after "first": both of these wait.
    queue.Enqueue("GET MUTE", CommandQueue::kBackground);
    queue.Enqueue("GET CALL 3 STATUS", CommandQueue::kNormal);
    queue.Enqueue("BTN_PRESSED YES", CommandQueue::kImmediate);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"first", "BTN_PRESSED YES"}));
    os::hosted::AdvanceTime(100);
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"first", "BTN_PRESSED YES", "GET CALL 3 STATUS", "GET MUTE"}));
    for (const Delivery& d : g_deliveries) EXPECT_TRUE(d.terminated) << d.text;
}

TEST_F(CommandQueueTest, QueuedCommandsGoOutTenMillisecondsApart) {
    for (int i = 0; i < 5; ++i) queue.Enqueue("cmd" + std::to_string(i), CommandQueue::kNormal);
    os::hosted::AdvanceTime(200);
    ASSERT_EQ(g_deliveries.size(), 5u);
    for (std::size_t i = 1; i < g_deliveries.size(); ++i) {
        EXPECT_EQ(g_deliveries[i].text, "cmd" + std::to_string(i));
        EXPECT_EQ(g_deliveries[i].time - g_deliveries[i - 1].time, 10u);
    }
}

TEST_F(CommandQueueTest, IdleQueuePicksUpANewCommandWithinItsPoll) {
    queue.Enqueue("one", CommandQueue::kBackground);
    os::hosted::AdvanceTime(500);
    ASSERT_EQ(g_deliveries.size(), 1u);
    const std::uint64_t queuedAt = os::hosted::Now();
    queue.Enqueue("two", CommandQueue::kBackground);
    os::hosted::AdvanceTime(100);
    ASSERT_EQ(g_deliveries.size(), 2u);
    EXPECT_LE(g_deliveries[1].time - queuedAt, 100u);
    EXPECT_GT(g_deliveries[1].time, queuedAt) << "the idle worker only looks every 100 ms";
}

TEST_F(CommandQueueTest, QueuedTextIsTheQueuesOwnCopy) {
    std::string command = "MESSAGE anna hello";
    queue.Enqueue(command, CommandQueue::kNormal);
    queue.Enqueue(command, CommandQueue::kNormal);
    command.assign("overwritten by the caller");
    command.shrink_to_fit();
    os::hosted::AdvanceTime(100);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"MESSAGE anna hello", "MESSAGE anna hello"}));
}

TEST_F(CommandQueueTest, UnknownPriorityQueuesNothing) {
    queue.Enqueue("lost", 3);
    queue.Enqueue("lost too", -1);
    os::hosted::AdvanceTime(300);
    EXPECT_TRUE(g_deliveries.empty());
}

TEST_F(CommandQueueTest, DetachDuringSendingStopsDeliveryAtOnce) {
    queue.Enqueue("a", CommandQueue::kNormal);
    queue.Enqueue("b", CommandQueue::kNormal);
    queue.Enqueue("c", CommandQueue::kNormal);
    os::hosted::PumpMessages();
    ASSERT_EQ(Texts(), std::vector<std::string>{"a"});
    clientWindow.store(nullptr);
    EXPECT_FALSE(queue.SendNow("d"));
    os::hosted::AdvanceTime(200);
    EXPECT_EQ(Texts(), std::vector<std::string>{"a"});
    clientWindow.store(MakeWindow(L"NewClientApi"));
    queue.Enqueue("e", CommandQueue::kNormal);
    os::hosted::AdvanceTime(200);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "e"})) << "sends follow the current client";
}

TEST_F(CommandQueueTest, SendToABusyClientGivesUpAfterTwoSeconds) {
    const os::ProcessId process = os::hosted::CreateProcess(L"client.exe");
    std::atomic<os::Hwnd> busy{nullptr};
    os::hosted::SimulatedThread client(process, [&] {
        busy.store(MakeWindow(L"BusyApi"));
        os::Sleep(60000);  // never pumps meanwhile
    });
    os::hosted::PumpMessages();
    ASSERT_NE(busy.load(), nullptr);
    clientWindow.store(busy.load());
    const std::uint64_t start = os::hosted::Now();
    EXPECT_FALSE(queue.SendNow("PING"));
    EXPECT_EQ(os::hosted::Now() - start, 2000u);
    os::hosted::AdvanceTime(60000);
}

TEST_F(CommandQueueTest, DestructionDropsWhatIsStillQueued) {
    {
        CommandQueue doomed;
        doomed.SetOwner(&clientWindow, &ownWindow);
        for (int i = 0; i < 50; ++i) doomed.Enqueue("x", CommandQueue::kNormal);
        os::hosted::AdvanceTime(25);
    }
    const std::size_t sent = g_deliveries.size();
    EXPECT_GE(sent, 1u);
    EXPECT_LE(sent, 4u);
    os::hosted::AdvanceTime(1000);
    EXPECT_EQ(g_deliveries.size(), sent);
}

}  // namespace
}  // namespace talvio
