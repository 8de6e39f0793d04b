#include "handset/handset_link.h"

#include <gtest/gtest.h>

#include "handset/caller_text.h"
#include "handset/handset_protocol.h"
#include "tests/handset/support/fake_hid_bus.h"
#include "tests/handset/support/recording_sink.h"
#include "tests/support/desktop_test.h"

namespace talvio {
namespace {

using testing::FakeHandset;
using testing::FakeHidBus;
using testing::RecordingSink;

class RecordingAudio : public HandsetAudio {
public:
    bool PlayRingTone(int index, bool loop) override {
        calls.push_back({index, loop});
        return true;
    }
    std::vector<std::pair<int, bool>> calls;
};

class HandsetLinkTest : public talvio::testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        HandsetLink_SetBus(&bus);
        HandsetLink_SetAudio(&audio);
        HandsetLink_SetScreenFactory(nullptr);
    }
    void TearDown() override {
        HandsetLink_Stop();
        HandsetLink_SetAudio(nullptr);
        DesktopTest::TearDown();
    }

    static std::vector<std::uint8_t> Commands(FakeHandset& handset, std::uint8_t command) {
        std::vector<std::uint8_t> parameters;
        for (const auto& record : handset.Outputs()) {
            if (record.bytes[1] == command) parameters.push_back(record.bytes[2]);
        }
        return parameters;
    }

    FakeHidBus bus;
    RecordingAudio audio;
    RecordingSink sink;
};

TEST_F(HandsetLinkTest, StopReleasesTheRouteBeforeTheLightAndLeavesTheLinkSafeToCall) {
    auto handset = bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    os::hosted::AdvanceTime(60);
    ASSERT_EQ(HandsetLink_SetAudioPath(1, 4), 0);  // ringing on the ring route
    ASSERT_EQ(HandsetLink_SetLed(1), 0);
    ASSERT_TRUE(bus.registered());
    handset->ClearRecords();
    audio.calls.clear();

    HandsetLink_Stop();
    std::vector<std::vector<std::uint8_t>> sent;
    for (const auto& record : handset->Outputs())
        sent.push_back({record.bytes[0], record.bytes[1], record.bytes[2]});
    // Route command 1 with the talk route (2), then the light command 4 off.
    EXPECT_EQ(sent, (std::vector<std::vector<std::uint8_t>>{{1, 1, 2}, {1, 4, 0}}));
    EXPECT_FALSE(bus.registered());

    // A ring that ends afterwards (the player thread's tone guard) finds no
    // device: nothing is sent, the ring state is not touched.
    EXPECT_EQ(HandsetLink_SetAudioPath(0, -1), -1);
    EXPECT_EQ(HandsetLink_SetLed(0), -1);
    EXPECT_EQ(HandsetLink_IsPresent(), 0);
    os::hosted::AdvanceTime(400);
    EXPECT_EQ(handset->Outputs().size(), 2u);
    EXPECT_TRUE(audio.calls.empty());
}

TEST_F(HandsetLinkTest, KeypadModelAtStartReportsPresenceThenHookAndLineBeforeKeys) {
    auto handset = bus.PlugHandset(kKeypadModelId);
    handset->With([](SimHandset& sim) {
        sim.Lift();
        sim.HoldKeyFor(7);
        return 0;
    });
    HandsetLink_Start(&sink);
    EXPECT_EQ(sink.presence, std::vector<int>{1});
    EXPECT_EQ(sink.reservedValues, std::vector<int>{0});
    EXPECT_EQ(HandsetLink_GetModel(), kKeypadModelId);
    EXPECT_EQ(HandsetLink_GetHookState(), -2);
    os::hosted::AdvanceTime(60);
    // Only the state at the open is read, not the changes before it.
    EXPECT_EQ(sink.events, (std::vector<int>{80, 195, 7}));
    EXPECT_EQ(HandsetLink_GetHookState(), 0);
    EXPECT_EQ(HandsetLink_GetScreen(), nullptr);
}

TEST_F(HandsetLinkTest, HeldKeyRaisedOnceAcrossManyPolls) {
    auto handset = bus.PlugHandset(kLcdModelId);
    HandsetLink_Start(&sink);
    os::hosted::AdvanceTime(60);
    handset->With([](SimHandset& sim) { return sim.HoldKeyFor(5); });
    os::hosted::AdvanceTime(600);
    handset->With([](SimHandset& sim) {
        sim.ReleaseKey();
        sim.HoldKeyFor(5);
        return 0;
    });
    os::hosted::AdvanceTime(180);
    EXPECT_EQ(sink.events, (std::vector<int>{70, 195, 5, 5}));
}

