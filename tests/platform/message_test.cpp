// Queues, cross-thread sends and broadcasts of the hosted desktop.
#include <atomic>
#include <cstring>
#include <string>

#include "platform/hosted/desktop.h"
#include "tests/platform/test_window.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

using namespace os;
using hosted::SimulatedThread;

using MessageTest = DesktopTest;

constexpr std::uint32_t kPing = WM_USER + 1;

TEST_F(MessageTest, PostedMessagesArriveInPostOrderAndPeekCanLeaveThem) {
    TestWindow window;
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(PostMessage(window.hwnd(), kPing, 1, 0));
    ASSERT_TRUE(PostMessage(nullptr, kPing, 2, 0));  // a thread message
    ASSERT_TRUE(PostThreadMessage(GetCurrentThreadId(), kPing, 3, 0));
    ASSERT_TRUE(PostMessage(window.hwnd(), kPing, 4, 0));

    Msg msg;
    ASSERT_TRUE(PeekMessage(msg, false));
    EXPECT_EQ(msg.wParam, 1u);
    for (WParam expected : {1u, 2u, 3u, 4u}) {
        ASSERT_EQ(GetMessage(msg), 1);
        EXPECT_EQ(msg.wParam, expected);
        EXPECT_EQ(msg.hwnd, expected == 1 || expected == 4 ? window.hwnd() : nullptr);
        DispatchMessage(msg);
    }
    EXPECT_FALSE(PeekMessage(msg, true));
    EXPECT_EQ(window.Of(kPing).size(), 2u);
}

TEST_F(MessageTest, PostingFailsLikeWin32) {
    TestWindow window;
    const Hwnd hwnd = window.Create();
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, kPing, 0, 0));
    EXPECT_EQ(GetLastError(), 1400u);
    EXPECT_FALSE(PostThreadMessage(0xDEAD0, kPing, 0, 0));
    EXPECT_EQ(GetLastError(), 1444u);
    TestWindow other;
    other.Create();
    // Pointer-carrying messages cannot be posted.
    EXPECT_FALSE(PostMessage(other.hwnd(), WM_COPYDATA, 0, 0));
    EXPECT_EQ(GetLastError(), 1159u);
}

TEST_F(MessageTest, PostQuitMessageEndsTheLoopAfterPostedMessagesWithItsCode) {
    TestWindow window;
    window.Create();
    PostQuitMessage(7);
    PostMessage(window.hwnd(), kPing, 0, 0);
    int code = 0;
    EXPECT_TRUE(hosted::QuitPosted(&code));
    EXPECT_EQ(code, 7);
    hosted::PumpMessages();  // dispatches kPing, leaves WM_QUIT
    EXPECT_EQ(window.Of(kPing).size(), 1u);
    Msg msg;
    EXPECT_EQ(GetMessage(msg), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(hosted::QuitPosted());
}

TEST_F(MessageTest, SimulatedLoopEndsWithItsQuitCode) {
    TestWindow window;
    SimulatedThread thread;
    thread.Call([&] { window.Create(); });
    window.SetHandler([](Hwnd, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == WM_CLOSE) PostQuitMessage(3);
        return std::nullopt;
    });
    ASSERT_TRUE(PostMessage(window.hwnd(), WM_CLOSE, 0, 0));
    EXPECT_EQ(thread.Join(), 3);
    EXPECT_FALSE(IsWindow(window.hwnd()));  // destroyed by WM_CLOSE's default handling
}

TEST_F(MessageTest, CrossThreadSendWaitsUntilTheOwnerPumps) {
    TestWindow window;
    window.Create();
    window.SetHandler([](Hwnd, std::uint32_t message, WParam wParam, LParam lParam)
                          -> std::optional<LResult> {
        if (message == kPing) return static_cast<LResult>(wParam + lParam);
        return std::nullopt;
    });
    std::atomic<bool> returned{false};
    LResult result = 0;
    ThreadId senderId = 0;
    SimulatedThread sender(hosted::kDefaultProcess, [&] {
        senderId = GetCurrentThreadId();
        result = SendMessage(window.hwnd(), kPing, 40, 2);
        returned = true;
    });
    EXPECT_TRUE(window.Of(kPing).empty());
    EXPECT_FALSE(returned);

    hosted::PumpMessages();
    sender.Join();
    ASSERT_EQ(window.Of(kPing).size(), 1u);
    const Received received = window.Of(kPing).front();
    EXPECT_EQ(received.thread, GetCurrentThreadId());  // runs on the owner's thread
    EXPECT_NE(received.thread, senderId);
    EXPECT_TRUE(received.inSend);
    EXPECT_TRUE(returned);
    EXPECT_EQ(result, 42);
}

