// The Skype connector fed by a client that says anything. The first byte
// picks the mode:
// - even: the rest is raw client text, one reply per line, each sent as
//   WM_COPYDATA (with or without its terminating zero, by the line's first
//   byte) through the receive pool and the re-posted parse;
// - odd: the rest drives a generator of valid-looking replies over small
//   id and handle ranges, mixed with watch ticks and the operations the
//   call controller uses, so long sequences reach deep states.
// After every step: no copy is left in the pool, live calls have a live
// status, and the directory stays within what the input can name.
#include <string>
#include <string_view>

#include "connectors/connector_registry.h"
#include "connectors/skype/skype_connector.h"
#include "platform/hosted/desktop.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/fuzz/fuzz_target.h"
#include "tests/fuzz/reply_fuzz.h"

namespace {

using namespace talvio;

constexpr std::string_view kVoicemailProperty[] = {"TYPE", "STATUS", "TIMESTAMP", "DURATION",
                                                   "PARTNER_HANDLE", "PARTNER_DISPNAME"};
constexpr std::string_view kVoicemailValue[] = {"INCOMING", "OUTGOING", "UNPLAYED", "PLAYING",
                                                "DELETING", "PLAYED",   "5",        "bogus"};
constexpr std::string_view kStatusWord[] = {"ONLINE", "OFFLINE", "AWAY", "LOGGEDOUT", "online", "NA"};

std::string NumberList(ReplyFuzzInput& in) {
    std::string list;
    const int count = in.Byte() % 5;
    for (int i = 0; i < count; ++i) list += (i ? ", " : "") + in.Id();
    return list;
}

std::string Generated(ReplyFuzzInput& in) {
    switch (in.Byte() % 13) {
        case 0: return "CALL " + in.Id() + " STATUS " + std::string(in.Pick(kCallStatus));
        case 1: return "CALL " + in.Id() + " TYPE " + std::string(in.Pick(kCallType));
        case 2: {
            const std::string id = in.Id();
            const std::string_view property = in.Pick(kCallProperty);
            return "CALL " + id + " " + std::string(property) + " " +
                   (in.Byte() % 2 ? "+4412345" : in.Text());
        }
        case 3: {
            std::string list = "USERS ";
            const int count = in.Byte() % 5;
            for (int i = 0; i < count; ++i) list += in.Handle() + (in.Byte() % 2 ? ", " : " ");
            return list;
        }
        case 4:
            return "USER " + in.Handle() + " " + std::string(in.Pick(kUserProperty)) + " " +
                   std::string(in.Pick(kUserValue));
        case 5: return "CALLS " + NumberList(in);
        case 6: return "VOICEMAILS " + NumberList(in);
        case 7:
            return "VOICEMAIL " + in.Id() + " " + std::string(in.Pick(kVoicemailProperty)) + " " +
                   std::string(in.Pick(kVoicemailValue));
        case 8: return in.Byte() % 2 ? "MUTE ON" : "MUTE OFF";
        case 9: return "USERSTATUS " + std::string(in.Pick(kStatusWord));
        case 10: return "ERROR " + std::to_string(in.Byte() % 4 + 90);
        case 11: return "CONTACTS FOCUSED " + in.Handle();
        default: return in.Byte() % 2 ? "SKYPEVERSION 1.3.0" : "CONNSTATUS LOGGEDOUT";
    }
}

// Operations the call controller and the handset use between replies.
void Operate(SkypeConnector& skype, ReplyFuzzInput& in) {
    const int id = in.Byte() % kIdRange + 1;
    switch (in.Byte() % 6) {
        case 0: os::hosted::AdvanceTime(2000); break;
        case 1:
            if (CallRecord* call = skype.calls.GetLiveCall(id)) skype.AutoBusyReply(*call, true);
            break;
        case 2: skype.PressKey(in.Byte() % 24); break;
        case 3: skype.ToggleMute(); break;
        case 4: skype.QueryCall(id, in.Byte() % 2); break;
        default: skype.AnswerCall(id); break;
    }
}

void CheckInvariants(SkypeConnector& skype, std::size_t bound) {
    TALVIO_FUZZ_CHECK(skype.Pool().BuffersInUse() == 0);
    TALVIO_FUZZ_CHECK(skype.Pool().HeapCopies() == 0);
    for (const auto& [id, call] : skype.calls.liveCalls) {
        TALVIO_FUZZ_CHECK(id >= 1 && call.id == id);
        TALVIO_FUZZ_CHECK(call.status >= 1 && call.status <= 5);
    }
    TALVIO_FUZZ_CHECK(static_cast<std::size_t>(skype.contacts.count()) <= bound);
    TALVIO_FUZZ_CHECK(skype.calls.liveCalls.size() <= bound);
    TALVIO_FUZZ_CHECK(skype.calls.callHistory.size() <= bound);
    TALVIO_FUZZ_CHECK(skype.calls.recentCalls.size() <= skype.calls.callHistory.size());
    TALVIO_FUZZ_CHECK(static_cast<std::size_t>(skype.voicemails.count()) <= bound);
}

}  // namespace

TALVIO_FUZZ_TARGET(skype_replies) {
    if (size == 0) return 0;
    os::hosted::Reset();
    talvio::testing::RecordingHost host;
    host.handsetPresent = (data[0] & 2) != 0;
    host.callOutProgram = 0;
    host.autoAnswer = host.autoBusy = host.autoAway = true;
    {
        ConnectorRegistry registry(host);
        auto owned = std::make_unique<SkypeConnector>(registry);
        SkypeConnector& skype = *owned;
        registry.Append(std::move(owned));
        talvio::testing::FakeSkypeClient client;
        client.Launch();
        skype.Start();
        os::hosted::PumpMessages();
        TALVIO_FUZZ_CHECK(skype.IsAttached());

        FeedReplies(
            data, size, kIdRange + kHandleRange,
            [&](std::string_view text, bool withZero) { client.Reply(skype.Hwnd(), text, withZero); },
            [&](ReplyFuzzInput& in) { Operate(skype, in); }, Generated,
            [&](std::size_t bound) { CheckInvariants(skype, bound); });
        registry.DestroyConnectors();
    }
    os::hosted::Reset();
    return 0;
}