TEST_F(HandsetLinkTest, SilentHandsetMakesEveryPollWaitFiftyMsAndRaiseNothing) {
    auto handset = bus.PlugHandset(kKeypadModelId);
    handset->With([](SimHandset& sim) {
        sim.SetSilent(true);
        return 0;
    });
    HandsetLink_Start(&sink);
    const std::uint64_t start = os::hosted::Now();
    os::hosted::AdvanceTime(600);
    const auto missed = handset->MissedReads();
    ASSERT_GE(missed.size(), 9u);
    for (const auto& read : missed) EXPECT_EQ(read.waitedMs, 50u);
    EXPECT_GE(missed.front().time, start + 60);
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(HandsetLinkTest, SlowTimerSendsStatusEveryTwoHundredMs) {
    auto handset = bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    os::hosted::AdvanceTime(1000);
    EXPECT_EQ(Commands(*handset, 5).size(), 5u);
}

TEST_F(HandsetLinkTest, UnplugReportsAbsenceTwiceAndReplugPresence) {
    auto handset = bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    bus.Unplug(handset);
    EXPECT_EQ(sink.presence, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(HandsetLink_IsPresent(), 0);
    bus.PlugHandset(kKeypadModelId);
    EXPECT_EQ(sink.presence, (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(HandsetLink_IsPresent(), 1);
}

TEST_F(HandsetLinkTest, RemovalOfAnUnrelatedDeviceReReportsPresence) {
    auto handset = bus.PlugHandset(kLcdModelId);
    bus.PlugOther(0x046D, 0xC077, L"\\\\?\\hid#vid_046d&pid_c077#mouse");
    HandsetLink_Start(&sink);
    bus.UnplugOther(L"\\\\?\\hid#vid_046d&pid_c077#mouse");
    EXPECT_EQ(sink.presence, (std::vector<int>{1, 1}));
    EXPECT_EQ(HandsetLink_GetModel(), kLcdModelId);
    EXPECT_EQ(handset->Opens(), 1);
}

TEST_F(HandsetLinkTest, SecondHandsetIgnoredUntilTheFirstIsRemoved) {
    auto first = bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    auto second = bus.PlugHandset(kLcdModelId);
    EXPECT_EQ(HandsetLink_GetModel(), kKeypadModelId);
    EXPECT_EQ(sink.presence, std::vector<int>{1});
    bus.Unplug(first);
    EXPECT_EQ(HandsetLink_GetModel(), kLcdModelId);
    EXPECT_EQ(sink.presence, (std::vector<int>{1, 0, 1}));
}

TEST_F(HandsetLinkTest, HandsetThatCannotBeOpenedIsSkippedForTheNextOne) {
    auto broken = bus.PlugHandset(kLcdModelId);
    broken->SetOpenFails(true);
    bus.PlugHandset(kKeypadModelId);
    bus.PlugOther(0x04B4, 0x0408, L"unsupported model");
    HandsetLink_Start(&sink);
    EXPECT_EQ(HandsetLink_GetModel(), kKeypadModelId);
    EXPECT_EQ(sink.presence, std::vector<int>{1});
    os::hosted::AdvanceTime(400);  // the failed candidate left no timers behind
    EXPECT_TRUE(broken->Outputs().empty());
}

TEST_F(HandsetLinkTest, UnreadablePathShowsTheErrorBoxAndOpensNothing) {
    bus.AddUnreadableInterface();
    bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    EXPECT_EQ(bus.errors(),
              std::vector<std::wstring>{L"Error: Could not find the system name for this HID device"});
    EXPECT_EQ(HandsetLink_IsPresent(), 0);
}

TEST_F(HandsetLinkTest, ListFailureLeavesAnOpenHandsetAlone) {
    bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    bus.SetListFails(true);
    bus.PlugOther(0x1234, 0x0001, L"other");
    bus.UnplugOther(L"other");
    EXPECT_EQ(HandsetLink_IsPresent(), 1);
    EXPECT_EQ(bus.errorBoxes(), 0);
}

TEST_F(HandsetLinkTest, AudioPathFollowsHookAndLineAndDrivesTheRing) {
    auto handset = bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    os::hosted::AdvanceTime(60);  // first report: on hook, line released
    EXPECT_EQ(HandsetLink_SetAudioPath(0, 0), 0);
    EXPECT_EQ(HandsetLink_SetAudioPath(1, 4), 0);
    EXPECT_EQ(HandsetLink_SetAudioPath(2, 1), 0);
    EXPECT_EQ(HandsetLink_SetAudioPath(2, 0), 0);
    EXPECT_EQ(HandsetLink_SetAudioPath(0, -2), 0);
    handset->With([](SimHandset& sim) {
        sim.Lift();
        return 0;
    });
    os::hosted::AdvanceTime(60);
    EXPECT_EQ(HandsetLink_SetAudioPath(0), 0);
    EXPECT_EQ(Commands(*handset, 1), (std::vector<std::uint8_t>{3, 3, 3, 3, 3, 2}));
    EXPECT_EQ(audio.calls, (std::vector<std::pair<int, bool>>{
                               {-1, false}, {4, true}, {-1, true}, {-1, false}}));
}

TEST_F(HandsetLinkTest, LightCommandsAndFailedWrites) {
    auto handset = bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    EXPECT_EQ(HandsetLink_SetLed(1), 0);
    EXPECT_EQ(HandsetLink_SetLight(1, 2), 0);  // only 1 means on
    EXPECT_EQ(HandsetLink_SetLight(0, 1), 0);
    handset->SetWritesFail(true);
    EXPECT_EQ(HandsetLink_SetLed(0), -1);
    EXPECT_EQ(HandsetLink_Configure(1, 1), -1);
    handset->SetWritesFail(false);
    EXPECT_EQ(Commands(*handset, 4), (std::vector<std::uint8_t>{1, 0, 1}));
    HandsetLink_Stop();
    EXPECT_FALSE(handset->With([](SimHandset& sim) { return sim.lightOn(); }));
}

TEST_F(HandsetLinkTest, UnplugInsideAnEventHandlerIsSafe) {
    auto handset = bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    sink.onEvent = [&](int code) {
        if (code == 80) bus.Unplug(handset);
    };
    handset->With([](SimHandset& sim) {
        sim.Lift();
        return 0;
    });
    os::hosted::AdvanceTime(200);
    EXPECT_EQ(HandsetLink_IsPresent(), 0);
    EXPECT_EQ(sink.presence, (std::vector<int>{1, 0, 0}));
}

CallerTextBlock Block(std::uintptr_t kind, std::uint32_t code, const std::string& text,
                      std::uint32_t extra = 0) {
    std::vector<std::uint8_t> payload(8 + text.size() * 2 + 2 + extra, 0);
    payload[0] = static_cast<std::uint8_t>(code);
    for (std::size_t i = 0; i < text.size(); ++i) payload[8 + 2 * i] = static_cast<std::uint8_t>(text[i]);
    os::CopyDataStruct received;
    received.dwData = kind;
    received.cbData = static_cast<std::uint32_t>(payload.size());
    received.lpData = payload.data();
    return TakeCallerTextBlock(AllocateCallerTextBlock(received));
}

TEST(CallerTextParse, AcceptsOnlyBoundedKindElevenPayloadsAboveFifty) {
    std::wstring text;
    EXPECT_TRUE(ParseCallerText(*Block(11, 51, "Alice"), text));
    EXPECT_EQ(text, L"Alice");
    for (const auto& bad : {Block(10, 51, "Bob"), Block(11, 50, "Bob"), Block(11, 99, "Bob", 1010)}) {
        EXPECT_FALSE(ParseCallerText(*bad, text));
    }
    // An unterminated odd-length payload just below the limit stays inside.
    std::vector<std::uint8_t> payload(1023, 'A');
    payload[0] = 60;
    payload[1] = payload[2] = payload[3] = 0;
    os::CopyDataStruct received{11, 1023, payload.data()};
    EXPECT_TRUE(ParseCallerText(*TakeCallerTextBlock(AllocateCallerTextBlock(received)), text));
    EXPECT_EQ(text.size(), (1022u - 8u) / 2u);
}

TEST_F(HandsetLinkTest, CallerTextMessageIsFreedWithoutAScreen) {
    bus.PlugHandset(kKeypadModelId);
    HandsetLink_Start(&sink);
    const std::vector<std::uint8_t> payload = {77, 0, 0, 0, 0, 0, 0, 0, 'C', 0, 0, 0};
    const os::CopyDataStruct received{11, static_cast<std::uint32_t>(payload.size()), payload.data()};
    const os::LParam block = AllocateCallerTextBlock(received);
    os::SendMessage(HandsetLink_GetWindow(), kCallerTextMessage, 0, block);
    os::SendMessage(HandsetLink_GetWindow(), kCallerTextMessage, 0, 0);
    EXPECT_EQ(TakeCallerTextBlock(block), nullptr);  // taken and freed by the window
    EXPECT_EQ(HandsetLink_IsPresent(), 1);  // and LeakSanitizer sees no leak
}

}  // namespace
}  // namespace talvio
