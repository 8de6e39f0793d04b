// CPU cost of the handset link's own work: one poll (decode + events) and
// one full LCD frame (pack + the 96 chunk reports the writer sends), with a
// dense picture (a third of the pixels lit).
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "bench/bench_goals.h"
#include "handset/handset_protocol.h"
#include "handset_ui/lcd_canvas.h"

namespace {

using namespace talvio;

void BM_HandsetPoll(benchmark::State& state) {
    // A realistic mix: lift, keys pressed and released, wheel steps, line flips.
    const std::array<std::array<std::uint8_t, 8>, 8> reports = {{
        {1, 0, 0x00, 0, 0x00}, {1, 13, 0x00, 0, 0x00}, {1, 13, 0x00, 0, 0x00}, {1, 0, 0x00, 1, 0x00},
        {1, 0, 0x00, 1, 0x1F}, {1, 22, 0x00, 0xFF, 0x1F}, {1, 0, 0x1F, 0, 0x00}, {1, 0, 0x00, 1, 0x00},
    }};
    HandsetInputState input;
    std::vector<int> raised;
    std::size_t i = 0;
    for (auto _ : state) {
        raised.clear();
        PollBeforeRead(input, true, raised);
        const auto& report = reports[i++ % reports.size()];
        const int code = DecodeInputReport(kLcdModelId, input, report.data(), report.size());
        PollAfterRead(input, code, true, raised);
        benchmark::DoNotOptimize(raised.data());
    }
}
BENCHMARK(BM_HandsetPoll);

void BM_LcdFrame(benchmark::State& state) {
    LcdCanvas canvas(128, 64, kLcdChunkWidth, std::vector<int>(kLcdPages, 8));
    for (int y = 0; y < 64; ++y) {
        for (int x = (y * 7) % 3; x < 128; x += 3) canvas.SetPixel(x, y, true);
    }
    std::vector<std::uint8_t> report;
    for (auto _ : state) {
        canvas.Pack();
        for (int page = 0; page < kLcdPages; ++page) {
            for (int chunk = 0; chunk < kLcdChunksPerPage; ++chunk) {
                FillLcdChunkReport(report, 16, kLcdPages - 1 - page, chunk * kLcdChunkWidth,
                                   canvas.PageRow(page));
                benchmark::DoNotOptimize(report.data());
            }
        }
    }
}
BENCHMARK(BM_LcdFrame);

[[maybe_unused]] const bool kGoals = bench::AddGoals({
    {.benchmark = "BM_LcdFrame", .figure = "lcd_frame_cpu", .unit = "us", .scale = 1e6, .below = 20},
});

}  // namespace
