// The loop of the connectors' reply-throughput benchmarks: one iteration is
// one reply, sent by the simulated client; replies go in bursts of sixteen
// before the connector's window is pumped, as a client sends them, and
// after each burst `afterBurst(next)` runs (`next` counts the replies sent
// in this pass). At the end of the list the calls are emptied, as a new
// attach would. Counters: rss_kb, rss_growth_kb between the first million
// replies (warm) and the end, live_calls. Also the helpers both build their
// reply lists with, and their shared goals.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_goals.h"
#include "bench/resident_memory.h"
#include "connectors/voip_connector.h"
#include "platform/hosted/desktop.h"

namespace talvio::bench {

inline constexpr std::size_t kRepliesPerBurst = 16;

// The parts one after another. Appended: GCC 12 at -O3 warns falsely on
// literal + string.
inline std::string Join(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) text.append(part);
    return text;
}

// The replies of rounds 0 .. count-1, each round's from `round(r)`.
template <typename Round>
std::vector<std::string> Rounds(int count, Round&& round) {
    std::vector<std::string> replies;
    for (int r = 0; r < count; ++r) {
        for (std::string& reply : round(r)) replies.push_back(std::move(reply));
    }
    return replies;
}

// Every connector's goals: at least 200,000 replies a second, and under
// 1 MB of resident growth once warm. `rate` and `growth` name the figures.
inline bool AddReplyGoals(const char* benchmark, const char* rate, const char* growth) {
    return AddGoals({
        {.benchmark = benchmark, .figure = rate, .unit = "replies/s", .counter = "items_per_second",
         .atLeast = 200000},
        {.benchmark = benchmark, .figure = growth, .unit = "KB", .counter = "rss_growth_kb", .below = 1024},
    });
}

template <typename Send, typename AfterBurst>
void RunReplies(benchmark::State& state, VoipConnector& connector, const std::vector<std::string>& replies,
                Send&& send, AfterBurst&& afterBurst) {
    long warmKb = 0;
    std::size_t next = 0;
    std::int64_t done = 0;
    for (auto _ : state) {
        send(replies[next]);
        if (++next % kRepliesPerBurst == 0) {
            os::hosted::PumpMessages();
            afterBurst(next);
            if (next == replies.size()) {
                next = 0;
                connector.calls.Clear();
            }
        }
        if (++done == 1000000) warmKb = ResidentKb();
    }
    os::hosted::PumpMessages();
    state.SetItemsProcessed(done);
    state.counters["rss_kb"] = static_cast<double>(ResidentKb());
    if (warmKb != 0) state.counters["rss_growth_kb"] = static_cast<double>(ResidentKb() - warmKb);
    state.counters["live_calls"] = static_cast<double>(connector.calls.liveCalls.size());
}

}  // namespace talvio::bench
