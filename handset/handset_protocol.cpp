#include "handset/handset_protocol.h"

#include <algorithm>
#include <array>

namespace talvio {
namespace {

constexpr int kNone = event::kNoKey;

// Index: key code 0..31.
constexpr std::array<std::uint8_t, 32> kKeypadKeys = {
    kNone, 50, 1, 4, 7, 20, 122, 2, 5, 8, 0, 30, 3, 6, 9, 21,
    60, 40, 120, 40, 60, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, 198};
constexpr std::array<std::uint8_t, 32> kLcdKeys = {
    kNone, kNone, kNone, 21, 9, 6, 3, 30, 120, kNone, kNone, 0, 8, 5, 2, 194,
    60, kNone, 100, 20, 7, 4, 1, 50, 40, kNone, kNone, kNone, kNone, kNone, kNone, 198};

const std::array<std::uint8_t, 32>& KeyTable(int modelId) {
    return modelId == kLcdModelId ? kLcdKeys : kKeypadKeys;
}

}  // namespace

int MapKeyCode(int modelId, std::uint8_t keyCode) {
    return keyCode < 32 ? KeyTable(modelId)[keyCode] : kNone;
}

std::uint8_t KeyCodeForEvent(int modelId, int eventCode) {
    const auto& table = KeyTable(modelId);
    for (std::size_t key = 1; key < table.size(); ++key) {
        if (table[key] == eventCode) return static_cast<std::uint8_t>(key);
    }
    return 0;
}

bool IsHandsetEventCode(int code) {
    static constexpr int kCodes[] = {0,  1,  2,  3,  4,  5,   6,   7,   8,   9,   20,  21,
                                     30, 40, 50, 60, 70, 71,  80,  81,  100, 120, 122, 125,
                                     126, 194, 195, 198};
    return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes);
}

void HandsetInputState::ResetReported() {
    lastKey = -1;
    reportedLine = -1;
    seenLine = -1;
    hook = -2;
    reportedHook = -2;
}

std::vector<std::uint8_t> MakeReportBuffer(std::size_t length) {
    return std::vector<std::uint8_t>(std::max(kReportBufferSize, length), 0);
}

std::vector<std::uint8_t> BuildCommandReport(std::size_t length, std::uint8_t command,
                                             std::uint8_t parameter) {
    std::vector<std::uint8_t> report = MakeReportBuffer(length);
    report[0] = kReportId;
    report[1] = command;
    if (command != kCommandStatus) report[2] = parameter;
    return report;
}

std::vector<std::uint8_t> BuildLcdChunkReport(std::size_t length, int devicePage, int startColumn,
                                              std::span<const std::uint8_t> pageRow) {
    std::vector<std::uint8_t> report;
    FillLcdChunkReport(report, length, devicePage, startColumn, pageRow);
    return report;
}

void FillLcdChunkReport(std::vector<std::uint8_t>& report, std::size_t length, int devicePage,
                        int startColumn, std::span<const std::uint8_t> pageRow) {
    report.assign(std::max(kReportBufferSize, length), 0);
    report[0] = kReportId;
    report[1] = kCommandLcdChunk;
    report[2] = 0x01;
    report[3] = static_cast<std::uint8_t>(devicePage);
    report[4] = static_cast<std::uint8_t>(startColumn);
    for (int i = 0; i < kLcdChunkWidth; ++i) {
        const int index = startColumn + i - kLcdBlankColumns;
        if (index >= 0 && index < static_cast<int>(pageRow.size())) {
            report[kLcdChunkDataOffset + i] = pageRow[index];
        }
    }
}

int DecodeInputReport(int modelId, HandsetInputState& state, const std::uint8_t* report,
                      std::size_t length) {
    if (report == nullptr || length < 1 || report[0] != kReportId) return event::kNoReport;
    // Short reports read as zero-filled, like the zeroed report buffer.
    const auto at = [&](std::size_t i) -> std::uint8_t { return i < length ? report[i] : 0; };
    const int code = MapKeyCode(modelId, at(1));
    const std::int32_t previousHook = state.hook;
    state.hook = at(2) == kHookOnCradle ? 1 : 0;
    if (modelId == kLcdModelId) {
        state.line = at(4) == kLcdLineSelected ? 1 : 0;
    } else {
        state.line = at(4) != kKeypadLineReleased ? 1 : 0;
    }
    if (state.hook == 1) return code;
    // The keypad model counts steps only once a previous report had it lifted.
    if (modelId == kLcdModelId || previousHook == 0) {
        if (at(3) == kWheelStepUp) ++state.wheelCount;
        if (at(3) == kWheelStepDown) --state.wheelCount;
    }
    if (code != event::kNoKey) return code;
    if (state.wheelCount >= kWheelThreshold) {
        state.wheelCount = 0;
        return event::kWheelUp;
    }
    if (state.wheelCount <= -kWheelThreshold) {
        state.wheelCount = 0;
        return event::kWheelDown;
    }
    return code;
}

void PollBeforeRead(HandsetInputState& state, bool haveSink, std::vector<int>& raised) {
    if (state.lineDebounce <= 0) return;
    if (--state.lineDebounce == 0 && state.line != state.reportedLine && haveSink) {
        state.reportedLine = state.line;
        raised.push_back(state.line == 1 ? event::kLineSelected : event::kLineReleased);
    }
}

void PollAfterRead(HandsetInputState& state, int code, bool haveSink, std::vector<int>& raised) {
    const auto raise = [&](int value) {
        if (haveSink) raised.push_back(value);
    };
    if (state.hook != state.reportedHook && state.hook != -2) {
        state.reportedHook = state.hook;
        raise(state.hook == 1 ? event::kOnHook : event::kOffHook);
    }
    if (code == event::kNoReport) return;
    if (state.line != state.seenLine) {
        if (state.seenLine == -1) {
            raise(state.line == 1 ? event::kFirstLineSelected : event::kFirstLineReleased);
            state.reportedLine = state.line;
        } else {
            state.lineDebounce = kLineDebouncePolls;
        }
        state.seenLine = state.line;
    }
    // A wheel code comes only from a keyless report: it is no held key, so it
    // is raised even right after a key and does not hide the next key.
    if (code == event::kWheelUp || code == event::kWheelDown) {
        raise(code);
        state.lastKey = -1;
        return;
    }
    if (code != event::kNoKey && state.lastKey == -1) raise(code);
    state.lastKey = code == event::kNoKey ? -1 : code;
}

}  // namespace talvio
