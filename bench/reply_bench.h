// The loop of the connectors' reply-throughput benchmarks: one iteration is
// one reply, sent by the simulated client; replies go in bursts of sixteen
// before the connector's window is pumped, as a client sends them, and
// after each burst `afterBurst(next)` runs (`next` counts the replies sent
// in this pass). At the end of the list the calls are emptied, as a new
// attach would. Counters: rss_kb, rss_growth_kb between the first million
// replies (warm) and the end, live_calls.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/resident_memory.h"
#include "connectors/voip_connector.h"
#include "platform/hosted/desktop.h"

namespace talvio::bench {

inline constexpr std::size_t kRepliesPerBurst = 16;

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