TEST_F(MessageTest, AdvanceTimeServesAWorkersSendAtItsVirtualTime) {
    TestWindow window;
    window.Create();
    std::uint32_t answeredAt = 0;
    SimulatedThread worker(hosted::kDefaultProcess, [&] {
        Sleep(120);
        SendMessage(window.hwnd(), kPing, 0, 0);
        answeredAt = GetTickCount();
    });
    hosted::AdvanceTime(500);
    worker.Join();
    ASSERT_EQ(window.Of(kPing).size(), 1u);
    EXPECT_EQ(window.Of(kPing).front().time, 120u);
    EXPECT_EQ(answeredAt, 120u);
    EXPECT_EQ(hosted::Now(), 500u);
}

TEST_F(MessageTest, PeekMessageRunsPendingSendsFirst) {
    TestWindow window;
    window.Create();
    SimulatedThread worker(hosted::kDefaultProcess, [&] { SendMessage(window.hwnd(), kPing, 0, 0); });
    // Wait in virtual time until the worker is blocked in its send.
    while (window.Of(kPing).empty()) {
        Msg msg;
        EXPECT_FALSE(PeekMessage(msg, true));
        Sleep(1);
    }
    worker.Join();
    EXPECT_EQ(window.Of(kPing).size(), 1u);
}

TEST_F(MessageTest, SameThreadSendIsADirectCall) {
    TestWindow window;
    window.Create();
    EXPECT_EQ(SendMessage(window.hwnd(), kPing, 0, 0), 0);
    ASSERT_EQ(window.Of(kPing).size(), 1u);
    EXPECT_FALSE(window.Of(kPing).front().inSend);
    EXPECT_EQ(SendMessage(reinterpret_cast<Hwnd>(0x4321), kPing, 0, 0), 0);
    EXPECT_EQ(GetLastError(), 1400u);
}

TEST_F(MessageTest, BlockedSenderServesASendAimedAtItself) {
    TestWindow mine;
    mine.Create();
    mine.SetHandler([](Hwnd, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == kPing) return 5;
        return std::nullopt;
    });
    TestWindow theirs;
    SimulatedThread other;
    other.Call([&] { theirs.Create(); });
    theirs.SetHandler([&](Hwnd, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        // Sends back to the thread that is blocked sending to us.
        if (message == kPing + 1) return 100 + SendMessage(mine.hwnd(), kPing, 0, 0);
        return std::nullopt;
    });

    EXPECT_EQ(SendMessage(theirs.hwnd(), kPing + 1, 0, 0), 105);
    ASSERT_EQ(mine.Of(kPing).size(), 1u);
    EXPECT_EQ(mine.Of(kPing).front().thread, GetCurrentThreadId());
    EXPECT_TRUE(mine.Of(kPing).front().inSend);
}

