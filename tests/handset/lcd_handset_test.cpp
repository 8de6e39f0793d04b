#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "handset/caller_text.h"
#include "handset/handset_device.h"
#include "handset/handset_link.h"
#include "handset_ui/lcd_canvas.h"
#include "tests/handset/support/fake_hid_bus.h"
#include "tests/handset/support/recording_sink.h"
#include "tests/support/desktop_test.h"

namespace talvio {
namespace {

using testing::FakeHandset;
using testing::FakeHidBus;
using testing::OutputRecord;
using testing::RecordingSink;

class TestScreen : public LcdScreen {
public:
    explicit TestScreen(HandsetDevice& device) : device(device) {}
    void Start() override { ++starts; }
    void Tick(std::uint32_t now) override { ticks.push_back(now); }
    void Draw(LcdCanvas& canvas) override {
        for (auto [x, y] : pixels) canvas.SetPixel(x, y, true);
    }
    void OnCallerText(const std::wstring& text) override { callerTexts.push_back(text); }

    HandsetDevice& device;
    int starts = 0;
    std::vector<std::uint32_t> ticks;
    std::vector<std::wstring> callerTexts;
    std::vector<std::pair<int, int>> pixels;
};

TestScreen* g_screen = nullptr;

std::unique_ptr<LcdScreen> MakeScreen(HandsetDevice& device) {
    auto screen = std::make_unique<TestScreen>(device);
    g_screen = screen.get();
    return screen;
}

// Command 3 carries 11 column bytes from byte 5.
bool IsChunk(const OutputRecord& r) { return r.bytes[1] == 3; }

bool IsBlankChunk(const OutputRecord& r) {
    if (!IsChunk(r)) return false;
    for (std::size_t i = 5; i < r.bytes.size(); ++i) {
        if (r.bytes[i] != 0) return false;
    }
    return true;
}

class LcdHandsetTest : public talvio::testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        g_screen = nullptr;
        HandsetLink_SetBus(&bus);
        HandsetLink_SetScreenFactory(MakeScreen);
        handset = bus.PlugHandset(kLcdModelId);
        HandsetLink_Start(&sink);
        ASSERT_NE(g_screen, nullptr);
    }
    void TearDown() override {
        HandsetLink_Stop();
        HandsetLink_SetScreenFactory(nullptr);
        DesktopTest::TearDown();
    }

    // Chunk reports sent since `since` (virtual time).
    std::vector<OutputRecord> ChunksSince(std::uint64_t since) {
        std::vector<OutputRecord> chunks;
        for (auto& r : handset->Outputs()) {
            if (IsChunk(r) && r.time >= since) chunks.push_back(std::move(r));
        }
        return chunks;
    }

    FakeHidBus bus;
    RecordingSink sink;
    std::shared_ptr<FakeHandset> handset;
};

TEST_F(LcdHandsetTest, WriterBlanksTwiceThenStreamsTheFrameContinuously) {
    EXPECT_EQ(HandsetLink_GetScreen(), g_screen);
    EXPECT_EQ(g_screen->starts, 1);
    os::hosted::AdvanceTime(50);
    std::vector<OutputRecord> chunks = ChunksSince(0);
    ASSERT_GE(chunks.size(), 192u);
    std::set<std::pair<int, int>> covered;
    for (std::size_t i = 0; i < 192; ++i) {
        EXPECT_TRUE(IsBlankChunk(chunks[i])) << i;
        covered.insert({chunks[i].bytes[3], chunks[i].bytes[4]});
    }
    EXPECT_EQ(covered.size(), 96u);
    const std::uint64_t start = os::hosted::Now();
    os::hosted::AdvanceTime(1000);
    // An unchanged picture is resent after every three idle 10 ms passes.
    const std::size_t frames = ChunksSince(start).size() / 96;
    EXPECT_GE(frames, 20u);
    EXPECT_LE(frames, 30u);
    EXPECT_FALSE(handset->With([](SimHandset& sim) { return sim.marginWritten(); }));
    EXPECT_EQ(handset->With([](SimHandset& sim) { return sim.rejectedReports(); }), 0);
}

