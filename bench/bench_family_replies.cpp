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

#include <string>
#include <string_view>
#include <vector>

#include "bench/reply_bench.h"
#include "connectors/voip_family/voip_family_connector.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"

namespace {

using namespace talvio;

constexpr int kCallCycle = 1000;  // call numbers in use before a re-attach
constexpr int kContacts = 50;
constexpr int kBurstsPerDrain = 50;
constexpr std::uint32_t kDrainMs = kBurstsPerDrain * 70;

// The sixteen replies of round r, in the ANSI page (Windows-1252).
std::vector<std::string> Round(int r) {
    using bench::Join;
    const std::string number = std::to_string(r % kCallCycle);
    const std::string contact = Join({"c", std::to_string(r % kContacts)});
    const std::string_view name = r % 4 == 0 ? "J\xF6rg \xC5" "berg" : "Contact";
    const std::string call = Join({"CALL ", number, " "});
    return {
        Join({call, "STATUS RINGING"}),
        Join({call, "TYPE INCOMING_P2P"}),
        Join({call, "PARTNER_HANDLE ", contact}),
        Join({call, "PARTNER_DISPNAME ", name, " ", contact}),
        Join({call, "STATUS INPROGRESS"}),
        "USERSTATUS AWAY",
        Join({"USER ", contact, " ONLINESTATUS ONLINE"}),
        Join({"USER ", contact, " DISPLAYNAME ", name, " ", contact}),
        Join({call, "DURATION 42"}),
        Join({call, "TIMESTAMP ", std::to_string(1300000000 + r)}),
        "USERSTATUS ONLINE",
        Join({"USER ", contact, " CITY M\xFCnchen"}),
        Join({call, "PSTN_NUMBER +4989123"}),
        Join({call, "STATUS FINISHED"}),
        Join({call, "STATUS FINISHED"}),
        Join({call, "TYPE INCOMING_P2P"}),
    };
}

void BM_FamilyReplies(benchmark::State& state) {
    os::hosted::Reset();
    {
        testing::AttachedFamily attached;  // the standalone host: no handset, no listener
        VoipFamilyConnector& family = attached.family;
        clientsim::SimulatedClient& program = attached.program;
        std::string friends = "USERS ";
        for (int i = 0; i < kContacts; ++i) friends.append(i ? ",c" : "c").append(std::to_string(i));
        program.Reply(family.Hwnd(), friends);
        os::hosted::AdvanceTime(10000);  // the contact queries go out

        const std::vector<std::string> replies = bench::Rounds(kCallCycle, Round);

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
    }
    os::hosted::Reset();
}

BENCHMARK(BM_FamilyReplies)->Iterations(10000000)->Unit(benchmark::kMillisecond);

// The Skype connector's goals.
[[maybe_unused]] const bool kGoals =
    bench::AddReplyGoals("BM_FamilyReplies", "family_replies_rate", "family_replies_rss_growth");

}  // namespace
