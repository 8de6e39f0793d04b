// Reading a FeeConf.xml of 10,000 prefixes for each of the twelve programs,
// in shuffled order, from memory and from a file; the goal is well under a
// second for the whole file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench/bench_goals.h"
#include "foundation/byte_stream.h"
#include "foundation/text_convert.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "settings/settings_reader.h"

namespace {

using namespace talvio;

constexpr int kPrefixesPerProgram = 10000;

std::string MakeFeeConf() {
    std::mt19937 random(42);
    std::string xml = "<?xml version='1.0' encoding='utf-8'?>\n<FeeConf>";
    for (int id = 1; id <= kProgramCount; ++id) {
        xml += "\n\t<AppItem item='" + std::string(kProgramItemNames[id - 1]) + "'>";
        std::vector<std::string> prefixes;
        for (int i = 0; i < kPrefixesPerProgram; ++i) prefixes.push_back(std::to_string(10000 + i * 7));
        std::shuffle(prefixes.begin(), prefixes.end(), random);
        for (const std::string& prefix : prefixes) {
            xml += "\n\t\t<FeeItem item='" + prefix + "' value='0." + std::to_string(random() % 1000) +
                   "'/>";
        }
        xml += "\n\t</AppItem>";
    }
    return xml + "\n</FeeConf>";
}

const std::string& FeeConf() {
    static const std::string xml = MakeFeeConf();
    return xml;
}

void CheckLoaded(benchmark::State& state, AppSettings& settings) {
    for (int id = 1; id <= kProgramCount; ++id) {
        if (settings.RatesOf(id)->size() != kPrefixesPerProgram) state.SkipWithError("rates lost");
    }
}

void BM_FeeConfFromMemory(benchmark::State& state) {
    const std::string& xml = FeeConf();
    MemoryRegistry registry;
    for (auto _ : state) {
        AppSettings settings(registry, nullptr);
        MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
        ReadSettings(settings, input);
        CheckLoaded(state, settings);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}
BENCHMARK(BM_FeeConfFromMemory)->Unit(benchmark::kMillisecond);

void BM_FeeConfFromFile(benchmark::State& state) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("talvio-bench-" + std::to_string(getpid()) + "-FeeConf.xml");
    std::ofstream(path, std::ios::binary) << FeeConf();
    MemoryRegistry registry;
    for (auto _ : state) {
        AppSettings settings(registry, nullptr);
        FileStream input;
        if (!input.open(Utf8ToWide(path.string()))) state.SkipWithError("cannot open");
        ReadSettings(settings, input);
        CheckLoaded(state, settings);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_FeeConfFromFile)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool kGoals = bench::AddGoals({
    {.benchmark = "BM_FeeConfFromMemory", .figure = "feeconf_load_memory_cpu", .unit = "ms",
     .scale = 1e3, .below = 1000},
    {.benchmark = "BM_FeeConfFromFile", .figure = "feeconf_load_file_cpu", .unit = "ms", .scale = 1e3,
     .below = 1000},
});

}  // namespace
