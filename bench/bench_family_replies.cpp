// Reply handling of a Voip-family connector end to end on the hosted
// desktop, the counterpart of bench_skype_replies.cpp: the program's
// WM_COPYDATA, the ticketed copy, the re-post, the conversion from the ANSI
// page, the parse and the directory update. One iteration is one reply;
// replies go in bursts of sixteen (one call's life, contact and status
// updates, one name in four outside ASCII) before the connector's queue is
// pumped, as a program sends them. The call queries a burst causes are
// queued here (the Skype connector sends its own at once, within its
// figure); their sends by the queue's worker are left out of the timing.
//
// Run with a fixed ten million iterations: items_per_second is the
// throughput, rss_growth_kb the resident-set growth between the first
// million replies (warm) and the end, which must stay under 1 MB.
#include <benchmark/benchmark.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_goals.h"
#include "bench/reply_bench.h"
#include "connectors/connector_registry.h"
#include "connectors/voip_family/voip_family_connector.h"
#include "platform/hosted/desktop.h"
#include "tools/client_sim/simulated_client.h"

namespace {

using namespace talvio;

constexpr int kCallCycle = 1000;  // call numbers in use before a re-attach
constexpr int kContacts = 50;
constexpr int kBurstsPerDrain = 50;
constexpr std::uint32_t kDrainMs = kBurstsPerDrain * 70;

// The sixteen replies of round r, in the ANSI page (Windows-1252).
std::vector<std::string> Round(int r) {
    const auto join = [](std::initializer_list<std::string_view> parts) {
        std::string text;
        for (const std::string_view part : parts) text.append(part);
        return text;
    };
    const std::string number = std::to_string(r % kCallCycle);
    const std::string contact = join({"c", std::to_string(r % kContacts)});
    const std::string_view name = r % 4 == 0 ? "J\xF6rg \xC5" "berg" : "Contact";
    const std::string call = join({"CALL ", number, " "});
    return {
        join({call, "STATUS RINGING"}),
        join({call, "TYPE INCOMING_P2P"}),
        join({call, "PARTNER_HANDLE ", contact}),
        join({call, "PARTNER_DISPNAME ", name, " ", contact}),
        join({call, "STATUS INPROGRESS"}),
        "USERSTATUS AWAY",
        join({"USER ", contact, " ONLINESTATUS ONLINE"}),
        join({"USER ", contact, " DISPLAYNAME ", name, " ", contact}),
        join({call, "DURATION 42"}),
        join({call, "TIMESTAMP ", std::to_string(1300000000 + r)}),
        "USERSTATUS ONLINE",
        join({"USER ", contact, " CITY M\xFCnchen"}),
        join({call, "PSTN_NUMBER +4989123"}),
        join({call, "STATUS FINISHED"}),
        join({call, "STATUS FINISHED"}),
        join({call, "TYPE INCOMING_P2P"}),
    };
}

void BM_FamilyReplies(benchmark::State& state) {
    os::hosted::Reset();
    {
        ConnectorRegistry registry;  // the standalone host: no handset, no listener
        auto owned = std::make_unique<VoipFamilyConnector>(registry, VoipFamilyConnector::kPrograms[0]);
        VoipFamilyConnector& family = *owned;
        registry.Append(std::move(owned));
        clientsim::SimulatedClient program(L"VoipBuster.exe", "VoipBuster");
        program.Launch();
        program.ShowMainWindow();
        family.Start();
        os::hosted::PumpMessages();
        std::string friends = "USERS ";
        for (int i = 0; i < kContacts; ++i) friends.append(i ? ",c" : "c").append(std::to_string(i));
        program.Reply(family.Hwnd(), friends);
        os::hosted::AdvanceTime(10000);  // the contact queries go out

        std::vector<std::string> replies;
        for (int r = 0; r < kCallCycle; ++r) {
            for (std::string& reply : Round(r)) replies.push_back(std::move(reply));
        }

        bench::RunReplies(
            state, family, replies, [&](const std::string& reply) { program.Reply(family.Hwnd(), reply); },
            [&](std::size_t sent) {
                // Every so many bursts, virtual time for the queue's worker
                // to send their background queries (six a burst, one per
                // 10 ms), untimed: the worker's sends, handed across threads
                // by the hosted desktop, are not the reply handling measured.
                if (sent % (bench::kRepliesPerBurst * kBurstsPerDrain) == 0) {
                    state.PauseTiming();
                    os::hosted::AdvanceTime(kDrainMs);
                    state.ResumeTiming();
                }
                // The program's own record of what it received is not ours.
                program.commands.clear();
                program.log.clear();
            });
        registry.DestroyConnectors();
    }
    os::hosted::Reset();
}

BENCHMARK(BM_FamilyReplies)->Iterations(10000000)->Unit(benchmark::kMillisecond);

// At least the Skype connector's own goal.
[[maybe_unused]] const bool kGoals = bench::AddGoals({
    {.benchmark = "BM_FamilyReplies", .figure = "family_replies_rate", .unit = "replies/s",
     .counter = "items_per_second", .atLeast = 200000},
    {.benchmark = "BM_FamilyReplies", .figure = "family_replies_rss_growth", .unit = "KB",
     .counter = "rss_growth_kb", .below = 1024},
});

}  // namespace
