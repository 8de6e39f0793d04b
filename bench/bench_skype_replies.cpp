// Reply handling of the Skype connector end to end on the hosted desktop:
// the client's WM_COPYDATA, the copy into the receive pool, the re-post,
// the parse and the directory update. One iteration is one reply; replies
// go in bursts of sixteen (one call's life, contact and status updates)
// before the connector's queue is pumped, as a client sends them.
//
// Run with a fixed ten million iterations: items_per_second is the
// throughput, rss_growth_kb the resident-set growth between the first
// million replies (warm) and the end, which must stay under 1 MB.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "bench/reply_bench.h"
#include "connectors/connector_registry.h"
#include "connectors/skype/skype_connector.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"

namespace {

using namespace talvio;

constexpr int kCallCycle = 1000;  // call numbers in use before a re-attach
constexpr int kContacts = 50;

// The sixteen replies of round r: a call from ringing to the history, and
// the contact, mute, user-status and voicemail updates around it.
std::vector<std::string> Round(int r) {
    using bench::Join;
    const std::string number = std::to_string(r % kCallCycle);
    const std::string contact = Join({"c", std::to_string(r % kContacts)});
    const std::string call = Join({"CALL ", number, " "});
    return {
        Join({call, "STATUS RINGING"}),
        Join({call, "TYPE INCOMING_P2P"}),
        Join({call, "PARTNER_HANDLE ", contact}),
        Join({call, "PARTNER_DISPNAME Contact ", contact}),
        Join({call, "STATUS INPROGRESS"}),
        "MUTE OFF",
        Join({"USER ", contact, " ONLINESTATUS ONLINE"}),
        Join({"USER ", contact, " DISPLAYNAME Contact ", contact}),
        Join({call, "DURATION 42"}),
        Join({call, "TIMESTAMP ", std::to_string(1300000000 + r)}),
        "MUTE ON",
        "USERSTATUS ONLINE",
        Join({"VOICEMAIL ", std::to_string(r % 20 + 1), " STATUS PLAYED"}),
        Join({call, "STATUS FINISHED"}),
        Join({call, "STATUS FINISHED"}),
        Join({call, "TYPE INCOMING_P2P"}),
    };
}

void BM_SkypeReplies(benchmark::State& state) {
    os::hosted::Reset();
    {
        ConnectorRegistry registry;  // the standalone host: no handset, no listener
        auto owned = std::make_unique<SkypeConnector>(registry);
        SkypeConnector& skype = *owned;
        registry.Append(std::move(owned));
        talvio::testing::FakeSkypeClient client;
        client.Launch();
        skype.Start();
        os::hosted::PumpMessages();
        std::string friends = "USERS";
        for (int i = 0; i < kContacts; ++i) friends.append(" c").append(std::to_string(i));
        client.Reply(skype.Hwnd(), friends);
        client.Reply(skype.Hwnd(), "VOICEMAILS 1, 2, 3, 4, 5, 6, 7, 8, 9, 10");
        os::hosted::AdvanceTime(10000);  // the contact queries go out

        const std::vector<std::string> replies = bench::Rounds(kCallCycle, Round);

        bench::RunReplies(
            state, skype, replies, [&](const std::string& reply) { client.Reply(skype.Hwnd(), reply); },
            [&](std::size_t) { client.commands.clear(); });
        registry.DestroyConnectors();
    }
    os::hosted::Reset();
}

BENCHMARK(BM_SkypeReplies)->Iterations(10000000)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool kGoals =
    bench::AddReplyGoals("BM_SkypeReplies", "skype_replies_rate", "skype_replies_rss_growth");

}  // namespace
