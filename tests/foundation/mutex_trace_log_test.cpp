#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/mutex.h"
#include "foundation/trace_log.h"
#include "foundation/worker_thread.h"
#include "tests/foundation/fresh_desktop.h"

namespace talvio {
namespace {

class RecordingSink : public TraceSink {
public:
    void write(int level, const char* line) override {
        levels.push_back(level);
        lines.emplace_back(line);
    }
    std::vector<int> levels;
    std::vector<std::string> lines;
};

// Calls a function `count` times on its own thread.
class LoopThread : public WorkerThread {
public:
    LoopThread(int count, std::function<void(int)> step) : count_(count), step_(std::move(step)) {}
    ~LoopThread() override { stop(); }

protected:
    unsigned run() override {
        for (int i = 0; i < count_; ++i) step_(i);
        return 0;
    }

private:
    int count_;
    std::function<void(int)> step_;
};

using MutexTest = testing::FreshDesktopTest;
using TraceLogTest = testing::FreshDesktopTest;

TEST_F(MutexTest, TheHolderMayLockAgain) {
    Mutex mutex;
    int counter = 0;
    {
        MutexLock outer(mutex);
        MutexLock inner(mutex);
        ++counter;
    }
    // Still usable by another thread afterwards: the recursion was undone.
    LoopThread other(1, [&](int) {
        MutexLock lock(mutex);
        ++counter;
    });
    ASSERT_TRUE(other.start());
    other.stop();
    EXPECT_EQ(counter, 2);
}

TEST_F(MutexTest, SerialisesReadModifyWrite) {
    Mutex mutex;
    long counter = 0;
    std::atomic<int> ready{0};
    auto bump = [&](int i) {
        if (i == 0) {  // all three threads start together
            ++ready;
            while (ready.load() < 3) {
            }
        }
        MutexLock lock(mutex);
        const long seen = counter;
        volatile int spin = 0;  // widens the window another thread would slip into
        while (spin < 5000) spin = spin + 1;
        counter = seen + 1;
    };
    LoopThread a(1000, bump), b(1000, bump);
    ASSERT_TRUE(a.start());
    ASSERT_TRUE(b.start());
    for (int i = 0; i < 1000; ++i) bump(i);
    a.stop();
    b.stop();
    EXPECT_EQ(counter, 3000);
}

TEST_F(TraceLogTest, FormatsAndAppendsANewline) {
    auto log = std::make_unique<TraceLog>();
    RecordingSink sink;
    log->trace(7, "dropped %d", 1);  // no sink yet
    log->setSink(&sink);
    log->trace(7, "Connected to %s!!!\n", "VoipBuster");
    log->trace(4, "Send broadcast message!!");
    log->trace(3, "Connected a Voip program[0x%X, 0x%X]...", 0x1Fu, 0xABCu);
    log->setSink(nullptr);
    log->trace(7, "dropped too");
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(sink.lines[0], "Connected to VoipBuster!!!\n\n");
    EXPECT_EQ(sink.lines[1], "Send broadcast message!!\n");
    EXPECT_EQ(sink.lines[2], "Connected a Voip program[0x1F, 0xABC]...\n");
    EXPECT_EQ(sink.levels, (std::vector<int>{7, 4, 3}));
}

TEST_F(TraceLogTest, LongLinesAreCutWithinTheBuffer) {
    auto log = std::make_unique<TraceLog>();
    RecordingSink sink;
    log->setSink(&sink);
    const int limit = TraceLog::kBufferSize - 2;  // text, "\n" and NUL fill the buffer
    const std::string fits(static_cast<std::size_t>(limit), 'a');
    const std::string over(static_cast<std::size_t>(limit) + 1, 'b');
    const std::string huge(300000, 'c');
    log->trace(1, "%s", fits.c_str());
    log->trace(1, "%s", over.c_str());
    log->trace(1, "%s%s", huge.c_str(), "tail");
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(sink.lines[0], fits + "\n");
    EXPECT_EQ(sink.lines[1], over.substr(0, static_cast<std::size_t>(limit)) + "\n");
    EXPECT_EQ(sink.lines[2], huge.substr(0, static_cast<std::size_t>(limit)) + "\n");
}

TEST_F(TraceLogTest, LinesFromSeveralThreadsStayWholeAlsoAfterADesktopReset) {
    // The program's log lives on while test desktops come and go; its lock
    // must hold in every one of them.
    TraceLog& log = TraceLog::global();
    testing::ResetDesktop();
    RecordingSink sink;  // written only under the log's mutex
    log.setSink(&sink);
    auto step = [&](int i) { log.trace(3, "line %d from %s", i, "worker"); };
    LoopThread a(500, step), b(500, step);
    ASSERT_TRUE(a.start());
    ASSERT_TRUE(b.start());
    for (int i = 0; i < 500; ++i) log.trace(4, "line %d from %s", i, "main");
    a.stop();
    b.stop();
    log.setSink(nullptr);
    ASSERT_EQ(sink.lines.size(), 1500u);
    int fromMain = 0;
    for (const std::string& line : sink.lines) {
        int number = -1;
        char who[16] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "line %d from %15s", &number, who), 2) << line;
        EXPECT_EQ(line, "line " + std::to_string(number) + " from " + who + "\n");
        fromMain += std::strcmp(who, "main") == 0;
    }
    EXPECT_EQ(fromMain, 500);
}

}  // namespace
}  // namespace talvio