TEST_F(MessageTest, SendToAHungThreadTimesOutOnTheVirtualClock) {
    TestWindow window;
    SimulatedThread receiver;
    receiver.Call([&] { window.Create(); });
    hosted::SetHung(receiver.id(), true);

    LResult result = -1;
    EXPECT_FALSE(SendMessageTimeout(window.hwnd(), kPing, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_EQ(GetLastError(), 1460u);
    EXPECT_EQ(hosted::Now(), 0u);  // gave up at once
    EXPECT_EQ(result, 0);

    EXPECT_FALSE(SendMessageTimeout(window.hwnd(), kPing, 0, 0, SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(GetLastError(), 1460u);
    EXPECT_EQ(hosted::Now(), 5000u);  // the clock thread waited out its deadline
    EXPECT_TRUE(window.Of(kPing).empty());

    // The abandoned message is still handled once the thread pumps again.
    hosted::SetHung(receiver.id(), false);
    receiver.Call([] {});
    EXPECT_EQ(window.Of(kPing).size(), 1u);
}

TEST_F(MessageTest, WorkerSendTimesOutWhenVirtualTimePassesItsDeadline) {
    TestWindow window;
    SimulatedThread receiver;
    receiver.Call([&] { window.Create(); });
    hosted::SetHung(receiver.id(), true);

    std::atomic<bool> returned{false};
    bool sent = true;
    std::uint32_t returnedAt = 0;
    SimulatedThread worker(hosted::kDefaultProcess, [&] {
        LResult result = 0;
        sent = SendMessageTimeout(window.hwnd(), kPing, 0, 0, SMTO_NORMAL, 3000, &result);
        returnedAt = GetTickCount();
        returned = true;
    });
    hosted::AdvanceTime(2999);
    EXPECT_FALSE(returned);
    hosted::AdvanceTime(1);
    worker.Join();
    EXPECT_TRUE(returned);
    EXPECT_FALSE(sent);
    EXPECT_EQ(returnedAt, 3000u);
}

TEST_F(MessageTest, SendToAThreadThatEndsWithoutPumpingIsAnsweredWithZero) {
    TestWindow window;
    SimulatedThread receiver(hosted::kDefaultProcess, [&] {
        window.Create();
        Sleep(100);  // never pumps
    });
    hosted::PumpMessages();  // until the receiver sleeps
    ASSERT_TRUE(IsWindow(window.hwnd()));
    LResult result = -1;
    std::uint32_t answeredAt = 0;
    SimulatedThread sender(hosted::kDefaultProcess, [&] {
        result = SendMessage(window.hwnd(), kPing, 0, 0);
        answeredAt = GetTickCount();
    });
    hosted::AdvanceTime(200);
    sender.Join();
    receiver.Join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(answeredAt, 100u);
    EXPECT_TRUE(window.Of(kPing).empty());
    EXPECT_FALSE(IsWindow(window.hwnd()));
}

TEST_F(MessageTest, SendWithinTheTimeoutSucceeds) {
    TestWindow window;
    SimulatedThread receiver;
    receiver.Call([&] { window.Create(); });
    window.SetHandler([](Hwnd, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == kPing) return 9;
        return std::nullopt;
    });
    LResult result = 0;
    EXPECT_TRUE(SendMessageTimeout(window.hwnd(), kPing, 0, 0, SMTO_ABORTIFHUNG, 1000, &result));
    EXPECT_EQ(result, 9);
    EXPECT_EQ(hosted::Now(), 0u);
}

TEST_F(MessageTest, BroadcastReachesEveryTopLevelWindowOfEveryProcessAndNoOther) {
    const std::uint32_t message = RegisterWindowMessage(L"TestBroadcast");
    TestWindow top1, child1, top2, child2, top3, hidden3;
    top1.Create();
    child1.Create(top1.hwnd(), WS_CHILD);
    const ProcessId second = hosted::CreateProcess(L"second.exe");
    {
        hosted::ProcessScope scope(second);
        top2.Create();
        child2.Create(top2.hwnd(), WS_CHILD | WS_VISIBLE);
    }
    SimulatedThread third(hosted::CreateProcess(L"third.exe"));
    third.Call([&] {
        top3.Create();
        hidden3.Create(kMessageOnlyParent);
    });

    EXPECT_TRUE(SendMessageTimeout(kBroadcast, message, 1, 0, SMTO_ABORTIFHUNG, 1000, nullptr));
    ASSERT_TRUE(PostMessage(kBroadcast, message, 2, 0));
    hosted::PumpMessages();
    third.Call([] {});

    for (const TestWindow* reached : {&top1, &top2, &top3}) {
        const auto received = reached->Of(message);
        ASSERT_EQ(received.size(), 2u);
        EXPECT_EQ(received[0].wParam, 1u);
        EXPECT_EQ(received[1].wParam, 2u);
    }
    EXPECT_EQ(top3.Of(message).front().thread, third.id());
    for (const TestWindow* missed : {&child1, &child2, &hidden3}) {
        EXPECT_TRUE(missed->Of(message).empty());
    }
}

TEST_F(MessageTest, RegisteredMessagesAreDesktopWideAndCaseInsensitive) {
    const std::uint32_t first = RegisterWindowMessage(L"SkypeControlAPIAttach");
    EXPECT_GE(first, 0xC000u);
    EXPECT_LE(first, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessage(L"skypecontrolapiattach"), first);
    std::uint32_t other = 0;
    {
        hosted::ProcessScope scope(hosted::CreateProcess(L"client.exe"));
        EXPECT_EQ(RegisterWindowMessage(L"SKYPECONTROLAPIATTACH"), first);
        other = RegisterWindowMessage(L"SkypeControlAPIDiscover");
    }
    EXPECT_NE(other, first);
    EXPECT_GE(other, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage(L""), 0u);
}

TEST_F(MessageTest, CopyDataReceiverGetsItsOwnCopy) {
    TestWindow window;
    SimulatedThread receiver(hosted::CreateProcess(L"client.exe"));
    receiver.Call([&] { window.Create(); });
    std::string seen;
    const void* seenAddress = nullptr;
    std::uintptr_t seenTag = 0;
    window.SetHandler([&](Hwnd, std::uint32_t message, WParam, LParam lParam)
                          -> std::optional<LResult> {
        if (message != WM_COPYDATA) return std::nullopt;
        const auto* data = reinterpret_cast<const CopyDataStruct*>(lParam);
        seen.assign(static_cast<const char*>(data->lpData), data->cbData);
        seenAddress = data->lpData;
        seenTag = data->dwData;
        return 1;
    });
    char buffer[] = "CALL 12 STATUS RINGING";
    CopyDataStruct data;
    data.dwData = 77;
    data.cbData = static_cast<std::uint32_t>(std::strlen(buffer) + 1);
    data.lpData = buffer;
    LResult result = 0;
    ASSERT_TRUE(SendMessageTimeout(window.hwnd(), WM_COPYDATA, 0,
                                   reinterpret_cast<LParam>(&data), SMTO_NORMAL, 1000, &result));
    std::memset(buffer, 'x', sizeof buffer - 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(seen, std::string("CALL 12 STATUS RINGING", 23));
    EXPECT_NE(seenAddress, static_cast<const void*>(buffer));
    EXPECT_EQ(seenTag, 77u);
}

}  // namespace
}  // namespace talvio::testing
