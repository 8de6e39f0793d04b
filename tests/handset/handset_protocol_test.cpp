#include "handset/handset_protocol.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <utility>
#include <vector>

namespace talvio {
namespace {

struct Report {
    std::uint8_t key = 0;
    bool onHook = true;
    std::uint8_t wheel = 0;
    std::uint8_t lineByte = 0;
};

// Report bytes as the handset sends them: id 1, key, hook 0x1F on the cradle.
std::array<std::uint8_t, 8> Bytes(const Report& r) {
    return {0x01, r.key, static_cast<std::uint8_t>(r.onHook ? 0x1F : 0x00), r.wheel, r.lineByte,
            0, 0, 0};
}

constexpr std::uint8_t kStepUp = 0x01;    // raises 126 after five
constexpr std::uint8_t kStepDown = 0xFF;  // raises 125 after five
constexpr int kDebouncePolls = 10;        // 600 ms of 60 ms polls

// One poll fed with `report` (null: no report read).
std::vector<int> Poll(int model, HandsetInputState& state, const Report* report, bool sink = true) {
    std::vector<int> raised;
    PollBeforeRead(state, sink, raised);
    int code = event::kNoReport;
    if (report) {
        const auto bytes = Bytes(*report);
        code = DecodeInputReport(model, state, bytes.data(), bytes.size());
    }
    PollAfterRead(state, code, sink, raised);
    return raised;
}

// Key code to event code as the handset's protocol lists them; every key
// code not listed means no key (255).
const std::map<int, int> kKeypadTable = {
    {1, 50}, {2, 1},  {3, 4},   {4, 7},    {5, 20},  {6, 122}, {7, 2},
    {8, 5},  {9, 8},  {10, 0},  {11, 30},  {12, 3},  {13, 6},  {14, 9},
    {15, 21}, {16, 60}, {17, 40}, {18, 120}, {19, 40}, {20, 60}, {31, 198}};
const std::map<int, int> kLcdTable = {
    {3, 21},  {4, 9},   {5, 6},   {6, 3},   {7, 30},  {8, 120}, {11, 0},
    {12, 8},  {13, 5},  {14, 2},  {15, 194}, {16, 60}, {18, 100}, {19, 20},
    {20, 7},  {21, 4},  {22, 1},  {23, 50}, {24, 40}, {31, 198}};

TEST(HandsetKeyTables, EveryKeyCodeOfBothModelsMapsAsTheProtocolLists) {
    for (const auto& [model, table] : {std::pair{kKeypadModelId, &kKeypadTable}, {kLcdModelId, &kLcdTable}}) {
        for (int key = 0; key <= 255; ++key) {
            const auto listed = table->find(key);
            EXPECT_EQ(MapKeyCode(model, static_cast<std::uint8_t>(key)),
                      listed == table->end() ? 255 : listed->second)
                << "model " << model << " key code " << key;
        }
        // The simulator holds the first key of an event; it must raise that event.
        for (const auto& [key, code] : *table) {
            const std::uint8_t held = KeyCodeForEvent(model, code);
            ASSERT_TRUE(table->contains(held)) << "model " << model << " event " << code;
            EXPECT_EQ(table->at(held), code);
            EXPECT_LE(held, key);
        }
    }
    EXPECT_EQ(KeyCodeForEvent(kKeypadModelId, 100), 0);
}

TEST(HandsetReports, CommandReportsCarryIdCommandAndParameterOnly) {
    const auto route = BuildCommandReport(16, kCommandAudioRoute, kRouteRing);
    ASSERT_EQ(route.size(), 100u);  // report buffers are 100 zeroed bytes
    EXPECT_EQ(route[0], 0x01);
    EXPECT_EQ(route[1], 1);
    EXPECT_EQ(route[2], 3);
    for (std::size_t i = 3; i < route.size(); ++i) EXPECT_EQ(route[i], 0) << i;
    const auto status = BuildCommandReport(16, kCommandStatus, 7);
    EXPECT_EQ(status[1], 5);
    EXPECT_EQ(status[2], 0);
    EXPECT_EQ(BuildCommandReport(200, kCommandLight, 1).size(), 200u);
}

TEST(HandsetReports, LcdChunksShiftPageBytesBehindFourBlankColumns) {
    std::vector<std::uint8_t> row(128);
    for (int i = 0; i < 128; ++i) row[i] = static_cast<std::uint8_t>(i + 1);
    const auto first = BuildLcdChunkReport(16, 7, 0, row);
    EXPECT_EQ(first[1], 3);
    EXPECT_EQ(first[2], 1);
    EXPECT_EQ(first[3], 7);
    EXPECT_EQ(first[4], 0);
    const std::vector<std::uint8_t> firstData(first.begin() + 5, first.begin() + 16);
    EXPECT_EQ(firstData, (std::vector<std::uint8_t>{0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7}));
    const auto second = BuildLcdChunkReport(16, 0, 11, row);
    EXPECT_EQ(second[5], 8);  // page byte 7
    const auto last = BuildLcdChunkReport(16, 0, 121, row);
    EXPECT_EQ(last[4], 121);
    EXPECT_EQ(last[5], 118);   // page byte 117
    EXPECT_EQ(last[15], 128);  // page byte 127
    EXPECT_EQ(last[16], 0);
    const auto blank = BuildLcdChunkReport(16, 3, 55, {});
    for (std::size_t i = 5; i < 16; ++i) EXPECT_EQ(blank[i], 0);
}

TEST(HandsetDecode, BadOrMissingReportsAreNoReport) {
    HandsetInputState state;
    const std::uint8_t wrongId[8] = {0x02, 3, 0, 0, 0};
    EXPECT_EQ(DecodeInputReport(kLcdModelId, state, wrongId, 8), 254);
    EXPECT_EQ(DecodeInputReport(kLcdModelId, state, nullptr, 8), 254);
    EXPECT_EQ(state.hook, -2);
    const std::uint8_t shortReport[2] = {0x01, 3};
    EXPECT_EQ(DecodeInputReport(kLcdModelId, state, shortReport, 2), 21);
    EXPECT_EQ(state.hook, 0);  // missing bytes read as 0: lifted
}

TEST(HandsetDecode, LineByteMeansOppositeThingsOnTheTwoModels) {
    HandsetInputState lcd, keypad;
    const auto zero = Bytes({0, true, 0, 0x00});
    DecodeInputReport(kLcdModelId, lcd, zero.data(), zero.size());
    DecodeInputReport(kKeypadModelId, keypad, zero.data(), zero.size());
    EXPECT_EQ(lcd.line, 0);
    EXPECT_EQ(keypad.line, 1);
    const auto ff = Bytes({0, true, 0, 0xFF});
    DecodeInputReport(kKeypadModelId, keypad, ff.data(), ff.size());
    EXPECT_EQ(keypad.line, 0);
    const auto selected = Bytes({0, true, 0, 0x1F});
    DecodeInputReport(kLcdModelId, lcd, selected.data(), selected.size());
    EXPECT_EQ(lcd.line, 1);
}

TEST(HandsetPoll, FirstReportRaisesHookAndLineBeforeAnyKey) {
    HandsetInputState state;
    const Report liftedWithKey{13, false, 0, 0x1F};
    EXPECT_EQ(Poll(kLcdModelId, state, &liftedWithKey), (std::vector<int>{80, 194, 5}));
    HandsetInputState keypad;
    const Report resting{0, true, 0, 0xFF};
    EXPECT_EQ(Poll(kKeypadModelId, keypad, &resting), (std::vector<int>{70, 195}));
}

TEST(HandsetPoll, NoReportRaisesNothingAndKeepsState) {
    HandsetInputState state;
    EXPECT_TRUE(Poll(kLcdModelId, state, nullptr).empty());
    EXPECT_EQ(state.seenLine, -1);
    const Report resting{};
    Poll(kLcdModelId, state, &resting);
    EXPECT_TRUE(Poll(kLcdModelId, state, nullptr).empty());
}

TEST(HandsetPoll, LineFlipAndBackWithinDebounceRaisesNothing) {
    HandsetInputState state;
    const Report released{0, true, 0, 0x00};
    const Report selected{0, true, 0, 0x1F};
    Poll(kLcdModelId, state, &released);
    std::vector<int> all;
    for (int i = 0; i < 3; ++i) {
        for (int c : Poll(kLcdModelId, state, &selected)) all.push_back(c);
    }
    for (int i = 0; i < 20; ++i) {
        for (int c : Poll(kLcdModelId, state, &released)) all.push_back(c);
    }
    EXPECT_TRUE(all.empty());
}

TEST(HandsetPoll, LineChangeThatStaysIsRaisedOnceAfterTenPolls) {
    HandsetInputState state;
    const Report released{0, true, 0, 0x00};
    const Report selected{0, true, 0, 0x1F};
    Poll(kLcdModelId, state, &released);
    Poll(kLcdModelId, state, &selected);
    for (int i = 1; i < kDebouncePolls; ++i) {
        EXPECT_TRUE(Poll(kLcdModelId, state, nullptr).empty()) << i;
    }
    EXPECT_EQ(Poll(kLcdModelId, state, &selected), std::vector<int>{71});
    for (int i = 0; i < 15; ++i) EXPECT_TRUE(Poll(kLcdModelId, state, &selected).empty());
    Poll(kLcdModelId, state, &released);
    for (int i = 1; i < kDebouncePolls; ++i) Poll(kLcdModelId, state, &released);
    EXPECT_EQ(Poll(kLcdModelId, state, &released), std::vector<int>{81});
}

TEST(HandsetPoll, WithoutSinkDebouncedLineIsNotRecorded) {
    HandsetInputState state;
    const Report released{0, true, 0, 0x00};
    const Report selected{0, true, 0, 0x1F};
    Poll(kLcdModelId, state, &released);
    Poll(kLcdModelId, state, &selected);
    for (int i = 0; i < kDebouncePolls; ++i) Poll(kLcdModelId, state, &selected, false);
    EXPECT_EQ(state.reportedLine, 0);
}

TEST(HandsetPoll, HeldKeyIsRaisedOnceAndASecondKeyNeedsARelease) {
    HandsetInputState state;
    const Report idle{};
    const Report five{13};
    const Report nine{4};
    Poll(kLcdModelId, state, &idle);
    EXPECT_EQ(Poll(kLcdModelId, state, &five), std::vector<int>{5});
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Poll(kLcdModelId, state, &five).empty());
    EXPECT_TRUE(Poll(kLcdModelId, state, &nine).empty());
    EXPECT_TRUE(Poll(kLcdModelId, state, nullptr).empty());
    EXPECT_TRUE(Poll(kLcdModelId, state, &idle).empty());
    EXPECT_EQ(Poll(kLcdModelId, state, &nine), std::vector<int>{9});
}

TEST(HandsetPoll, FiveWheelStepsGiveOneWheelEventOffHookOnly) {
    for (int model : {kKeypadModelId, kLcdModelId}) {
        HandsetInputState state;
        const Report lifted{0, false, 0, 0xFF};
        Poll(model, state, &lifted);
        const Report up{0, false, kStepUp, 0xFF};
        std::vector<int> raised;
        for (int i = 0; i < 5; ++i) {
            for (int c : Poll(model, state, &up)) raised.push_back(c);
        }
        EXPECT_EQ(raised, std::vector<int>{126}) << model;
        const Report down{0, false, kStepDown, 0xFF};
        raised.clear();
        for (int i = 0; i < 5; ++i) {
            for (int c : Poll(model, state, &down)) raised.push_back(c);
        }
        EXPECT_EQ(raised, std::vector<int>{125}) << model;
        const Report onHookTurn{0, true, kStepUp, 0xFF};
        raised.clear();
        for (int i = 0; i < 6; ++i) {
            for (int c : Poll(model, state, &onHookTurn)) raised.push_back(c);
        }
        EXPECT_EQ(raised, std::vector<int>{70}) << model;
        EXPECT_EQ(state.wheelCount, 0) << model;
    }
}

TEST(HandsetPoll, StepsWhileKeyHeldAreRaisedWithTheNextKeylessReport) {
    HandsetInputState state;
    const Report lifted{0, false, 0, 0};
    Poll(kLcdModelId, state, &lifted);
    const Report keyAndStep{22, false, kStepUp, 0};
    EXPECT_EQ(Poll(kLcdModelId, state, &keyAndStep), std::vector<int>{1});
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Poll(kLcdModelId, state, &keyAndStep).empty());
    EXPECT_EQ(state.wheelCount, 6);
    EXPECT_EQ(Poll(kLcdModelId, state, &lifted), std::vector<int>{126});
    EXPECT_EQ(state.wheelCount, 0);
}