TEST_F(LcdHandsetTest, OnePixelChangeIsOnTheWireWithinTenMsAsAFullFrame) {
    os::hosted::AdvanceTime(100);
    g_screen->pixels = {{0, 0}};
    const std::uint64_t renderedAt = os::hosted::Now();
    ASSERT_EQ(g_screen->device.RenderScreen(0), 0);
    os::hosted::AdvanceTime(10);
    EXPECT_TRUE(handset->With([](SimHandset& sim) { return sim.Pixel(0, 0); }));
    EXPECT_EQ(handset->With([](SimHandset& sim) { return sim.LitPixels(); }), 1);
    const std::vector<OutputRecord> chunks = ChunksSince(renderedAt);
    ASSERT_GE(chunks.size(), 96u);
    std::set<std::pair<int, int>> covered;
    for (std::size_t i = 0; i < 96; ++i) covered.insert({chunks[i].bytes[3], chunks[i].bytes[4]});
    EXPECT_EQ(covered.size(), 96u);
    EXPECT_LE(chunks[95].time, renderedAt + 10);
    // The dot: device page 7, chunk at 121, data byte 10 (column 131), bit 7.
    bool found = false;
    for (std::size_t i = 0; i < 96; ++i) {
        if (chunks[i].bytes[3] == 7 && chunks[i].bytes[4] == 121) {
            EXPECT_EQ(chunks[i].bytes[5 + 10], 0x80);
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(LcdHandsetTest, StopReleasesTheRouteThenTurnsTheLightOffThenBlanksTheLcd) {
    g_screen->pixels = {{10, 10}, {127, 63}};
    g_screen->device.RenderScreen(0);
    os::hosted::AdvanceTime(100);
    EXPECT_EQ(handset->With([](SimHandset& sim) { return sim.LitPixels(); }), 2);
    HandsetLink_SetLed(1);
    handset->ClearRecords();
    HandsetLink_Stop();
    EXPECT_TRUE(handset->With([](SimHandset& sim) { return sim.Blank(); }));
    const std::vector<OutputRecord> outputs = handset->Outputs();
    // Besides the picture the writer sends until it has stopped: the route
    // release (command 1, value 2), then the light off (command 4, 0), and
    // two passes of blank chunks last.
    std::vector<std::pair<int, int>> commands;
    std::size_t lastCommand = 0;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (IsChunk(outputs[i])) continue;
        commands.push_back({outputs[i].bytes[1], outputs[i].bytes[2]});
        lastCommand = i;
    }
    EXPECT_EQ(commands, (std::vector<std::pair<int, int>>{{1, 2}, {4, 0}}));
    ASSERT_GE(outputs.size(), lastCommand + 1 + 192);
    std::set<std::pair<int, int>> covered;
    for (std::size_t i = outputs.size() - 192; i < outputs.size(); ++i) {
        EXPECT_TRUE(IsBlankChunk(outputs[i])) << i;
        covered.insert({outputs[i].bytes[3], outputs[i].bytes[4]});
    }
    EXPECT_EQ(covered.size(), 96u);
    const std::size_t sent = outputs.size();
    os::hosted::AdvanceTime(500);
    EXPECT_EQ(handset->Outputs().size(), sent);
}

TEST_F(LcdHandsetTest, UnplugWhileStreamingStopsTheWriter) {
    os::hosted::AdvanceTime(100);
    bus.Unplug(handset);
    EXPECT_EQ(HandsetLink_IsPresent(), 0);
    EXPECT_EQ(HandsetLink_GetScreen(), nullptr);
    EXPECT_EQ(sink.presence, (std::vector<int>{1, 0, 0}));
    os::hosted::AdvanceTime(500);
}

TEST_F(LcdHandsetTest, SlowTimerTicksTheScreenAndSendsStatus) {
    os::hosted::AdvanceTime(1000);
    // Polls that wait for a report delay the slow timer; a tick comes at
    // most every 200 ms.
    ASSERT_GE(g_screen->ticks.size(), 3u);
    for (std::size_t i = 1; i < g_screen->ticks.size(); ++i) {
        EXPECT_GE(g_screen->ticks[i] - g_screen->ticks[i - 1], 200u);
    }
    int status = 0;
    for (const auto& r : handset->Outputs()) status += r.bytes[1] == 5 ? 1 : 0;
    EXPECT_EQ(status, 5);
}

// Any process can post 1260: only a block this process made, once, is read.
TEST_F(LcdHandsetTest, CallerTextReachesTheScreenOnlyFromOurOwnBlocks) {
    std::vector<std::uint8_t> payload = {77, 0, 0, 0, 1, 0, 0, 0, 'D', 0, 'a', 0, 'n', 0, 0, 0};
    os::CopyDataStruct received{11, static_cast<std::uint32_t>(payload.size()), payload.data()};
    const os::LParam block = AllocateCallerTextBlock(received);
    ASSERT_NE(block, 0);
    {
        os::hosted::ProcessScope scope(os::hosted::CreateProcess(L"intruder.exe"));
        // A well-formed block at an address of its own looks just like ours.
        for (const os::LParam junk : {os::LParam{1}, os::LParam{-1}, os::LParam{0x7FFFFFFF},
                                      reinterpret_cast<os::LParam>(&received), block + 1}) {
            os::PostMessage(HandsetLink_GetWindow(), kCallerTextMessage, 0, junk);
        }
    }
    os::hosted::PumpMessages();
    EXPECT_TRUE(g_screen->callerTexts.empty());

    os::SendMessage(HandsetLink_GetWindow(), kCallerTextMessage, 0, block);
    os::SendMessage(HandsetLink_GetWindow(), kCallerTextMessage, 0, block);  // freed by the first
    EXPECT_EQ(g_screen->callerTexts, std::vector<std::wstring>{L"Dan"});
}

TEST_F(LcdHandsetTest, LcdModelKeepsItsOwnKeyTableAndNoRequestedPath) {
    os::hosted::AdvanceTime(60);
    handset->With([](SimHandset& sim) {
        sim.Lift();
        sim.SetLine(true);
        sim.HoldKey(18);
        return 0;
    });
    os::hosted::AdvanceTime(60 * 15);
    EXPECT_EQ(sink.events, (std::vector<int>{70, 195, 80, 100, 71}));
    EXPECT_EQ(HandsetLink_GetLineState(), 1);
    EXPECT_EQ(g_screen->device.RequestAudioPath(1), -1);
    EXPECT_EQ(g_screen->device.HasFeature(9), 1);
}

}  // namespace
}  // namespace talvio
