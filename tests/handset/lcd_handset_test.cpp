#include <gtest/gtest.h>

#include <map>
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

TEST_F(LcdHandsetTest, WriterBlanksTwiceThenResendsAnUnchangedPictureOnceASecond) {
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

    // 2.5 s of an unchanged picture: every one of the 96 chunks again at
    // most a second after its last sending, twice, and nothing more.
    const std::uint64_t start = os::hosted::Now();
    os::hosted::AdvanceTime(2500);
    std::map<std::pair<int, int>, std::uint64_t> lastSent;
    for (const OutputRecord& chunk : ChunksSince(start)) {
        const std::pair<int, int> place{chunk.bytes[3], chunk.bytes[4]};
        const std::uint64_t previous = lastSent.count(place) != 0 ? lastSent[place] : start;
        EXPECT_LE(chunk.time - previous, 1000u);
        lastSent[place] = chunk.time;
    }
    EXPECT_EQ(lastSent.size(), 96u);
    EXPECT_EQ(ChunksSince(start).size(), 2u * 96u);
    EXPECT_FALSE(handset->With([](SimHandset& sim) { return sim.marginWritten(); }));
    EXPECT_EQ(handset->With([](SimHandset& sim) { return sim.rejectedReports(); }), 0);
}

TEST_F(LcdHandsetTest, APixelChangeIsOnTheWireWithinTenMsInTheChunksThatShowIt) {
    os::hosted::AdvanceTime(100);
    g_screen->pixels = {{0, 0}};
    const std::uint64_t renderedAt = os::hosted::Now();
    ASSERT_EQ(g_screen->device.RenderScreen(0), 0);
    os::hosted::AdvanceTime(10);
    EXPECT_TRUE(handset->With([](SimHandset& sim) { return sim.Pixel(0, 0); }));
    EXPECT_EQ(handset->With([](SimHandset& sim) { return sim.LitPixels(); }), 1);
    // The top-left dot is page byte 127 (the LCD is turned), which only the
    // chunk of device page 7 at column 121 shows: data byte 10, bit 7.
    std::vector<OutputRecord> chunks = ChunksSince(renderedAt);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_LE(chunks[0].time, renderedAt + 10);
    EXPECT_EQ(chunks[0].bytes[3], 7);
    EXPECT_EQ(chunks[0].bytes[4], 121);
    EXPECT_EQ(chunks[0].bytes[5 + 10], 0x80);

    // A dot at x 120 is page byte 7 of page 0. The device chunks at columns
    // 0 and 11 (page bytes -4..6 and 7..17) share the canvas chunk of bytes
    // 0..10: both go, the second with the dot in data byte 0.
    g_screen->pixels = {{0, 0}, {120, 0}};
    handset->ClearRecords();
    ASSERT_EQ(g_screen->device.RenderScreen(0), 0);
    os::hosted::AdvanceTime(10);
    chunks = ChunksSince(0);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].bytes[3], 7);
    EXPECT_EQ(chunks[0].bytes[4], 0);
    EXPECT_EQ(chunks[1].bytes[3], 7);
    EXPECT_EQ(chunks[1].bytes[4], 11);
    EXPECT_EQ(chunks[1].bytes[5 + 0], 0x80);
    EXPECT_TRUE(handset->With([](SimHandset& sim) { return sim.Pixel(120, 0); }));
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
