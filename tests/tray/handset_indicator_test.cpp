// The handset light as timer 1002 drives it: blink patterns tick by tick
// and the indicator countdown, seen as the light commands (command 4)
// that reach the keypad handset on the fake HID bus.
#include "tray/handset_indicator.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "handset/handset_link.h"
#include "handset/handset_protocol.h"
#include "tests/handset/support/fake_hid_bus.h"
#include "tests/support/desktop_test.h"

namespace talvio::testing {
namespace {

constexpr int kNoChange = -1;

class IndicatorTest : public DesktopTest {
protected:
    void SetUp() override {
        HandsetLink_SetBus(&bus);
        HandsetLink_SetScreenFactory(nullptr);
        handset = bus.PlugHandset(kKeypadModelId);
        HandsetLink_Start(nullptr);
        ASSERT_EQ(HandsetLink_IsPresent(), 1);
        handset->ClearRecords();
    }
    void TearDown() override { HandsetLink_Stop(); }

    // The light commands sent since the last look: 1 on, 0 off.
    std::vector<int> Light() {
        std::vector<int> sent;
        for (const OutputRecord& record : handset->Outputs()) {
            if (record.bytes.size() > 2 && record.bytes[1] == kCommandLight) sent.push_back(record.bytes[2]);
        }
        handset->ClearRecords();
        return sent;
    }

    // What each tick did to the light: 1, 0, or kNoChange.
    std::vector<int> Ticks(int count) {
        std::vector<int> seen;
        for (int i = 0; i < count; ++i) {
            indicator.Tick();
            const std::vector<int> sent = Light();
            seen.push_back(sent.empty() ? kNoChange : sent.back());
        }
        return seen;
    }

    FakeHidBus bus;
    std::shared_ptr<FakeHandset> handset;
    HandsetIndicator indicator;
};

TEST_F(IndicatorTest, BlinkPatternsStartLitAndStepOncePerTick) {
    struct Case {
        int mode;
        std::vector<int> ticks;
    };
    const Case cases[] = {
        {2, {0, 1, 0, 1}},
        {3, {0, kNoChange, 1, 0, kNoChange, 1}},
        {4, {kNoChange, kNoChange, 0, kNoChange, 1, kNoChange}},
        {1, {kNoChange, kNoChange}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        indicator.SetLedBlinkMode(c.mode);
        EXPECT_EQ(Light(), std::vector<int>{1});
        EXPECT_EQ(Ticks(static_cast<int>(c.ticks.size())), c.ticks);
    }
    // A new mode starts again from its first phase.
    indicator.SetLedBlinkMode(3);
    Ticks(1);
    indicator.SetLedBlinkMode(3);
    Light();
    EXPECT_EQ(Ticks(1), std::vector<int>{0});

    indicator.SetLedBlinkMode(0);
    EXPECT_EQ(Light(), std::vector<int>{0});
    EXPECT_EQ(Ticks(3), (std::vector<int>{kNoChange, kNoChange, kNoChange}));
}

TEST_F(IndicatorTest, AttentionIndicatorGoesOutAfterTwoMinutesUnlessUnlimited) {
    indicator.SetIndicator(2);
    EXPECT_EQ(Light(), std::vector<int>{1});
    EXPECT_EQ(indicator.IndicatorCountdown(), 240);
    Ticks(239);
    EXPECT_EQ(Ticks(1), std::vector<int>{0});
    EXPECT_EQ(indicator.IndicatorCountdown(), 0);

    indicator.SetIndicator(1);
    EXPECT_EQ(Light(), std::vector<int>{1});
    indicator.SetIndicator(2);
    EXPECT_EQ(indicator.IndicatorCountdown(), -1);
    const std::vector<int> ticks = Ticks(300);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), 0), 0);

    // Kind 3 only starts the five seconds; kind 4 turns the light off now.
    indicator.SetIndicator(3);
    EXPECT_EQ(Light(), std::vector<int>{});
    Ticks(9);
    EXPECT_EQ(Ticks(1), std::vector<int>{0});
    indicator.SetIndicator(1);
    indicator.SetIndicator(4);
    EXPECT_EQ(Light(), (std::vector<int>{1, 0}));
    EXPECT_EQ(indicator.IndicatorCountdown(), 0);
}

}  // namespace
}  // namespace talvio::testing
