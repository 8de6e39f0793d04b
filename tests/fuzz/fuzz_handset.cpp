// Random input reports through the decoder and the poll of either model:
// only documented event codes come out and the poll state stays in range.
// The tail of the input is drawn on the LCD canvas: packing, chunking and
// the handset side's decoding must give back exactly the drawn picture.
#include <vector>

#include "handset/caller_text.h"
#include "handset/handset_protocol.h"
#include "handset_ui/lcd_canvas.h"
#include "tests/fuzz/fuzz_target.h"
#include "tools/handset_sim/sim_handset.h"

namespace {

using namespace talvio;

void CheckPicture(const std::uint8_t* data, std::size_t size) {
    LcdCanvas canvas(LcdCanvas::kDefaultWidth, LcdCanvas::kDefaultHeight, kLcdChunkWidth,
                     std::vector<int>(kLcdPages, 8));
    for (std::size_t i = 0; i + 1 < size; i += 2) canvas.SetPixel(data[i] % 128, data[i + 1] % 64, true);
    canvas.Pack();
    SimHandset handset(kLcdModelId);
    for (int page = 0; page < kLcdPages; ++page) {
        for (int chunk = 0; chunk < kLcdChunksPerPage; ++chunk) {
            const auto report = BuildLcdChunkReport(SimHandset::kOutputReportLength, kLcdPages - 1 - page,
                                                    chunk * kLcdChunkWidth, canvas.PageRow(page));
            handset.AcceptOutputReport(report.data(), SimHandset::kOutputReportLength);
        }
    }
    TALVIO_FUZZ_CHECK(!handset.marginWritten());
    TALVIO_FUZZ_CHECK(handset.rejectedReports() == 0);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            const bool drawn = (canvas.dibBits()[y * canvas.dibStride() + x / 8] >> (7 - x % 8)) & 1;
            TALVIO_FUZZ_CHECK(handset.Pixel(x, y) == drawn);
        }
    }
}

}  // namespace

TALVIO_FUZZ_TARGET(handset) {
    if (size < 1) return 0;
    const int model = data[0] & 1 ? kLcdModelId : kKeypadModelId;
    const bool sink = (data[0] & 2) != 0;
    HandsetInputState state;
    std::vector<int> raised;
    std::size_t at = 1;
    int reports = 0;
    // Each step: a length byte (0: no report) and up to 12 report bytes.
    while (at < size && data[at] != 0xEE) {
        const std::size_t length = data[at++] % 13;
        const std::size_t available = length <= size - at ? length : size - at;
        PollBeforeRead(state, sink, raised);
        const int code = length == 0 ? event::kNoReport
                                     : DecodeInputReport(model, state, data + at, available);
        PollAfterRead(state, code, sink, raised);
        at += available;
        ++reports;
        TALVIO_FUZZ_CHECK(state.hook >= -2 && state.hook <= 1 && state.hook != -1);
        TALVIO_FUZZ_CHECK(state.line == 0 || state.line == 1);
        TALVIO_FUZZ_CHECK(state.lineDebounce >= 0 && state.lineDebounce <= kLineDebouncePolls);
        TALVIO_FUZZ_CHECK(state.wheelCount <= reports && state.wheelCount >= -reports);
    }
    for (int code : raised) TALVIO_FUZZ_CHECK(IsHandsetEventCode(code));
    if (!sink) TALVIO_FUZZ_CHECK(raised.empty());
    if (at < size) {
        ++at;
        os::CopyDataStruct received{11, static_cast<std::uint32_t>(size - at), data + at};
        std::wstring text;
        if (ParseCallerText(received, text)) TALVIO_FUZZ_CHECK(text.size() < 512);
        CheckPicture(data + at, size - at);
    }
    return 0;
}
