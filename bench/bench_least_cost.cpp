// The least-cost choice of a program for a telephone number: twelve online
// programs with 10,000 prefixes each (one to seven digits, as a rate file of
// the world's destinations would have), numbers of eleven digits drawn at
// random. One iteration is one choice; the goal is under 20 us.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_goals.h"
#include "connectors/connector_registry.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"

namespace {

using namespace talvio;

constexpr int kPrograms = 12;
constexpr int kPrefixes = 10000;

os::Hwnd AnyWindow() {
    os::WindowClass windowClass;
    windowClass.proc = &os::DefWindowProc;
    windowClass.name = L"BenchClient";
    os::RegisterClass(windowClass);
    return os::CreateWindowEx(0, L"BenchClient", L"", 0, 0, 0, 0, 0, nullptr, 0, nullptr);
}

std::string Digits(std::mt19937& random, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text.push_back(static_cast<char>('0' + random() % 10));
    return text;
}

void BM_ChooseCheapest(benchmark::State& state) {
    os::hosted::Reset();
    {
        testing::RecordingHost host;
        ConnectorRegistry registry(host);
        const os::Hwnd client = AnyWindow();
        std::mt19937 random(20070101);
        std::uniform_real_distribution<double> price(0.001, 0.5);
        for (int id = 1; id <= kPrograms; ++id) {
            auto connector = std::make_unique<testing::ScriptedConnector>(registry, id);
            connector->SetClient(client, VoipConnector::kOnline);
            registry.Append(std::move(connector));
            std::set<std::string> prefixes;
            while (prefixes.size() < kPrefixes) prefixes.insert(Digits(random, 1 + random() % 7));
            for (const std::string& prefix : prefixes) {
                // One destination in fifty is free somewhere.
                host.rates[id].add(prefix, random() % 50 == 0 ? 0.0 : price(random));
            }
            host.rates[id].entries();  // sorted once, as the settings load leaves them
        }
        std::vector<std::string> numbers;
        for (int i = 0; i < 4096; ++i) {
            // Appended: GCC 12 at -O3 warns falsely on literal + string.
            numbers.emplace_back("+").append(Digits(random, 11));
        }

        std::size_t next = 0;
        int free = 0;
        for (auto _ : state) {
            VoipConnector* chosen = registry.ChooseCheapest(numbers[next]);
            benchmark::DoNotOptimize(chosen);
            free += chosen != nullptr;
            next = (next + 1) % numbers.size();
        }
        state.counters["free_share"] =
            benchmark::Counter(free, benchmark::Counter::kAvgIterations);
        registry.DestroyConnectors();
    }
    os::hosted::Reset();
}
BENCHMARK(BM_ChooseCheapest)->Unit(benchmark::kMicrosecond);

[[maybe_unused]] const bool kGoals = bench::AddGoals({
    {.benchmark = "BM_ChooseCheapest", .figure = "least_cost_choice_cpu", .unit = "us", .scale = 1e6,
     .below = 20},
});

}  // namespace