TEST(HandsetPoll, KeyRightAfterAWheelEventIsRaised) {
    HandsetInputState state;
    const Report lifted{0, false, 0, 0};
    Poll(kLcdModelId, state, &lifted);
    const Report step{0, false, kStepDown, 0};
    for (int i = 0; i < 4; ++i) Poll(kLcdModelId, state, &step);
    EXPECT_EQ(Poll(kLcdModelId, state, &step), std::vector<int>{125});
    const Report key{11, false, 0, 0};
    EXPECT_EQ(Poll(kLcdModelId, state, &key), std::vector<int>{0});
}

TEST(HandsetPoll, KeypadCountsStepsOnlyAfterAReportAlreadyLifted) {
    HandsetInputState state;
    const Report resting{0, true, 0, 0xFF};
    Poll(kKeypadModelId, state, &resting);
    const Report liftAndStep{0, false, kStepUp, 0xFF};
    Poll(kKeypadModelId, state, &liftAndStep);
    EXPECT_EQ(state.wheelCount, 0);
    Poll(kKeypadModelId, state, &liftAndStep);
    EXPECT_EQ(state.wheelCount, 1);

    HandsetInputState lcd;
    const Report lcdResting{0, true, 0, 0};
    Poll(kLcdModelId, lcd, &lcdResting);
    const Report lcdLiftAndStep{0, false, kStepUp, 0};
    Poll(kLcdModelId, lcd, &lcdLiftAndStep);
    EXPECT_EQ(lcd.wheelCount, 1);
}

}  // namespace
}  // namespace talvio
