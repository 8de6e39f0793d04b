#include "foundation/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "platform/platform.h"
#include "tests/foundation/fresh_desktop.h"

namespace talvio {
namespace {

// Runs a test-supplied body; records that run() returned and with what.
class BodyThread : public WorkerThread {
public:
    explicit BodyThread(std::function<unsigned(BodyThread&)> body) : body_(std::move(body)) {}
    ~BodyThread() override { stop(); }

    using WorkerThread::stopRequested;

    std::atomic<int> runs{0};
    std::atomic<bool> returned{false};

protected:
    unsigned run() override {
        returned = false;
        ++runs;
        const unsigned result = body_(*this);
        returned = true;
        return result;
    }

private:
    std::function<unsigned(BodyThread&)> body_;
};

using WorkerThreadTest = testing::FreshDesktopTest;

TEST_F(WorkerThreadTest, StopWithoutAThreadReturnsZero) {
    BodyThread thread([](BodyThread&) { return 0u; });
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(thread.stop(), 0);
    EXPECT_TRUE(thread.wait(0));
}

TEST_F(WorkerThreadTest, StopAfterTheThreadFinishedByItself) {
    BodyThread thread([](BodyThread&) { return 7u; });
    ASSERT_TRUE(thread.start());
    EXPECT_TRUE(thread.wait(os::kInfinite));
    EXPECT_FALSE(thread.isRunning());
    EXPECT_TRUE(thread.returned);
    EXPECT_EQ(thread.stop(), 0);
    EXPECT_EQ(thread.stop(), 0);

    // The stale handle gives way to a new thread.
    ASSERT_TRUE(thread.start());
    EXPECT_TRUE(thread.wait(os::kInfinite));
    EXPECT_EQ(thread.runs, 2);
    EXPECT_EQ(thread.stop(), 0);
}

TEST_F(WorkerThreadTest, StopRaisesTheFlagAndWaitsForRun) {
    BodyThread thread([&](BodyThread& self) {
        while (!self.stopRequested()) os::Sleep(5);
        return 0u;
    });
    ASSERT_TRUE(thread.start());
    EXPECT_TRUE(thread.isRunning());
    EXPECT_FALSE(thread.start());  // one thread at a time
    EXPECT_EQ(thread.stop(), 1);
    EXPECT_TRUE(thread.returned);
    EXPECT_FALSE(thread.isRunning());
    EXPECT_FALSE(thread.stopRequested());
    EXPECT_EQ(thread.runs, 1);
}

TEST_F(WorkerThreadTest, StopRacingTheThreadsOwnEndReturnsAfterRun) {
    for (int round = 0; round < 100; ++round) {
        std::atomic<bool> go{false};
        BodyThread thread([&](BodyThread&) {
            // Half the rounds end at once, half when told to.
            if (round % 2 == 0) {
                while (!go) os::Sleep(0);
            }
            return 0u;
        });
        ASSERT_TRUE(thread.start());
        go = true;
        thread.stop();  // 0 or 1, whichever side won the race
        ASSERT_TRUE(thread.returned) << "round " << round;
        EXPECT_FALSE(thread.isRunning());
        EXPECT_EQ(thread.stop(), 0);
    }
}

TEST_F(WorkerThreadTest, ThreadStoppingItselfDoesNotWaitForItself) {
    std::atomic<bool> sawFlag{false};
    std::atomic<bool> waitedForItself{true};
    BodyThread thread([&](BodyThread& self) {
        waitedForItself = self.wait(os::kInfinite);
        EXPECT_EQ(self.stop(), 0);
        sawFlag = self.stopRequested();
        return 3u;
    });
    ASSERT_TRUE(thread.start());
    thread.stop();
    EXPECT_TRUE(thread.returned);
    EXPECT_TRUE(sawFlag);
    EXPECT_FALSE(waitedForItself);
    EXPECT_FALSE(thread.isRunning());
}

TEST_F(WorkerThreadTest, ThreadIdIsTheThreadsOwn) {
    std::atomic<os::ThreadId> seen{0};
    BodyThread thread([&](BodyThread&) {
        seen = os::GetCurrentThreadId();
        return 0u;
    });
    ASSERT_TRUE(thread.start());
    EXPECT_TRUE(thread.wait(os::kInfinite));
    EXPECT_NE(seen.load(), 0u);
    EXPECT_NE(seen.load(), os::GetCurrentThreadId());
}

}  // namespace
}  // namespace talvio
