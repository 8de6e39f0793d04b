// Bytes exchanged with the handset's vendor HID interface (report id 1 both
// ways) and the event codes that input reports turn into. Pure functions and
// plain state; no OS access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace talvio {

inline constexpr int kKeypadModelId = 10;
inline constexpr int kLcdModelId = 11;
inline constexpr std::uint16_t kHandsetVendorId = 0x04B4;
inline constexpr std::uint16_t kKeypadProductId = 0x0406;
inline constexpr std::uint16_t kLcdProductId = 0x0407;

inline constexpr std::uint8_t kReportId = 0x01;
inline constexpr std::uint8_t kCommandAudioRoute = 1;
inline constexpr std::uint8_t kCommandLcdChunk = 3;
inline constexpr std::uint8_t kCommandLight = 4;
inline constexpr std::uint8_t kCommandStatus = 5;
inline constexpr std::uint8_t kRouteRing = 3;
inline constexpr std::uint8_t kRouteTalk = 2;

inline constexpr std::uint8_t kHookOnCradle = 0x1F;
inline constexpr std::uint8_t kWheelStepUp = 0x01;    // counts +1, raises 126
inline constexpr std::uint8_t kWheelStepDown = 0xFF;  // counts -1, raises 125
inline constexpr std::uint8_t kLcdLineSelected = 0x1F;
inline constexpr std::uint8_t kKeypadLineReleased = 0xFF;
inline constexpr int kWheelThreshold = 5;
inline constexpr int kLineDebouncePolls = 10;

// Report buffers are at least this long and zero-filled before use.
inline constexpr std::size_t kReportBufferSize = 100;

// LCD controller geometry: 8 pages of 8 rows, 132 columns, the 128-column
// picture in columns 4..131; chunks of 11 columns at 0, 11, ..., 121.
inline constexpr int kLcdPages = 8;
inline constexpr int kLcdDeviceColumns = 132;
inline constexpr int kLcdBlankColumns = 4;
inline constexpr int kLcdChunkWidth = 11;
inline constexpr int kLcdChunksPerPage = 12;
inline constexpr std::size_t kLcdChunkDataOffset = 5;

namespace event {
inline constexpr int kEndKey = 30;
inline constexpr int kCallKey = 50;
inline constexpr int kOnHook = 70;
inline constexpr int kLineSelected = 71;
inline constexpr int kOffHook = 80;
inline constexpr int kLineReleased = 81;
inline constexpr int kWheelDown = 125;
inline constexpr int kWheelUp = 126;
inline constexpr int kFirstLineSelected = 194;
inline constexpr int kFirstLineReleased = 195;
inline constexpr int kNoReport = 254;  // internal, never raised
inline constexpr int kNoKey = 255;     // internal, never raised
}  // namespace event

// Event code of a key code for the model (10 or 11); 255 for unknown keys.
int MapKeyCode(int modelId, std::uint8_t keyCode);
// The first key code that maps to `eventCode`, or 0 when none does.
std::uint8_t KeyCodeForEvent(int modelId, int eventCode);
// Codes a poll may raise (the documented vocabulary of both models).
bool IsHandsetEventCode(int code);

// A zeroed buffer of max(kReportBufferSize, length) bytes.
std::vector<std::uint8_t> MakeReportBuffer(std::size_t length);
// Command 1, 4 or 5 with its one parameter byte (ignored by command 5).
std::vector<std::uint8_t> BuildCommandReport(std::size_t length, std::uint8_t command,
                                             std::uint8_t parameter);
// Command 3 for device page `devicePage` from device column `startColumn`:
// data byte i is device column start + i, i.e. page byte start + i - 4.
// `pageRow` is one packed page (128 bytes); bytes outside it are sent as 0.
// An empty pageRow gives a blank chunk.
std::vector<std::uint8_t> BuildLcdChunkReport(std::size_t length, int devicePage, int startColumn,
                                              std::span<const std::uint8_t> pageRow);
// The same into an existing report buffer (resized and cleared as needed),
// so that the writer thread streams frames without allocating.
void FillLcdChunkReport(std::vector<std::uint8_t>& report, std::size_t length, int devicePage,
                        int startColumn, std::span<const std::uint8_t> pageRow);

// Per-device input state of the poll; initial values as before the first report.
struct HandsetInputState {
    std::int32_t hook = -2;
    std::int32_t reportedHook = -2;
    std::int32_t lastKey = -1;
    std::int32_t line = 0;
    std::int32_t seenLine = -1;
    std::int32_t lineDebounce = 0;
    std::int32_t reportedLine = -1;
    std::int32_t wheelCount = 0;

    // Back to "before the first report"; wheelCount is kept.
    void ResetReported();
};

// Decodes one input report (null report = none read): 254 without a valid
// report, else the key's event code or a wheel code; updates hook, line and
// wheelCount.
int DecodeInputReport(int modelId, HandsetInputState& state, const std::uint8_t* report,
                      std::size_t length);

// One poll is PollBeforeRead (line debounce), one DecodeInputReport, then
// PollAfterRead (hook, first line state, key). Raised codes are appended to
// `raised`; without a sink nothing is raised and a debounced line change is
// not recorded.
void PollBeforeRead(HandsetInputState& state, bool haveSink, std::vector<int>& raised);
void PollAfterRead(HandsetInputState& state, int code, bool haveSink, std::vector<int>& raised);

}  // namespace talvio
