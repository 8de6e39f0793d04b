// Google Benchmark's main, with the console output it always has, plus one
// goal line per figure a benchmark answers for (see bench_goals.h).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_goals.h"

namespace talvio::bench {

namespace {

std::vector<Goal>& Registry() {
    static std::vector<Goal> goals;
    return goals;
}

std::string GoalText(const Goal& goal) {
    char text[64];
    if (goal.below) std::snprintf(text, sizeof text, "<%g", *goal.below);
    else if (goal.atMost) std::snprintf(text, sizeof text, "<=%g", *goal.atMost);
    else std::snprintf(text, sizeof text, ">=%g", goal.atLeast.value_or(0));
    return text;
}

// "-" when the run failed or lacks the counter: the table shows it missed.
std::string Measured(const Goal& goal, const benchmark::BenchmarkReporter::Run& run) {
    if (run.error_occurred) return "-";
    double measure = 0;
    if (goal.counter == nullptr) {
        measure = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    } else {
        const auto counter = run.counters.find(goal.counter);
        if (counter == run.counters.end()) return "-";
        measure = counter->second.value;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", measure * goal.scale);
    return text;
}

void WriteLine(const std::string& line) {
    const char* path = std::getenv("TALVIO_BENCH_RESULTS");
    std::FILE* out = path != nullptr && *path != 0 ? std::fopen(path, "a") : stdout;
    if (out == nullptr) {
        std::fprintf(stderr, "cannot append to %s: %s", path, line.c_str());
        return;
    }
    std::fputs(line.c_str(), out);
    if (out != stdout) std::fclose(out);
}

class GoalReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            for (const Goal& goal : Registry()) {
                if (name != goal.benchmark) continue;
                WriteLine(std::string(goal.figure) + " " + Measured(goal, run) + " " + goal.unit + " " +
                          GoalText(goal) + "\n");
            }
        }
    }
};

}  // namespace

bool AddGoals(std::vector<Goal> goals) {
    Registry().insert(Registry().end(), goals.begin(), goals.end());
    return true;
}

}  // namespace talvio::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    talvio::bench::GoalReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                               : benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
