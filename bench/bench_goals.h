// The goals benchmarks answer to. A bench file lists its own beside its
// benchmarks:
//
//   [[maybe_unused]] const bool kGoals = talvio::bench::AddGoals({
//       {.benchmark = "BM_LcdFrame", .figure = "lcd_frame_cpu", .unit = "us", .scale = 1e6,
//        .below = 20},
//   });
//
// After each run of that benchmark the shared main (bench_main.cpp) writes
// one line "<figure> <value> <unit> <goal>", e.g. "lcd_frame_cpu 3.912 us <20",
// appended to the file named by TALVIO_BENCH_RESULTS, or to stdout when that
// is unset. tools/run-benches.sh gathers them into the table `make bench`
// ends with; a measurement made elsewhere (a script) adds its line by
// appending to the same file.
//
// Main thread only; goals are added during static initialisation.
#pragma once

#include <optional>
#include <vector>

namespace talvio::bench {

struct Goal {
    // As registered, with "/<args>" when it takes arguments ("BM_ContactStep/1000").
    const char* benchmark;
    const char* figure;  // the table's name for it: lower_case, no spaces
    const char* unit;
    double scale = 1;  // figure = measure x scale
    // The measure: this counter of the run, or else CPU seconds per iteration.
    const char* counter = nullptr;
    std::optional<double> below = {};  // one of the three
    std::optional<double> atMost = {};
    std::optional<double> atLeast = {};
};

bool AddGoals(std::vector<Goal> goals);

}  // namespace talvio::bench
